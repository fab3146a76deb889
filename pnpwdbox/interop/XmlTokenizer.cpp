#include "XmlTokenizer.h"

#include <algorithm>
#include <cctype>

namespace pninterop {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

bool IsNameStart(char c) {
    const auto u = static_cast<unsigned char>(c);
    return std::isalpha(u) || c == '_' || c == ':' || u >= 0x80;
}

bool IsNameChar(char c) {
    return IsNameStart(c) || std::isdigit(static_cast<unsigned char>(c)) || c == '-' || c == '.';
}

bool StartsWith(std::string_view text, size_t at, std::string_view prefix) {
    return text.size() - at >= prefix.size() && text.compare(at, prefix.size(), prefix) == 0;
}

// The code point of a character reference's digits ("#38", "#x26"); false for
// anything else or a character XML does not allow.
bool CharacterReference(std::string_view name, uint32_t& cp) {
    if (name.size() < 2 || name[0] != '#') return false;
    const bool hex = name[1] == 'x';
    const std::string_view digits = name.substr(hex ? 2 : 1);
    if (digits.empty() || digits.size() > 8) return false;
    uint32_t value = 0;
    for (char c : digits) {
        const auto u = static_cast<unsigned char>(c);
        if (hex && std::isxdigit(u)) {
            value = value * 16 + static_cast<uint32_t>(std::isdigit(u) ? c - '0' : std::tolower(u) - 'a' + 10);
        } else if (!hex && std::isdigit(u)) {
            value = value * 10 + static_cast<uint32_t>(c - '0');
        } else {
            return false;
        }
    }
    if (!IsXmlChar(value)) return false;  // past U+10FFFF too
    cp = value;
    return true;
}

bool DeclaresUtf8OrNothing(std::string_view declaration) {
    const size_t key = declaration.find("encoding");
    if (key == std::string_view::npos) return true;
    const size_t quote = declaration.find_first_of("\"'", key);
    if (quote == std::string_view::npos) return false;
    const size_t close = declaration.find(declaration[quote], quote + 1);
    if (close == std::string_view::npos) return false;
    std::string name(declaration.substr(quote + 1, close - quote - 1));
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return name == "utf-8" || name == "utf8";
}

}  // namespace

XmlTokenizer::XmlTokenizer(std::string_view text) : text_(text), lines_(text) {}

XmlToken XmlTokenizer::fail(ReadProblem problem, size_t at) { return fail(problem, lineAt(at)); }

XmlToken XmlTokenizer::fail(ReadProblem problem, int line) {
    if (error_.problem == ReadProblem::None) error_ = {problem, line};
    XmlToken t;
    t.kind = XmlToken::Failed;
    t.line = error_.line;
    return t;
}

void XmlTokenizer::skipBlanks() {
    while (at_ < text_.size() && IsBlank(text_[at_])) ++at_;
}

bool XmlTokenizer::readName(std::string& name) {
    if (at_ >= text_.size() || !IsNameStart(text_[at_])) return false;
    const size_t start = at_;
    while (at_ < text_.size() && IsNameChar(text_[at_])) ++at_;
    name.assign(text_.substr(start, at_ - start));
    return true;
}

bool XmlTokenizer::skipMarkup(XmlToken& failed) {
    const size_t start = at_;
    auto skipTo = [&](std::string_view end, size_t from) {
        const size_t found = text_.find(end, from);
        if (found == std::string_view::npos) {
            failed = fail(ReadProblem::XmlUnclosed, start);
            return false;
        }
        at_ = found + end.size();
        return true;
    };
    if (StartsWith(text_, at_, "<!--")) return skipTo("-->", at_ + 4);
    if (StartsWith(text_, at_, "<?")) {
        if (!skipTo("?>", at_ + 2)) return true;
        const std::string_view pi = text_.substr(start, at_ - start);
        if (StartsWith(pi, 0, "<?xml ") && !DeclaresUtf8OrNothing(pi)) failed = fail(ReadProblem::NotUtf8, start);
        return true;
    }
    if (StartsWith(text_, at_, "<!DOCTYPE")) {
        failed = fail(ReadProblem::XmlDoctype, start);
        return true;
    }
    if (StartsWith(text_, at_, "<!") && !StartsWith(text_, at_, "<![CDATA[")) {
        failed = fail(ReadProblem::XmlSyntax, start);
        return true;
    }
    return false;
}

XmlToken XmlTokenizer::next() {
    if (error_.problem != ReadProblem::None) return fail(error_.problem, error_.line);
    if (pendingEnd_) {
        pendingEnd_ = false;
        XmlToken t;
        t.kind = XmlToken::End;
        t.name = open_.back().first;
        t.line = open_.back().second;
        open_.pop_back();
        return t;
    }
    for (;;) {
        XmlToken failed;
        if (open_.empty()) {  // before or after the root element
            skipBlanks();
            if (at_ >= text_.size()) {
                if (!rootSeen_) return fail(ReadProblem::Empty, at_);
                XmlToken done;
                done.line = lineAt(at_);
                return done;
            }
            if (text_[at_] != '<') return fail(ReadProblem::XmlSyntax, at_);
            if (skipMarkup(failed)) {
                if (failed.kind == XmlToken::Failed) return failed;
                continue;
            }
            if (rootSeen_ || StartsWith(text_, at_, "</")) return fail(ReadProblem::XmlSyntax, at_);
            return startTag();
        }
        if (at_ >= text_.size()) return fail(ReadProblem::XmlUnclosed, open_.back().second);
        if (text_[at_] != '<' || StartsWith(text_, at_, "<![CDATA[")) return text();
        if (skipMarkup(failed)) {
            if (failed.kind == XmlToken::Failed) return failed;
            continue;
        }
        return StartsWith(text_, at_, "</") ? endTag() : startTag();
    }
}

XmlToken XmlTokenizer::startTag() {
    const size_t start = at_++;
    XmlToken t;
    t.kind = XmlToken::Start;
    t.line = lineAt(start);
    if (!readName(t.name)) return fail(ReadProblem::XmlSyntax, start);
    for (;;) {
        const size_t before = at_;
        skipBlanks();
        if (at_ >= text_.size()) return fail(ReadProblem::XmlUnclosed, start);
        if (text_[at_] == '>') {
            ++at_;
            break;
        }
        if (text_[at_] == '/') {
            if (!StartsWith(text_, at_, "/>")) return fail(ReadProblem::XmlSyntax, at_);
            at_ += 2;
            pendingEnd_ = true;
            break;
        }
        std::string name, value;
        if (at_ == before || !readName(name)) return fail(ReadProblem::XmlSyntax, at_);
        skipBlanks();
        if (at_ >= text_.size() || text_[at_] != '=') return fail(ReadProblem::XmlSyntax, at_);
        ++at_;
        skipBlanks();
        if (at_ >= text_.size() || (text_[at_] != '"' && text_[at_] != '\'')) return fail(ReadProblem::XmlSyntax, at_);
        const size_t close = text_.find(text_[at_], at_ + 1);
        if (close == std::string_view::npos) return fail(ReadProblem::XmlUnclosed, start);
        const std::string_view raw = text_.substr(at_ + 1, close - at_ - 1);
        if (raw.find('<') != std::string_view::npos) return fail(ReadProblem::XmlSyntax, at_);
        XmlToken failed;
        if (!appendText(raw, value, at_ + 1, failed, true)) return failed;
        at_ = close + 1;
        for (const auto& a : t.attributes)
            if (a.first == name) return fail(ReadProblem::XmlSyntax, before);
        t.attributes.emplace_back(std::move(name), std::move(value));
    }
    if (open_.size() >= kMaxXmlDepth) return fail(ReadProblem::XmlTooDeep, start);
    open_.emplace_back(t.name, t.line);
    rootSeen_ = true;
    return t;
}

XmlToken XmlTokenizer::endTag() {
    const size_t start = at_;
    at_ += 2;
    XmlToken t;
    t.kind = XmlToken::End;
    t.line = lineAt(start);
    if (!readName(t.name)) return fail(ReadProblem::XmlSyntax, start);
    skipBlanks();
    if (at_ >= text_.size() || text_[at_] != '>') return fail(ReadProblem::XmlSyntax, at_);
    ++at_;
    if (t.name != open_.back().first) return fail(ReadProblem::XmlTagMismatch, start);
    open_.pop_back();
    return t;
}

XmlToken XmlTokenizer::text() {
    XmlToken t;
    t.kind = XmlToken::Text;
    t.line = lineAt(at_);
    while (at_ < text_.size()) {
        if (StartsWith(text_, at_, "<![CDATA[")) {
            const size_t end = text_.find("]]>", at_ + 9);
            if (end == std::string_view::npos) return fail(ReadProblem::XmlUnclosed, at_);
            t.text += WithUnixLineBreaks(text_.substr(at_ + 9, end - at_ - 9));
            at_ = end + 3;
            continue;
        }
        if (text_[at_] == '<') break;
        const size_t end = std::min(text_.find('<', at_), text_.size());
        XmlToken failed;
        if (!appendText(text_.substr(at_, end - at_), t.text, at_, failed, false)) return failed;
        at_ = end;
    }
    return t;
}

bool XmlTokenizer::appendText(std::string_view raw, std::string& out, size_t rawAt, XmlToken& failed,
                              bool attribute) {
    for (size_t i = 0; i < raw.size();) {
        const char c = raw[i];
        if (c == '&') {
            const size_t semi = raw.find(';', i);
            if (semi == std::string_view::npos || semi - i > 12) {
                failed = fail(ReadProblem::XmlEntity, rawAt + i);
                return false;
            }
            const std::string_view name = raw.substr(i + 1, semi - i - 1);
            uint32_t cp = 0;
            if (name == "lt") out += '<';
            else if (name == "gt") out += '>';
            else if (name == "amp") out += '&';
            else if (name == "quot") out += '"';
            else if (name == "apos") out += '\'';
            else if (CharacterReference(name, cp)) uikit::AppendUtf8(out, cp);
            else {
                failed = fail(ReadProblem::XmlEntity, rawAt + i);
                return false;
            }
            i = semi + 1;
        } else if (c == '\r') {
            out += attribute ? ' ' : '\n';
            i += (i + 1 < raw.size() && raw[i + 1] == '\n') ? 2 : 1;
        } else {
            out += (attribute && (c == '\n' || c == '\t')) ? ' ' : c;
            ++i;
        }
    }
    return true;
}

}  // namespace pninterop
