// The host build's file reading, standing in for the system's.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "NoteSearch.h"

namespace pinora {

bool ReadNoteFile(const char* path, std::string& bytes) {
    const int fd = open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st = {};
    bool ok = fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    if (ok) {
        bytes.resize(static_cast<size_t>(st.st_size));
        size_t got = 0;
        while (got < bytes.size()) {
            const ssize_t n = read(fd, bytes.data() + got, bytes.size() - got);
            if (n < 0) ok = false;
            if (n <= 0) break;
            got += static_cast<size_t>(n);
        }
        bytes.resize(got);
    }
    close(fd);
    return ok;
}

}  // namespace pinora
