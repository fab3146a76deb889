#include "Tabulo.h"

#include <cstring>

#include "FileIo.h"

using tabulo::OsAccess;
using tabulo::OsSeekFrom;

File::File() noexcept : m_path{}, m_fileName{}, m_fd(-1), m_isOpen(0), m_ownsDescriptor(0) {}

File::~File() { Close(); }

// A copy borrows the descriptor: closing it twice would close whatever file
// the operating system handed that number to in between.
File::File(const File& other) noexcept : File() { *this = other; }

File& File::operator=(const File& other) noexcept {
    if (this == &other) return *this;
    Close();
    std::memcpy(m_path, other.m_path, sizeof m_path);
    std::memcpy(m_fileName, other.m_fileName, sizeof m_fileName);
    m_fd = other.m_fd;
    m_isOpen = other.m_isOpen;
    m_ownsDescriptor = 0;
    return *this;
}

int File::CheckFileName(const char* name) noexcept {
    if (name == nullptr || name[0] == '\0') return -1;
    for (int i = 1; i <= kMaxPath; ++i) {
        if (name[i] == '\0') return 0;
    }
    return -1;
}

int File::Creat(const char* name) noexcept {
    if (m_isOpen || CheckFileName(name) != 0) return -1;
    const int fd = tabulo::OsCreate(name);
    if (fd < 0) return -1;
    if (tabulo::OsClose(fd) != 0) return -1;
    return Open(name);
}

int File::Open(const char* name) noexcept {
    if (m_isOpen || CheckFileName(name) != 0) return -1;
    return OpenAccess(name, static_cast<int>(OsAccess::ReadWrite));
}

int File::OpenReadOnly(const char* name) noexcept {
    if (m_isOpen || CheckFileName(name) != 0) return -1;
    return OpenAccess(name, static_cast<int>(OsAccess::ReadOnly));
}

int File::OpenAccess(const char* name, int mode) noexcept {
    const int fd = tabulo::OsOpen(name, static_cast<OsAccess>(mode));
    if (fd < 0) return -1;
    m_fd = fd;
    m_isOpen = 1;
    m_ownsDescriptor = 1;
    std::strcpy(m_path, name);  // length checked by CheckFileName
    MakeFileName();
    return 0;
}

void File::MakeFileName() noexcept {
    const char* base = m_path;
    for (const char* p = m_path; *p != '\0'; ++p) {
        if (*p == '/' || *p == '\\') base = p + 1;
    }
    std::memmove(m_fileName, base, std::strlen(base) + 1);
}

int File::IsOpen() const noexcept { return m_isOpen ? 1 : 0; }

int File::Close() noexcept {
    if (!m_isOpen) return 0;
    if (m_ownsDescriptor && tabulo::OsClose(m_fd) != 0) return -1;
    m_fd = -1;
    m_isOpen = 0;
    m_ownsDescriptor = 0;
    return 0;
}

int File::ReadAvailable(char* buf, int len) noexcept {
    if (!m_isOpen || buf == nullptr || len < 0) return -1;
    int total = 0;
    while (total < len) {
        const int n = tabulo::OsRead(m_fd, buf + total, len - total);
        if (n < 0) return -1;
        if (n == 0) break;
        total += n;
    }
    return total;
}

int File::Read(char* buf, int len) noexcept {
    return ReadAvailable(buf, len) == len ? 0 : -1;
}

int File::Write(const char* buf, int len) noexcept {
    if (!m_isOpen || buf == nullptr || len < 0) return -1;
    int total = 0;
    while (total < len) {
        const int n = tabulo::OsWrite(m_fd, buf + total, len - total);
        if (n <= 0) return -1;
        total += n;
    }
    return 0;
}

int File::LseekBegin() noexcept { return LseekPosition(0); }

int File::LseekEnd() noexcept {
    if (!m_isOpen) return -1;
    return tabulo::OsSeek(m_fd, 0, OsSeekFrom::End) < 0 ? -1 : 0;
}

int File::LseekPosition(long pos) noexcept {
    if (!m_isOpen || pos < 0) return -1;
    return tabulo::OsSeek(m_fd, pos, OsSeekFrom::Begin) == pos ? 0 : -1;
}

long File::GetPosition() noexcept {
    if (!m_isOpen) return -1;
    return tabulo::OsSeek(m_fd, 0, OsSeekFrom::Current);
}

const char* File::GetName() const noexcept { return m_isOpen ? m_path : nullptr; }

const char* File::GetFileName() const noexcept { return m_isOpen ? m_fileName : nullptr; }

long File::GetSize() noexcept {
    const long here = GetPosition();
    if (here < 0 || LseekEnd() != 0) return -1;
    const long size = GetPosition();
    if (LseekPosition(here) != 0) return -1;
    return size;
}

int File::IsEOF() noexcept {
    const long here = GetPosition();
    if (here < 0) return -1;
    const long size = GetSize();
    if (size < 0) return -1;
    return here == size ? 1 : 0;
}

int File::IsExist(const char* name) noexcept {
    if (CheckFileName(name) != 0) return 0;
    const int fd = tabulo::OsOpen(name, OsAccess::ReadOnly);
    if (fd < 0) return 0;
    tabulo::OsClose(fd);
    return 1;
}
