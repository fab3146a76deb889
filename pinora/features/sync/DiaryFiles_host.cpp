// The diary folder on the host (tests and tools): POSIX calls.
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "TableLocalStore.h"

namespace pnsync {

bool StatFile(const std::string& path, DiaryFileInfo* info) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    info->size = static_cast<std::uint64_t>(st.st_size);
    info->modified = static_cast<std::uint64_t>(st.st_mtim.tv_sec) * 1000000000ull +
                     static_cast<std::uint64_t>(st.st_mtim.tv_nsec);
    return true;
}

std::vector<DiaryFileInfo> ListDiaryFiles(const std::string& folder) {
    std::vector<DiaryFileInfo> files;
    DIR* dir = opendir(folder.c_str());
    if (!dir) return files;
    while (dirent* entry = readdir(dir)) {
        DiaryFileInfo info;
        info.name = entry->d_name;
        if (DiaryDateOfName(info.name) && StatFile(folder + info.name, &info)) files.push_back(info);
    }
    closedir(dir);
    return files;
}

bool ReadWholeFile(const std::string& path, std::string* text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream s;
    s << in.rdbuf();
    *text = s.str();
    return true;
}

bool ReplaceFileWith(const std::string& path, const std::string& text) {
    const std::string temp = path + ".pinora-sync";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out || !out.write(text.data(), static_cast<std::streamsize>(text.size()))) return false;
    }
    return std::rename(temp.c_str(), path.c_str()) == 0;
}

bool RemoveFileAt(const std::string& path) { return unlink(path.c_str()) == 0; }

bool MakeFolder(const std::string& path) {
    struct stat st;
    return mkdir(path.c_str(), 0777) == 0 || (stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode));
}

}  // namespace pnsync
