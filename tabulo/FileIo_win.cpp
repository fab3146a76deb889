#include "FileIo.h"

#include <fcntl.h>
#include <io.h>
#include <share.h>
#include <stdio.h>
#include <sys/stat.h>

namespace tabulo {

namespace {
int SeekOrigin(OsSeekFrom from) {
    switch (from) {
    case OsSeekFrom::Begin: return SEEK_SET;
    case OsSeekFrom::Current: return SEEK_CUR;
    case OsSeekFrom::End: return SEEK_END;
    }
    return SEEK_SET;
}
}  // namespace

// Tables are shared between objects and processes, so no opener locks others out.
int OsOpen(const char* path, OsAccess access) noexcept {
    const int flags = access == OsAccess::ReadOnly ? _O_RDONLY : _O_RDWR;
    return ::_sopen(path, flags | _O_BINARY | _O_NOINHERIT, _SH_DENYNO);
}

int OsCreate(const char* path) noexcept {
    return ::_sopen(path, _O_RDWR | _O_CREAT | _O_TRUNC | _O_BINARY | _O_NOINHERIT,
                    _SH_DENYNO, _S_IREAD | _S_IWRITE);
}

int OsClose(int fd) noexcept { return ::_close(fd); }

long OsSeek(int fd, long offset, OsSeekFrom from) noexcept {
    return ::_lseek(fd, offset, SeekOrigin(from));
}

int OsRead(int fd, void* buf, int len) noexcept {
    return ::_read(fd, buf, static_cast<unsigned int>(len));
}

int OsWrite(int fd, const void* buf, int len) noexcept {
    return ::_write(fd, buf, static_cast<unsigned int>(len));
}

}  // namespace tabulo
