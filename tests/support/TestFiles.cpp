// The file helpers every in-process Windows test may use (WinTestSupport.h).
#include <windows.h>
#include <shellapi.h>

#include <fstream>
#include <sstream>

#include "WinTestSupport.h"

namespace pinora::test {

std::string MakeTempFolder(const char* prefix) {
    char temp[MAX_PATH + 1] = {};
    GetTempPathA(MAX_PATH, temp);
    static int counter = 0;
    for (;;) {
        std::string folder = std::string(temp) + prefix + std::to_string(GetCurrentProcessId()) + "-" +
                             std::to_string(++counter);
        if (CreateDirectoryA(folder.c_str(), nullptr)) return folder + "\\";
    }
}

void RemoveFolder(const std::string& folder) {
    std::string from = folder;
    if (!from.empty() && from.back() == '\\') from.pop_back();
    from.push_back('\0');  // double terminator for SHFileOperation
    SHFILEOPSTRUCTA op = {};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
    SHFileOperationA(&op);
}

bool FileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

}  // namespace pinora::test
