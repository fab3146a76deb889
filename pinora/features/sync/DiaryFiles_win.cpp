// The diary folder on Windows: the "A" file calls, as the notes manager uses.
#include <windows.h>

#include "Handles.h"
#include "LegacyText.h"
#include "TableLocalStore.h"

namespace pnsync {
namespace {

std::uint64_t Join(DWORD high, DWORD low) { return (static_cast<std::uint64_t>(high) << 32) | low; }

}  // namespace

bool StatFile(const std::string& path, DiaryFileInfo* info) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    info->size = Join(data.nFileSizeHigh, data.nFileSizeLow);
    info->modified = Join(data.ftLastWriteTime.dwHighDateTime, data.ftLastWriteTime.dwLowDateTime);
    return true;
}

std::vector<DiaryFileInfo> ListDiaryFiles(const std::string& folder) {
    std::vector<DiaryFileInfo> files;
    WIN32_FIND_DATAA found;
    uikit::UniqueFind find(FindFirstFileA((folder + "*.txt").c_str(), &found));
    if (!find) return files;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        DiaryFileInfo info;
        info.name = found.cFileName;
        if (!DiaryDateOfName(info.name)) continue;
        info.size = Join(found.nFileSizeHigh, found.nFileSizeLow);
        info.modified = Join(found.ftLastWriteTime.dwHighDateTime, found.ftLastWriteTime.dwLowDateTime);
        files.push_back(info);
    } while (FindNextFileA(find.get(), &found));
    return files;
}

bool ReadWholeFile(const std::string& path, std::string* text) {
    uikit::UniqueFile file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart > (64 << 20)) return false;
    text->assign(static_cast<size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    return text->empty() ||
           (ReadFile(file.get(), &(*text)[0], static_cast<DWORD>(text->size()), &read, nullptr) && read == text->size());
}

bool ReplaceFileWith(const std::string& path, const std::string& text) {
    const std::string temp = path + ".pinora-sync";
    pinora::FolderAccess& files = pinora::SystemFolderAccess();
    if (files.WriteNew(temp, text) && files.MoveReplacing(temp, path)) return true;
    DeleteFileA(temp.c_str());
    return false;
}

bool RemoveFileAt(const std::string& path) { return DeleteFileA(path.c_str()) != FALSE; }

bool MakeFolder(const std::string& path) {
    if (CreateDirectoryA(path.c_str(), nullptr)) return true;
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace pnsync
