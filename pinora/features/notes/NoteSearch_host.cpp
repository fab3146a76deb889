// The host build's file reading and text rules, standing in for the system's.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

#include "NoteSearch.h"

namespace pinora {
namespace {

// Upper case as code page 1252 has it: ASCII, the accented letters of
// Latin-1 (not the division sign), and the three letters of the 0x80 block.
struct UpperTable {
    unsigned char map[256];
    UpperTable() {
        for (int c = 0; c < 256; ++c) map[c] = static_cast<unsigned char>(c);
        for (int c = 'a'; c <= 'z'; ++c) map[c] = static_cast<unsigned char>(c - 32);
        for (int c = 0xE0; c <= 0xFE; ++c)
            if (c != 0xF7) map[c] = static_cast<unsigned char>(c - 32);
        map[0x9A] = 0x8A;
        map[0x9C] = 0x8C;
        map[0x9E] = 0x8E;
        map[0xFF] = 0x9F;
    }
};

void ToUpper1252(char* text) {
    static const UpperTable table;
    for (auto* p = reinterpret_cast<unsigned char*>(text); *p; ++p) *p = table.map[*p];
}

const char* FindBytes(const char* text, const char* keywords) { return std::strstr(text, keywords); }

}  // namespace

const KeywordFolding& SystemFolding() {
    static const KeywordFolding folding{ToUpper1252, FindBytes};
    return folding;
}

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
