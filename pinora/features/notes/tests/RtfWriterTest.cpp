#include "RtfWriter.h"

#include <gtest/gtest.h>

namespace pinora {
namespace {

// The document without its fixed header and closing brace.
std::string Body(const RtfDocument& doc) {
    std::string text = doc.Text();
    const size_t start = text.find("\\fs20\r\n");
    EXPECT_NE(start, std::string::npos);
    EXPECT_EQ(text.substr(text.size() - 3), "}\r\n");
    return text.substr(start + 7, text.size() - 3 - (start + 7));
}

TEST(RtfDocument, ItalicStaysOnOnceSwitchedOn) {
    RtfDocument doc;
    doc.TypeText(u"First note\r\n");
    doc.SetItalic();
    doc.TypeText(u"No notes today:C:\\data\\2008-09-10.txt\r\n");
    doc.SetItalic();
    doc.TypeText(u"Third note\r\n");
    EXPECT_EQ(Body(doc),
              "First note\\par \r\n"
              "\\i No notes today:C:\\\\data\\\\2008-09-10.txt\\par \r\n"
              "Third note\\par \r\n");
}

TEST(RtfDocument, BracesBackslashesAndLineEndsAreEscaped) {
    RtfDocument doc;
    doc.TypeText(u"{a}\\b\rc\nd\te");
    EXPECT_EQ(Body(doc), "\\{a\\}\\\\b\\par \r\nc\\par \r\nd\\tab e");
    // The document's own braces still pair up.
    int depth = 0;
    const std::string text = doc.Text();
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\') { ++i; continue; }
        if (text[i] == '{') ++depth;
        if (text[i] == '}') {
            EXPECT_GE(--depth, 0);
        }
    }
    EXPECT_EQ(depth, 0);
}

TEST(RtfDocument, TextOutsideAsciiGoesAsUnicodeEscapes) {
    RtfDocument doc;
    doc.TypeText(u"Gr\u00FC\u00DFe \u20AC5 \uFFFD \U0001F600");
    EXPECT_EQ(Body(doc), "Gr\\u252?\\u223?e \\u8364?5 \\u-3? \\u-10179?\\u-8704?");
    EXPECT_NE(doc.Text().find("\\uc1"), std::string::npos);
}

}  // namespace
}  // namespace pinora
