#include "PasswordCsv.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "FileText.h"

namespace pninterop {
namespace {

struct CsvRow {
    std::vector<std::string> fields;
    int line = 0;
};

bool IsLineEnd(char c) { return c == '\n' || c == '\r'; }

// Splits the text into rows of fields. Empty lines are no rows.
ReadError SplitRows(std::string_view text, std::vector<CsvRow>& rows) {
    LineCounter lines(text);
    size_t at = 0;
    while (at < text.size()) {
        if (IsLineEnd(text[at])) {  // an empty line
            at += (text[at] == '\r' && at + 1 < text.size() && text[at + 1] == '\n') ? 2 : 1;
            continue;
        }
        if (rows.size() > kMaxEntries) return {ReadProblem::TooLarge, lines.lineAt(at)};
        CsvRow row;
        row.line = lines.lineAt(at);
        for (;;) {  // one field per turn
            if (row.fields.size() >= kMaxCsvColumns) return {ReadProblem::TooLarge, lines.lineAt(at)};
            std::string field;
            if (at < text.size() && text[at] == '"') {
                const size_t opened = at++;
                for (;;) {
                    const size_t quote = text.find('"', at);
                    if (quote == std::string_view::npos) return {ReadProblem::UnclosedQuote, lines.lineAt(opened)};
                    field.append(text.substr(at, quote - at));
                    at = quote + 1;
                    if (at < text.size() && text[at] == '"') {
                        field += '"';
                        ++at;
                    } else {
                        break;
                    }
                }
                if (at < text.size() && text[at] != ',' && !IsLineEnd(text[at]))
                    return {ReadProblem::TextAfterQuote, lines.lineAt(at)};
            } else {
                const size_t end = std::min(text.find_first_of(",\r\n", at), text.size());
                field.assign(text.substr(at, end - at));
                at = end;
            }
            row.fields.push_back(std::move(field));
            if (at < text.size() && text[at] == ',') {
                ++at;
                continue;
            }
            break;  // a line end or the end of the text
        }
        if (at < text.size()) at += (text[at] == '\r' && at + 1 < text.size() && text[at + 1] == '\n') ? 2 : 1;
        rows.push_back(std::move(row));
    }
    return {};
}

// Column positions of the fields an entry takes; -1 where the file has none.
struct Columns {
    int group = -1, title = -1, user = -1, password = -1, url = -1, notes = -1;
};

std::string Folded(const std::string& name) {
    std::string out;
    for (char c : name)
        if (c != ' ' || !out.empty()) out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    while (!out.empty() && out.back() == ' ') out.pop_back();
    return out;
}

// The header names each field is known by in the exports we read.
bool HeaderColumns(const CsvRow& header, Columns& columns, bool& keePassXc) {
    struct Known {
        int Columns::*column;
        std::array<const char*, 4> names;
    };
    static const Known kKnown[] = {
        {&Columns::group, {"group", "folder", "grouping", nullptr}},
        {&Columns::title, {"title", "name", nullptr, nullptr}},
        {&Columns::user, {"username", "user name", "login_username", "login"}},
        {&Columns::password, {"password", "login_password", nullptr, nullptr}},
        {&Columns::url, {"url", "login_uri", "website", "uri"}},
        {&Columns::notes, {"notes", "note", "comments", "extra"}},
    };
    Columns found;
    int named = 0;
    for (size_t i = 0; i < header.fields.size(); ++i) {
        const std::string name = Folded(header.fields[i]);
        for (const Known& known : kKnown) {
            const bool matches = std::any_of(known.names.begin(), known.names.end(),
                                             [&](const char* n) { return n != nullptr && name == n; });
            if (matches && found.*known.column < 0) {
                found.*known.column = static_cast<int>(i);
                ++named;
            }
        }
    }
    if (found.password < 0 || named < 2) return false;
    columns = found;
    keePassXc = found.group >= 0 && found.title >= 0 && Folded(header.fields[found.group]) == "group" &&
                Folded(header.fields[found.title]) == "title";
    return true;
}

std::string FirstSegment(const std::string& path) { return path.substr(0, path.find('/')); }

std::string BelowFirstSegment(const std::string& path) {
    const size_t slash = path.find('/');
    return slash == std::string::npos ? std::string() : path.substr(slash + 1);
}

// KeePassXC writes the root group's name in front of every path.
void DropRootGroup(ReadResult& result) {
    if (result.entries.empty()) return;
    const std::string root = FirstSegment(result.entries.front().group);
    const bool shared = std::all_of(result.entries.begin(), result.entries.end(),
                                    [&](const Entry& e) { return FirstSegment(e.group) == root; });
    if (shared) result.rootGroup = root;
    for (Entry& e : result.entries) {
        if (shared || FirstSegment(e.group) == "Root") e.group = BelowFirstSegment(e.group);
        e.recycled = FirstSegment(e.group) == "Recycle Bin";
    }
}

std::string Quoted(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + "\"";
}

}  // namespace

ReadResult ReadPasswordCsv(std::string_view bytes) {
    ReadResult result;
    result.error = OpenFileText(bytes, false);
    if (!result.ok()) return result;

    std::vector<CsvRow> rows;
    result.error = SplitRows(bytes, rows);
    if (!result.ok()) return result;
    if (rows.empty()) {
        result.error = {ReadProblem::Empty, 1};
        return result;
    }

    Columns columns;
    bool keePassXc = false;
    size_t first = 1;  // the first row of entries
    if (!HeaderColumns(rows.front(), columns, keePassXc)) {
        if (rows.front().fields.size() < 6) {
            result.error = {ReadProblem::NoPasswordColumn, rows.front().line};
            return result;
        }
        columns = Columns{0, 1, 2, 3, 4, 5};  // KeePassXC's order, without its header
        keePassXc = true;
        first = 0;
    }
    result.format = keePassXc ? FileFormat::KeePassXcCsv : FileFormat::BrowserCsv;

    const size_t width = rows.front().fields.size();
    auto field = [](const CsvRow& row, int column) {
        return column < 0 ? std::string() : row.fields[static_cast<size_t>(column)];
    };
    for (size_t r = first; r < rows.size(); ++r) {
        const CsvRow& row = rows[r];
        if (row.fields.size() != width) {
            result.entries.clear();
            result.error = {ReadProblem::RowLength, row.line};
            return result;
        }
        Entry e;
        e.group = field(row, columns.group);
        e.title = field(row, columns.title);
        e.user = field(row, columns.user);
        e.password = field(row, columns.password);
        e.url = field(row, columns.url);
        e.notes = WithUnixLineBreaks(field(row, columns.notes));
        e.line = row.line;
        result.entries.push_back(std::move(e));
    }
    if (keePassXc) DropRootGroup(result);
    return result;
}

std::string WriteKeePassXcCsv(const std::vector<Entry>& entries, const std::string& rootGroup,
                              std::vector<size_t>* skipped) {
    std::string out = "\"Group\",\"Title\",\"Username\",\"Password\",\"URL\",\"Notes\",\"TOTP\",\"Icon\","
                      "\"Last Modified\",\"Created\"\n";
    for (size_t i = 0; i < entries.size(); ++i) {
        const Entry& e = entries[i];
        const std::string group = e.group.empty() ? rootGroup : rootGroup + "/" + e.group;
        const std::string* texts[] = {&group, &e.title, &e.user, &e.password, &e.url, &e.notes};
        const bool writable = std::all_of(std::begin(texts), std::end(texts), [](const std::string* t) {
            return uikit::IsValidUtf8(*t) && t->find('\0') == std::string::npos;
        });
        if (!writable) {
            if (skipped != nullptr) skipped->push_back(i);
            continue;
        }
        for (const std::string* t : texts) out += Quoted(*t) + ",";
        out += "\"\",\"0\",\"\",\"\"\n";
    }
    return out;
}

}  // namespace pninterop
