#include "BoxImport.h"

#include <set>
#include <tuple>

#include "KeePassTime.h"
#include "FileText.h"

namespace pninterop {

const char kTitleLinePrefix[] = "Title: ";

namespace {

bool StartsWithTitleLine(const std::string& text) { return text.compare(0, sizeof kTitleLinePrefix - 1, kTitleLinePrefix) == 0; }

std::string WithWindowsLineBreaks(const std::string& text) {
    std::string out;
    for (char c : WithUnixLineBreaks(text)) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

// Converts the entry field by field, noting each problem where it arises.
class RecordBuilder {
public:
    RecordBuilder(const ImportRules& rules, RefusedEntry& refusal) : rules_(rules), refusal_(refusal) {}

    void text(const std::string& utf8, Field field, size_t limit, std::string& boxText) {
        if (!rules_.toBox || !rules_.toBox(utf8, boxText)) {
            note(kNotInCodePage, field);
            return;
        }
        if (boxText.size() > limit) note(field == kFieldPassword ? kPasswordTooLong : kTooLong, field);
        if (boxText.empty() && (rules_.limits.required & field) != 0) note(kEmptyField, field);
    }

    void note(ImportProblem problem, unsigned fields) {
        refusal_.problems |= problem;
        refusal_.fields |= fields;
    }

private:
    const ImportRules& rules_;
    RefusedEntry& refusal_;
};

bool BuildRecord(const Entry& e, const ImportRules& rules, BoxRecord& r, RefusedEntry& refusal) {
    RecordBuilder build(rules, refusal);
    const BoxLimits& limits = rules.limits;
    if (e.encryptedFields != 0) build.note(kEncrypted, e.encryptedFields);
    build.text(e.group.empty() ? rules.rootEntriesGroup : e.group, kFieldGroup, limits.groupBytes, r.group);
    build.text(e.user, kFieldUser, limits.userBytes, r.user);
    build.text(e.password, kFieldPassword, limits.passwordBytes, r.password);
    build.text(e.url, kFieldUrl, limits.urlBytes, r.url);

    // Comments: the notes, after the title when an export could not make it up.
    const bool titleLine = (!e.title.empty() && e.title != DerivedTitle(e.url, e.user)) || StartsWithTitleLine(e.notes);
    std::string notes, title;
    if (titleLine && e.title.find_first_of("\r\n") != std::string::npos) build.note(kLineBreakInTitle, kFieldTitle);
    if (!rules.toBox || !rules.toBox(WithWindowsLineBreaks(e.notes), notes)) build.note(kNotInCodePage, kFieldNotes);
    if (titleLine && (!rules.toBox || !rules.toBox(e.title, title))) build.note(kNotInCodePage, kFieldTitle);
    r.comments = titleLine ? kTitleLinePrefix + title + (notes.empty() ? "" : "\r\n" + notes) : notes;
    if (r.comments.size() > limits.commentsBytes) build.note(kTooLong, kFieldNotes | (titleLine ? kFieldTitle : 0u));
    if (r.comments.empty() && (limits.required & kFieldNotes) != 0) build.note(kEmptyField, kFieldNotes);

    r.endDay = e.endDay;
    return refusal.problems == 0;
}

}  // namespace

bool RecordKey::operator<(const RecordKey& other) const {
    return std::tie(group, user, url) < std::tie(other.group, other.user, other.url);
}

ImportPlan PlanImport(const std::vector<Entry>& entries, const ImportRules& rules) {
    ImportPlan plan;
    const std::set<RecordKey> existing(rules.existing.begin(), rules.existing.end());
    std::set<std::string> groups;
    for (size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].recycled) {
            plan.recycled.push_back(i);
            continue;
        }
        BoxRecord record;
        RefusedEntry refusal{i, 0, 0};
        if (!BuildRecord(entries[i], rules, record, refusal)) {
            plan.refused.push_back(refusal);
            continue;
        }
        if (existing.count({record.group, record.user, record.url}) != 0) {
            plan.duplicates.push_back(i);
            continue;
        }
        if (groups.insert(record.group).second) plan.groups.push_back(record.group);
        plan.records.push_back({i, std::move(record)});
    }
    return plan;
}

std::string DerivedTitle(const std::string& url, const std::string& user) {
    std::string host = url;
    const size_t scheme = host.find("://");
    if (scheme != std::string::npos) host.erase(0, scheme + 3);
    host = host.substr(0, host.find_first_of("/?#"));
    const size_t at = host.rfind('@');
    if (at != std::string::npos) host.erase(0, at + 1);
    if (!host.empty() && host.front() != '[') host = host.substr(0, host.find(':'));
    return host.empty() ? user : host;
}

bool EntryFromBoxRecord(const BoxRecord& record, const FromBoxText& fromBox, Entry& entry) {
    Entry e;
    std::string comments;
    if (!fromBox || !fromBox(record.group, e.group) || !fromBox(record.user, e.user) ||
        !fromBox(record.password, e.password) || !fromBox(record.url, e.url) || !fromBox(record.comments, comments))
        return false;
    comments = WithUnixLineBreaks(comments);
    if (StartsWithTitleLine(comments)) {
        const size_t end = comments.find('\n');
        e.title = comments.substr(sizeof kTitleLinePrefix - 1, end - (sizeof kTitleLinePrefix - 1));
        e.notes = end == std::string::npos ? std::string() : comments.substr(end + 1);
    } else {
        e.title = DerivedTitle(e.url, e.user);
        e.notes = comments;
    }
    if (IsDay(record.endDay) && record.endDay.compare(0, 4, "9999") != 0) e.endDay = record.endDay;
    entry = std::move(e);
    return true;
}

}  // namespace pninterop
