#include "FileIo.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tabulo {

namespace {
int SeekWhence(OsSeekFrom from) {
    switch (from) {
    case OsSeekFrom::Begin: return SEEK_SET;
    case OsSeekFrom::Current: return SEEK_CUR;
    case OsSeekFrom::End: return SEEK_END;
    }
    return SEEK_SET;
}
}  // namespace

int OsOpen(const char* path, OsAccess access) noexcept {
    const int flags = access == OsAccess::ReadOnly ? O_RDONLY : O_RDWR;
    return ::open(path, flags | O_CLOEXEC);
}

int OsCreate(const char* path) noexcept {
    return ::open(path, O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
}

int OsClose(int fd) noexcept { return ::close(fd); }

long OsSeek(int fd, long offset, OsSeekFrom from) noexcept {
    const off_t pos = ::lseek(fd, static_cast<off_t>(offset), SeekWhence(from));
    return static_cast<long>(pos);
}

int OsRead(int fd, void* buf, int len) noexcept {
    ssize_t n;
    do {
        n = ::read(fd, buf, static_cast<size_t>(len));
    } while (n < 0 && errno == EINTR);
    return static_cast<int>(n);
}

int OsWrite(int fd, const void* buf, int len) noexcept {
    ssize_t n;
    do {
        n = ::write(fd, buf, static_cast<size_t>(len));
    } while (n < 0 && errno == EINTR);
    return static_cast<int>(n);
}

}  // namespace tabulo
