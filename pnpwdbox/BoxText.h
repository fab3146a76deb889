// The box keeps its text in the ANSI code page; other managers' files are
// UTF-8. The way in is exact or refused: a text the code page cannot hold
// gives false, never '?' or a look-alike in its place. Either code page works,
// a legacy one or UTF-8 as the process's own.
#pragma once
#include <windows.h>

#include <string>

namespace pwdbox {

bool BoxTextFromUtf8(const std::string& utf8, std::string& boxText);
bool Utf8FromBoxText(const std::string& boxText, std::string& utf8);
// The same through a code page of the caller's choosing (tests).
bool TextFromUtf8In(UINT codePage, const std::string& utf8, std::string& text);

// UTF-8 as UTF-16 for the controls, each character shown as it is; bytes
// that are no UTF-8 become U+FFFD.
std::wstring WideFromUtf8(const std::string& utf8);

}  // namespace pwdbox
