#include "PasswordTransfer.h"

#include <map>

#include "KeePassXml.h"
#include "PasswordCsv.h"
#include "SecretMemory.h"

namespace pnstore {

const char kExportRootGroup[] = "Root";

namespace {

// Group names by number; a record whose group has no row gets "".
std::map<int, std::string> GroupNames() {
    std::map<int, std::string> names;
    for (const GroupRow& g : PwdStore().listGroups()) names.emplace(g.id, g.name);  // the first row of a number
    return names;
}

std::string NameOf(const std::map<int, std::string>& names, int group) {
    const auto found = names.find(group);
    return found == names.end() ? std::string() : found->second;
}

void WipePasswords(std::vector<pninterop::Entry>& entries) {
    for (pninterop::Entry& e : entries) pncrypto::Wipe(e.password);
}

}  // namespace

pninterop::BoxLimits ImportLimits() {
    pninterop::BoxLimits limits;
    limits.groupBytes = 127;
    limits.userBytes = 127;
    limits.passwordBytes = kMaxSecretBytes;
    limits.urlBytes = 1023;
    limits.commentsBytes = 1023;
    limits.required = pninterop::kFieldGroup | pninterop::kFieldPassword | pninterop::kFieldUrl;
    return limits;
}

bool FillImportRules(pninterop::ImportRules& rules) {
    rules.limits = ImportLimits();
    rules.existing.clear();
    const std::map<int, std::string> names = GroupNames();
    // A damaged record's texts are not to be trusted: an entry that matches
    // one is imported, and the damaged record can then be deleted.
    return PwdStore().readLiveRecords([&](const ListedRecord& r) {
        if (!r.damaged) rules.existing.push_back({NameOf(names, r.group), r.user, r.url});
        return true;
    });
}

AddResult AddPlannedRecords(const pninterop::ImportPlan& plan) {
    std::vector<NewRecord> records;
    records.reserve(plan.records.size());
    for (const pninterop::PlannedRecord& p : plan.records) {
        const pninterop::BoxRecord& r = p.record;
        records.push_back({r.group, r.user, r.password, r.url, r.comments, r.endDay});
    }
    const AddResult result = PwdStore().addRecords(records);
    for (NewRecord& r : records) pncrypto::Wipe(r.password);
    return result;
}

ExportFormat ExportFormatOfName(const std::string& path) {
    const size_t dot = path.find_last_of("./\\");
    std::string extension = dot == std::string::npos || path[dot] != '.' ? std::string() : path.substr(dot);
    for (char& c : extension) c = char(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return extension == ".csv" ? ExportFormat::KeePassXcCsv : ExportFormat::KeePassXml;
}

bool BuildExportFile(ExportFormat format, const pninterop::FromBoxText& fromBox,
                     const std::function<void(unsigned char*, size_t)>& randomBytes, ExportFile& file) {
    file = ExportFile();
    const std::map<int, std::string> names = GroupNames();
    std::vector<pninterop::Entry> entries;
    const bool read = PwdStore().readLiveRecords([&](const ListedRecord& r) {
        pninterop::Entry entry;
        // The group an import put a root group's entries in gives them back
        // to the root: a database of KeePassXC's comes back as it was.
        std::string group = NameOf(names, r.group);
        if (group == kExportRootGroup) group.clear();
        pninterop::BoxRecord record{group, r.user, r.password, r.url, r.comments, r.endDay};
        if (!r.damaged && pninterop::EntryFromBoxRecord(record, fromBox, entry))
            entries.push_back(std::move(entry));
        else
            ++file.leftOut;
        pncrypto::Wipe(record.password);
        return true;
    });
    if (!read) {
        WipePasswords(entries);
        file.leftOut = 0;
        return false;
    }
    std::vector<size_t> skipped;
    if (format == ExportFormat::KeePassXml) {
        pninterop::XmlWriteOptions options;
        options.rootGroup = kExportRootGroup;
        options.randomBytes = randomBytes;
        file.bytes = pninterop::WriteKeePassXml(entries, options, &skipped);
    } else {
        file.bytes = pninterop::WriteKeePassXcCsv(entries, kExportRootGroup, &skipped);
    }
    file.written = entries.size() - skipped.size();
    file.leftOut += skipped.size();
    WipePasswords(entries);
    return true;
}

}  // namespace pnstore
