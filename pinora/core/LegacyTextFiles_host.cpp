// The host build's file operations for the conversion: POSIX calls, so the
// conversion and its interruptions are tested on real files.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>

#include "LegacyText.h"

namespace pinora {
namespace {

bool EndsWithAscii(const std::string& name, const std::string& suffix) {
    if (name.size() < suffix.size()) return false;
    for (size_t i = 0; i < suffix.size(); ++i) {
        const unsigned char a = static_cast<unsigned char>(name[name.size() - suffix.size() + i]);
        if (std::tolower(a) != std::tolower(static_cast<unsigned char>(suffix[i]))) return false;
    }
    return true;
}

class PosixFolderAccess : public FolderAccess {
public:
    bool Exists(const std::string& path) const override {
        struct stat st = {};
        return stat(path.c_str(), &st) == 0;
    }

    bool Read(const std::string& path, std::string& bytes) const override {
        std::FILE* f = std::fopen(path.c_str(), "rb");
        if (!f) return false;
        bytes.clear();
        char buf[64 * 1024];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) bytes.append(buf, n);
        const bool ok = !std::ferror(f);
        std::fclose(f);
        return ok;
    }

    bool WriteNew(const std::string& path, const std::string& bytes) override {
        const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd < 0) return false;
        size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
            if (n <= 0) break;
            done += static_cast<size_t>(n);
        }
        const bool ok = done == bytes.size() && fsync(fd) == 0;
        return close(fd) == 0 && ok;
    }

    bool MoveReplacing(const std::string& from, const std::string& to) override {
        return std::rename(from.c_str(), to.c_str()) == 0;
    }

    std::vector<std::string> FilesEnding(const std::string& folder, const std::string& suffix) const override {
        std::vector<std::string> names;
        DIR* dir = opendir(folder.c_str());
        if (!dir) return names;
        while (const dirent* entry = readdir(dir)) {
            const std::string name = entry->d_name;
            struct stat st = {};
            if (EndsWithAscii(name, suffix) && stat((folder + name).c_str(), &st) == 0 && S_ISREG(st.st_mode))
                names.push_back(name);
        }
        closedir(dir);
        return names;
    }
};

}  // namespace

FolderAccess& SystemFolderAccess() {
    static PosixFolderAccess access;
    return access;
}

}  // namespace pinora
