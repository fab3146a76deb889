// The few C-runtime file calls File needs, one implementation per platform
// (FileIo_posix.cpp, FileIo_win.cpp). Descriptors are plain ints; every call
// returns -1 on failure.
#pragma once

namespace tabulo {

enum class OsAccess { ReadWrite, ReadOnly };
enum class OsSeekFrom { Begin, Current, End };

// Opens an existing file in binary mode, without sharing restrictions.
int OsOpen(const char* path, OsAccess access) noexcept;
// Creates or truncates a file, readable and writable.
int OsCreate(const char* path) noexcept;
int OsClose(int fd) noexcept;
long OsSeek(int fd, long offset, OsSeekFrom from) noexcept;
// One read or write call; the byte count moved, 0 at the end of the file.
int OsRead(int fd, void* buf, int len) noexcept;
int OsWrite(int fd, const void* buf, int len) noexcept;

}  // namespace tabulo
