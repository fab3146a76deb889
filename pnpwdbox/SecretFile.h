// Files that hold passwords in plain text, the other managers' files the box
// imports and exports: read whole within a bound, and written so that only
// the current Windows user can open them.
#pragma once
#include <windows.h>

#include <string>

namespace pwdbox {

enum class FileRead { Read, TooLarge, Failed };
FileRead ReadWholeFile(const std::string& path, size_t maxBytes, std::string& bytes);

// Writes the bytes to `path` under a DACL that grants the current user alone
// (the token's user, nothing inherited from the folder): a file made so beside
// it, flushed, then moved over `path`, so a file that was there is replaced
// whole, its security with it, or not at all. False on any failure, and
// nothing is left beside.
bool WriteFileForUserOnly(const std::string& path, const std::string& bytes);

// The current user's SID (from the process token), as a copy; empty on failure.
std::string CurrentUserSid();

}  // namespace pwdbox
