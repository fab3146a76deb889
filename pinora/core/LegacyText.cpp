#include "LegacyText.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>

#include "Users.h"
#include "Utf8Text.h"

namespace pinora {
namespace {

using pncrypto::ConvertLegacySecret;
using pncrypto::SecretConversion;

bool HasByteOrderMark(std::string_view text) {
    return text.substr(0, 3) == "\xEF\xBB\xBF" || text.substr(0, 2) == "\xFF\xFE" || text.substr(0, 2) == "\xFE\xFF";
}

bool SameAscii(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

bool Named(const std::vector<std::string>& names, std::string_view name) {
    return std::any_of(names.begin(), names.end(), [&](const std::string& n) { return SameAscii(n, name); });
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

// The lines of a text, each with its line end.
std::vector<std::string_view> Lines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        const size_t n = end == std::string_view::npos ? text.size() : end + 1;
        lines.push_back(text.substr(0, n));
        text.remove_prefix(n);
    }
    return lines;
}

// The text as UTF-8: as it is when it is UTF-8 already, else converted; a
// text the decoder refuses stays as it was.
std::string AsUtf8(std::string_view text, const LegacyDecoder& decode) {
    std::string utf8;
    if (uikit::IsValidUtf8(text) || !decode(text, utf8)) return std::string(text);
    return utf8;
}

std::string SecretNote(SecretConversion outcome) {
    return outcome == SecretConversion::TooLong
               ? "a password longer in UTF-8 than the old cipher holds (48 bytes), left as it was"
               : "a password that is no cipher text, left as it was";
}

uint32_t Little(std::string_view bytes, size_t at, int size) {
    uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(bytes[at + static_cast<size_t>(i)]);
    return value;
}

struct TableField {
    std::string name;
    char type;
    size_t length;
};

// The fields of a table file as its header describes them, read as the table
// library reads them; empty when the bytes are no table.
std::vector<TableField> TableFields(std::string_view bytes, size_t* headerLength) {
    std::vector<TableField> fields;
    if (bytes.size() < 33) return fields;
    *headerLength = Little(bytes, 8, 2);
    if (*headerLength < 33 || *headerLength > bytes.size()) return fields;
    for (size_t at = 32; at + 32 <= *headerLength && bytes[at] != '\x0D'; at += 32) {
        const std::string_view name = bytes.substr(at, 11);
        fields.push_back({std::string(name.substr(0, name.find('\0'))),
                          static_cast<char>(std::toupper(static_cast<unsigned char>(bytes[at + 11]))),
                          static_cast<unsigned char>(bytes[at + 16])});
        if (fields.back().length == 0) return {};
    }
    return fields;
}

// One character field of a record, converted in place. True when it changed.
bool ConvertField(char* field, const TableField& layout, const LegacyDecoder& decode, const TableRules& rules,
                  long record, ConversionNotes& notes) {
    std::string_view value(field, layout.length);
    value = value.substr(0, value.find('\0'));
    while (!value.empty() && value.back() == ' ') value.remove_suffix(1);  // other writers pad with blanks
    const std::string where = "record " + std::to_string(record) + " field " + layout.name + ": ";
    const size_t room = layout.length - 1;  // a reader gets at most length - 1 bytes
    std::string converted;
    if (Named(rules.secretFields, layout.name)) {
        const SecretConversion outcome = ConvertLegacySecret(value, decode, converted);
        if (outcome == SecretConversion::TooLong || outcome == SecretConversion::NotCipher) notes.push_back(where + SecretNote(outcome));
        if (outcome != SecretConversion::Converted || converted.size() > room) return false;
    } else {
        if (uikit::IsValidUtf8(value) || !decode(value, converted)) return false;
        if (converted.size() > room) {
            if (Named(rules.wholeFields, layout.name)) {
                notes.push_back(where + "longer than the field in UTF-8, left as it was");
                return false;
            }
            converted = uikit::Utf8Prefix(converted, room);
            notes.push_back(where + "shortened to " + std::to_string(converted.size()) + " bytes: \"" + converted + "\"");
        }
    }
    std::memset(field, 0, layout.length);
    std::memcpy(field, converted.data(), converted.size());
    return true;
}

class FolderRun {
public:
    explicit FolderRun(const FolderConversion& c) : c_(c), files_(*c.files) {}

    ConversionReport Run() {
        const std::string& p = c_.programFolder;
        const char sep = p.empty() ? '\\' : p.back();
        if (!Ini(p + "pinora.ini", {"SETTINGS/auto_pwd"})) return report_;
        if (c_.settingsReady) c_.settingsReady();
        if (!Ini(p + "pnpb.ini", {})) return report_;
        if (!Table(p + "user.dat", {{"PWD"}, {"USERNAME"}})) return report_;
        for (const char* catalogue : {"skincfg.dat", "winkcfg.dat"})
            if (!Table(p + catalogue, {})) return report_;
        for (const std::string& name : userNamesIn(p + "user.dat")) {
            const std::string user = p + name;
            if (!uikit::IsValidUtf8(name) || !files_.Exists(user)) continue;  // never logged in
            const std::string data = user + sep + "data" + sep;
            for (const std::string& day : files_.FilesEnding(data, ".txt"))
                if (!Plain(data + day)) return report_;
            const std::string sticks = data + "sticks" + sep;
            if (!Table(sticks + "sticks.esf", {}) || !Table(sticks + "alarm.ser", {})) return report_;
            if (!Database(user + sep + "pnpb.dat")) return report_;
        }
        if (!Database(p + "pnpb.dat")) return report_;
        // The password box may have been pointed at a database of its own.
        std::string pnpbIni;
        if (files_.Read(p + "pnpb.ini", pnpbIni)) {
            const std::string chosen = IniValue(pnpbIni, "UI", "CUR_DB_FILE");
            if (!chosen.empty() && !Database(chosen)) return report_;
        }
        report_.finished = true;
        return report_;
    }

private:
    bool Ini(const std::string& path, const std::vector<std::string>& secrets) {
        return File(path, [&](const std::string& in, std::string& out, ConversionNotes& notes) {
            return ConvertIniText(in, c_.decode, secrets, out, notes);
        });
    }
    bool Table(const std::string& path, const TableRules& rules) {
        return File(path, [&](const std::string& in, std::string& out, ConversionNotes& notes) {
            return ConvertTableBytes(in, c_.decode, rules, out, notes) == TableOutcome::Converted;
        });
    }
    bool Plain(const std::string& path) {
        return File(path, [&](const std::string& in, std::string& out, ConversionNotes&) {
            return ConvertPlainText(in, c_.decode, out);
        });
    }

    template <typename Transform>
    bool File(const std::string& path, Transform transform) {
        if (!files_.Exists(path)) return true;
        std::string in, out;
        if (!files_.Read(path, in)) return Fail(path);
        ConversionNotes notes;
        const bool changed = transform(in, out, notes);
        Note(path, notes);
        if (!changed) return true;
        if (!ReplaceKeepingBackup(files_, path, in, out, BackupPath(path, c_.codePage))) return Fail(path);
        ++report_.filesConverted;
        return true;
    }

    bool Database(const std::string& path) {
        if (!c_.convertDatabase || done_.end() != std::find(done_.begin(), done_.end(), path) || !files_.Exists(path))
            return true;
        done_.push_back(path);
        ConversionNotes notes;
        const DatabaseOutcome outcome = c_.convertDatabase(path, BackupPath(path, c_.codePage), notes);
        Note(path, notes);
        if (outcome == DatabaseOutcome::Failed) return Fail(path);
        if (outcome == DatabaseOutcome::Converted) ++report_.filesConverted;
        return true;
    }

    void Note(const std::string& path, const ConversionNotes& notes) {
        const std::string& p = c_.programFolder;
        const std::string shown = path.compare(0, p.size(), p) == 0 ? path.substr(p.size()) : path;
        for (const std::string& note : notes) report_.notes.push_back(shown + ": " + note);
    }

    bool Fail(const std::string& path) {
        report_.failedPath = path;
        return false;
    }

    const FolderConversion& c_;
    FolderAccess& files_;
    ConversionReport report_;
    std::vector<std::string> done_;
};

}  // namespace

bool ConvertIniText(std::string_view in, const LegacyDecoder& decode, const std::vector<std::string>& secrets,
                    std::string& out, ConversionNotes& notes) {
    out.assign(in);
    if (HasByteOrderMark(in)) return false;
    std::string converted, section;
    for (std::string_view line : Lines(in)) {
        const size_t bodyEnd = line.find_first_of("\r\n");
        const std::string_view body = line.substr(0, bodyEnd);
        const std::string_view end = bodyEnd == std::string_view::npos ? std::string_view() : line.substr(bodyEnd);
        const std::string_view trimmed = Trim(body);
        if (!trimmed.empty() && trimmed.front() == '[') section = AsUtf8(trimmed.substr(1, trimmed.find(']') - 1), decode);
        const size_t eq = body.find('=');
        if (eq != std::string_view::npos && Named(secrets, section + "/" + std::string(Trim(body.substr(0, eq))))) {
            std::string cipher;
            const SecretConversion outcome = ConvertLegacySecret(Trim(body.substr(eq + 1)), decode, cipher);
            if (outcome == SecretConversion::Converted) {
                converted.append(body.substr(0, eq + 1)).append(cipher).append(end);
                continue;
            }
            if (outcome == SecretConversion::TooLong) notes.push_back(std::string(Trim(body.substr(0, eq))) + ": " + SecretNote(outcome));
        }
        converted.append(AsUtf8(line, decode));
    }
    if (converted == in) return false;
    out = std::move(converted);
    return true;
}

TableOutcome ConvertTableBytes(std::string_view in, const LegacyDecoder& decode, const TableRules& rules,
                               std::string& out, ConversionNotes& notes) {
    out.assign(in);
    size_t headerLength = 0;
    const std::vector<TableField> fields = TableFields(in, &headerLength);
    if (fields.empty()) return TableOutcome::NotATable;
    size_t recordSize = 1;
    for (const TableField& f : fields) recordSize += f.length;
    // Records the header claims but the file does not hold are no one's to write.
    const size_t records = std::min<size_t>(Little(in, 4, 4), (in.size() - headerLength) / recordSize);
    bool changed = false;
    for (size_t r = 0; r < records; ++r) {
        size_t at = headerLength + r * recordSize + 1;
        for (const TableField& f : fields) {
            if (f.type == 'C') changed |= ConvertField(&out[at], f, decode, rules, static_cast<long>(r + 1), notes);
            at += f.length;
        }
    }
    return changed ? TableOutcome::Converted : TableOutcome::Unchanged;
}

bool ConvertPlainText(std::string_view in, const LegacyDecoder& decode, std::string& out) {
    out.assign(in);
    if (HasByteOrderMark(in) || uikit::IsValidUtf8(in)) return false;
    std::string converted;
    // Line by line: a line the new version appended is UTF-8 already.
    for (std::string_view line : Lines(in)) converted.append(AsUtf8(line, decode));
    if (converted == in) return false;
    out = std::move(converted);
    return true;
}

std::string IniValue(std::string_view text, std::string_view section, std::string_view key) {
    std::string_view current;
    for (std::string_view line : Lines(text)) {
        line = Trim(line.substr(0, line.find_first_of("\r\n")));
        if (!line.empty() && line.front() == '[') {
            current = line.substr(1, line.find(']') - 1);
            continue;
        }
        const size_t eq = line.find('=');
        if (eq != std::string_view::npos && SameAscii(current, section) && SameAscii(Trim(line.substr(0, eq)), key))
            return std::string(Trim(line.substr(eq + 1)));
    }
    return "";
}

std::string BackupPath(const std::string& path, unsigned codePage) {
    return path + "." + std::to_string(codePage) + ".bak";
}

bool ReplaceKeepingBackup(FolderAccess& files, const std::string& path, const std::string& oldBytes,
                          const std::string& newBytes, const std::string& backup) {
    const std::string next = path + ".utf8-new";
    if (!files.WriteNew(next, newBytes)) return false;
    // A backup that is there is the first one, made from the file as the
    // earlier version left it: never replaced.
    if (!files.Exists(backup)) {
        const std::string part = backup + ".part";
        if (!files.WriteNew(part, oldBytes) || !files.MoveReplacing(part, backup)) return false;
    }
    return files.MoveReplacing(next, path);
}

ConversionReport ConvertProgramFolder(const FolderConversion& conversion) {
    if (conversion.files == nullptr || !conversion.decode) return {};
    return FolderRun(conversion).Run();
}

}  // namespace pinora
