// A small, strict XML reader for the KeePass files: start tags (with their
// attributes), end tags and text, one at a time. It takes what a well-formed
// UTF-8 document without a document type declaration may hold: the five
// predefined entities, character references, CDATA sections, comments and
// processing instructions (skipped). Nothing is ever expanded beyond what the
// document spells out, and nesting is bounded, so work and memory stay in
// proportion to the input. Line breaks in text come out as "\n".
#pragma once
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "PasswordEntry.h"
#include "FileText.h"

namespace pninterop {

struct XmlToken {
    enum Kind { Start, End, Text, Done, Failed } kind = Done;
    std::string name;                                        // Start, End
    std::vector<std::pair<std::string, std::string>> attributes;  // Start
    std::string text;                                        // Text (entities and CDATA resolved)
    int line = 0;                                            // where the token starts
};

class XmlTokenizer {
public:
    // `text` must have passed CheckFileText(text, true) and have no byte order mark.
    explicit XmlTokenizer(std::string_view text);
    // The next token; Failed with error() set at the first fault, Done after the
    // root element has closed and nothing but comments and blanks follow.
    XmlToken next();
    const ReadError& error() const { return error_; }
    // Start tags that are open now.
    size_t depth() const { return open_.size(); }

private:
    XmlToken fail(ReadProblem problem, size_t at);
    XmlToken fail(ReadProblem problem, int line);
    bool skipMarkup(XmlToken& failed);  // comments, PIs, doctype: true when one was skipped
    XmlToken startTag();
    XmlToken endTag();
    XmlToken text();
    bool appendText(std::string_view raw, std::string& out, size_t rawAt, XmlToken& failed, bool attribute);
    bool readName(std::string& name);
    void skipBlanks();
    int lineAt(size_t at) { return lines_.lineAt(at); }

    std::string_view text_;
    size_t at_ = 0;
    LineCounter lines_;
    std::vector<std::pair<std::string, int>> open_;  // name and line of each open element
    bool rootSeen_ = false;
    bool pendingEnd_ = false;  // an empty-element tag still owes its end
    ReadError error_;
};

}  // namespace pninterop
