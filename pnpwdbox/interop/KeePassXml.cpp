#include "KeePassXml.h"

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <map>

#include "FileText.h"
#include "XmlTokenizer.h"

namespace pninterop {
namespace {

// ---- Reading ----

struct GroupNode {
    int parent = -1;  // -1 for a root group
    std::string name;
    std::string uuid;
};

bool IsTrue(const std::string& text) {
    std::string folded;
    for (char c : text) folded += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return folded == "true";
}

// An all-zero UUID names no group.
bool NamesAGroup(const std::string& uuid) { return !uuid.empty() && uuid != "AAAAAAAAAAAAAAAAAAAAAA=="; }

class KeePassReader {
public:
    KeePassReader(std::string_view text, LocalOffset offset) : tokens_(text), offset_(offset) {}

    ReadResult read() {
        ReadResult result;
        result.format = FileFormat::KeePassXml;
        for (;;) {
            XmlToken t = tokens_.next();
            if (t.kind == XmlToken::Failed) {
                result.error = tokens_.error();
                return result;
            }
            if (t.kind == XmlToken::Done) break;
            ReadError error;
            if (t.kind == XmlToken::Start) error = start(t);
            else if (t.kind == XmlToken::End) error = end(t);
            else if (collecting_) collected_ += t.text;
            if (error.problem != ReadProblem::None) {
                result.error = error;
                return result;
            }
        }
        finish(result);
        return result;
    }

private:
    const std::string& parent() const {
        static const std::string kNone;
        return path_.empty() ? kNone : path_.back();
    }
    ReadError start(const XmlToken& t) {
        if (path_.empty() && t.name != "KeePassFile") return {ReadProblem::NotKeePassXml, t.line};
        collecting_ = false;
        if (t.name == "Group") {
            int node = -1;
            const bool underGroup = parent() == "Group" && !groupStack_.empty() && groupStack_.back() >= 0;
            if (!inEntry_ && (parent() == "Root" || underGroup)) {
                groups_.push_back({parent() == "Root" ? -1 : groupStack_.back(), "", ""});
                node = static_cast<int>(groups_.size() - 1);
            }
            groupStack_.push_back(node);
        } else if (t.name == "Entry" && !inEntry_ && parent() == "Group" && groupStack_.back() >= 0) {
            if (entries_.size() >= kMaxEntries) return {ReadProblem::TooLarge, t.line};
            inEntry_ = true;
            entryDepth_ = path_.size() + 1;
            entry_ = Entry{};
            entry_.line = t.line;
            entryGroup_ = groupStack_.back();
            expires_ = false;
            expiryText_.clear();
        } else if (inEntry_) {
            // Only the entry's own children count: the versions in its
            // <History> are entries two levels further down.
            const size_t depth = path_.size() + 1 - entryDepth_;
            if (depth == 2 && parent() == "String" && (t.name == "Key" || t.name == "Value")) collecting_ = true;
            if (depth == 2 && parent() == "Times" && (t.name == "Expires" || t.name == "ExpiryTime")) {
                collecting_ = true;
                if (t.name == "ExpiryTime") expiryLine_ = t.line;
            }
            if (t.name == "Value" && collecting_) {
                valueProtected_ = std::any_of(t.attributes.begin(), t.attributes.end(), [](const auto& a) {
                    return a.first == "Protected" && IsTrue(a.second);
                });
            }
        } else if ((t.name == "Name" || t.name == "UUID") && parent() == "Group" && groupStack_.back() >= 0) {
            collecting_ = true;
        } else if (t.name == "RecycleBinUUID" && parent() == "Meta") {
            collecting_ = true;
        }
        if (collecting_) collected_.clear();
        path_.push_back(t.name);
        return {};
    }

    ReadError end(const XmlToken& t) {
        path_.pop_back();
        const bool collected = collecting_;
        collecting_ = false;
        if (t.name == "Group") {
            groupStack_.pop_back();
        } else if (inEntry_ && t.name == "Entry" && path_.size() + 1 == entryDepth_) {
            return finishEntry();
        } else if (inEntry_ && t.name == "String" && path_.size() + 1 == entryDepth_ + 1) {
            takeString();
        } else if (collected) {
            if (t.name == "Key") key_ = collected_;
            else if (t.name == "Value") value_ = collected_;
            else if (t.name == "Expires") expires_ = IsTrue(collected_);
            else if (t.name == "ExpiryTime") expiryText_ = collected_;
            else if (t.name == "Name") groups_[static_cast<size_t>(groupStack_.back())].name = collected_;
            else if (t.name == "UUID") groups_[static_cast<size_t>(groupStack_.back())].uuid = collected_;
            else if (t.name == "RecycleBinUUID") recycleBin_ = collected_;
        }
        return {};
    }

    void takeString() {
        struct Known {
            const char* key;
            std::string Entry::*field;
            Field bit;
        };
        static const Known kKnown[] = {
            {"Title", &Entry::title, kFieldTitle},       {"UserName", &Entry::user, kFieldUser},
            {"Password", &Entry::password, kFieldPassword}, {"URL", &Entry::url, kFieldUrl},
            {"Notes", &Entry::notes, kFieldNotes},
        };
        for (const Known& k : kKnown) {
            if (key_ != k.key) continue;
            if (valueProtected_) {
                entry_.*k.field = std::string();
                entry_.encryptedFields |= k.bit;
            } else {
                entry_.*k.field = value_;
                entry_.encryptedFields &= ~static_cast<unsigned>(k.bit);
            }
        }
        key_.clear();
        value_.clear();
        valueProtected_ = false;
    }

    ReadError finishEntry() {
        inEntry_ = false;
        if (expires_) {
            long long utc;
            if (!ParseKeePassTime(expiryText_, utc)) return {ReadProblem::BadTime, expiryLine_};
            entry_.endDay = LocalDayOf(utc, offset_);
            if (!IsDay(entry_.endDay)) return {ReadProblem::BadTime, expiryLine_};
        }
        entries_.push_back(std::move(entry_));
        entryGroups_.push_back(entryGroup_);
        return {};
    }

    void finish(ReadResult& result) {
        // Parents come before their children, so one pass gives every path.
        std::vector<std::string> paths(groups_.size());
        std::vector<bool> recycled(groups_.size(), false);
        for (size_t i = 0; i < groups_.size(); ++i) {
            const GroupNode& g = groups_[i];
            if (g.parent < 0) {
                if (result.rootGroup.empty()) result.rootGroup = g.name;
                recycled[i] = NamesAGroup(recycleBin_) && g.uuid == recycleBin_;
                continue;
            }
            const size_t p = static_cast<size_t>(g.parent);
            paths[i] = paths[p].empty() && groups_[p].parent < 0 ? g.name : paths[p] + "/" + g.name;
            recycled[i] = recycled[p] || (NamesAGroup(recycleBin_) && g.uuid == recycleBin_);
        }
        for (size_t i = 0; i < entries_.size(); ++i) {
            const size_t g = static_cast<size_t>(entryGroups_[i]);
            entries_[i].group = paths[g];
            entries_[i].recycled = recycled[g];
        }
        result.entries = std::move(entries_);
    }

    XmlTokenizer tokens_;
    LocalOffset offset_;
    std::vector<std::string> path_;
    std::vector<GroupNode> groups_;
    std::vector<int> groupStack_;  // per open <Group>: its node, -1 when not read
    std::vector<Entry> entries_;
    std::vector<int> entryGroups_;
    std::string recycleBin_;

    bool collecting_ = false;
    std::string collected_;

    bool inEntry_ = false;
    size_t entryDepth_ = 0;  // path length with the open <Entry> in it
    Entry entry_;
    int entryGroup_ = -1;
    std::string key_, value_;
    bool valueProtected_ = false;
    bool expires_ = false;
    std::string expiryText_;
    int expiryLine_ = 0;
};

// ---- Writing ----

std::string Escaped(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            case '\r': out += "&#13;"; break;  // a raw one would be read as a line break
            default: out += c;
        }
    }
    return out;
}

std::vector<std::string> Segments(const std::string& path) {
    std::vector<std::string> out;
    size_t from = 0;
    for (;;) {
        const size_t slash = path.find('/', from);
        out.push_back(path.substr(from, slash - from));
        if (slash == std::string::npos) return out;
        from = slash + 1;
    }
}

// Groups nested deeper than this are not written: the file would be deeper
// than the reader takes.
constexpr size_t kMaxGroupLevels = 100;

struct TreeNode {
    std::string name;
    std::vector<size_t> children;  // in order of first use
    std::vector<size_t> entries;
};

std::string Base64(const unsigned char* bytes, size_t count) {
    static const char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    for (size_t i = 0; i < count; i += 3) {
        const uint32_t chunk = (uint32_t{bytes[i]} << 16) | (i + 1 < count ? uint32_t{bytes[i + 1]} << 8 : 0) |
                               (i + 2 < count ? uint32_t{bytes[i + 2]} : 0);
        out += kDigits[(chunk >> 18) & 63];
        out += kDigits[(chunk >> 12) & 63];
        out += i + 1 < count ? kDigits[(chunk >> 6) & 63] : '=';
        out += i + 2 < count ? kDigits[chunk & 63] : '=';
    }
    return out;
}

class KeePassWriter {
public:
    KeePassWriter(const std::vector<Entry>& entries, const XmlWriteOptions& options)
        : entries_(entries), options_(options) {}

    std::string write(std::vector<size_t>* skipped) {
        nodes_.push_back({options_.rootGroup, {}, {}});
        for (size_t i = 0; i < entries_.size(); ++i) {
            if (writable(entries_[i])) place(i);
            else if (skipped != nullptr) skipped->push_back(i);
        }
        out_ = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<KeePassFile>\n";
        out_ += "\t<Meta>\n\t\t<Generator>" + Escaped(options_.generator) + "</Generator>\n\t</Meta>\n\t<Root>\n";
        group(0, 2);
        out_ += "\t</Root>\n</KeePassFile>\n";
        return std::move(out_);
    }

private:
    bool writable(const Entry& e) const {
        const std::string* texts[] = {&e.group, &e.title, &e.user, &e.password, &e.url, &e.notes};
        return std::all_of(std::begin(texts), std::end(texts), [](const std::string* t) {
                   return HoldsOnlyXmlChars(*t);
               }) &&
               HoldsOnlyXmlChars(options_.rootGroup) && (e.endDay.empty() || IsDay(e.endDay)) &&
               std::count(e.group.begin(), e.group.end(), '/') < static_cast<std::ptrdiff_t>(kMaxGroupLevels);
    }

    void place(size_t entry) {
        size_t node = 0;
        if (!entries_[entry].group.empty()) {
            for (const std::string& name : Segments(entries_[entry].group)) {
                auto& known = children_[node];
                auto found = known.find(name);
                if (found == known.end()) {
                    nodes_.push_back({name, {}, {}});
                    found = known.emplace(name, nodes_.size() - 1).first;
                    nodes_[node].children.push_back(found->second);
                }
                node = found->second;
            }
        }
        nodes_[node].entries.push_back(entry);
    }

    void line(size_t indent, const std::string& text) { out_ += std::string(indent, '\t') + text + "\n"; }

    void uuid(size_t indent) {
        if (!options_.randomBytes) return;
        unsigned char bytes[16];
        options_.randomBytes(bytes, sizeof bytes);
        line(indent, "<UUID>" + Base64(bytes, sizeof bytes) + "</UUID>");
    }

    void group(size_t node, size_t indent) {
        line(indent, "<Group>");
        uuid(indent + 1);
        line(indent + 1, "<Name>" + Escaped(nodes_[node].name) + "</Name>");
        for (size_t e : nodes_[node].entries) entry(entries_[e], indent + 1);
        // Children are written after the walk that made them, so recursion
        // depth is bounded by kMaxGroupLevels.
        for (size_t child : nodes_[node].children) group(child, indent + 1);
        line(indent, "</Group>");
    }

    void entry(const Entry& e, size_t indent) {
        line(indent, "<Entry>");
        uuid(indent + 1);
        long long expiry = 0;
        if (!e.endDay.empty() && StartOfLocalDay(e.endDay, options_.offset, expiry)) {
            line(indent + 1, "<Times>");
            line(indent + 2, "<ExpiryTime>" + FormatKeePassTime(expiry) + "</ExpiryTime>");
            line(indent + 2, "<Expires>True</Expires>");
            line(indent + 1, "</Times>");
        }
        const std::pair<const char*, const std::string*> strings[] = {
            {"Title", &e.title}, {"UserName", &e.user}, {"Password", &e.password}, {"URL", &e.url},
            {"Notes", &e.notes}};
        for (const auto& [key, value] : strings) {
            const char* attribute = std::string(key) == "Password" ? " ProtectInMemory=\"True\"" : "";
            line(indent + 1, std::string("<String><Key>") + key + "</Key><Value" + attribute + ">" + Escaped(*value) +
                                 "</Value></String>");
        }
        line(indent, "</Entry>");
    }

    const std::vector<Entry>& entries_;
    const XmlWriteOptions& options_;
    std::vector<TreeNode> nodes_;
    std::map<size_t, std::map<std::string, size_t>> children_;  // node -> child name -> node
    std::string out_;
};

}  // namespace

ReadResult ReadKeePassXml(std::string_view bytes, LocalOffset offset) {
    ReadResult result;
    result.format = FileFormat::KeePassXml;
    result.error = OpenFileText(bytes, true);
    if (!result.ok()) return result;
    return KeePassReader(bytes, offset).read();
}

std::string WriteKeePassXml(const std::vector<Entry>& entries, const XmlWriteOptions& options,
                            std::vector<size_t>* skipped) {
    return KeePassWriter(entries, options).write(skipped);
}

}  // namespace pninterop
