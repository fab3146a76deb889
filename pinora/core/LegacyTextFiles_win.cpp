// The conversion's file operations on Windows: written through and flushed,
// and moved into place with MoveFileEx, which replaces the old file in one step.
#include <windows.h>

#include "Handles.h"
#include "LegacyText.h"

namespace pinora {
namespace {

class WindowsFolderAccess : public FolderAccess {
public:
    bool Exists(const std::string& path) const override {
        return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
    }

    bool Read(const std::string& path, std::string& bytes) const override {
        uikit::UniqueFile file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        LARGE_INTEGER size = {};
        if (!file || !GetFileSizeEx(file.get(), &size) || size.QuadPart > 0x7FFFFFFF) return false;
        bytes.resize(static_cast<size_t>(size.QuadPart));
        DWORD got = 0;
        if (!bytes.empty() && !ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr))
            return false;
        bytes.resize(got);
        return true;
    }

    bool WriteNew(const std::string& path, const std::string& bytes) override {
        uikit::UniqueFile file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                           FILE_ATTRIBUTE_NORMAL | FILE_FLAG_WRITE_THROUGH, nullptr));
        if (!file) return false;
        DWORD written = 0;
        if (!bytes.empty() &&
            (!WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
             written != bytes.size()))
            return false;
        return FlushFileBuffers(file.get()) != FALSE;
    }

    bool MoveReplacing(const std::string& from, const std::string& to) override {
        return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
    }

    std::vector<std::string> FilesEnding(const std::string& folder, const std::string& suffix) const override {
        std::vector<std::string> names;
        WIN32_FIND_DATAA found = {};
        uikit::UniqueFind find(FindFirstFileA((folder + "*" + suffix).c_str(), &found));
        if (!find) return names;
        do {
            const std::string name = found.cFileName;
            // The pattern also matches the short 8.3 names of longer endings ("*.txt" finds "a.txta").
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 && name.size() >= suffix.size() &&
                lstrcmpiA(name.c_str() + name.size() - suffix.size(), suffix.c_str()) == 0)
                names.push_back(name);
        } while (FindNextFileA(find.get(), &found));
        return names;
    }
};

}  // namespace

FolderAccess& SystemFolderAccess() {
    static WindowsFolderAccess access;
    return access;
}

}  // namespace pinora
