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

IniLines ReadIniInOrder(const std::string& path) {
    IniLines lines;
    std::istringstream in(ReadFileBytes(path));
    std::string line, section;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        if (line.front() == '[') {
            section = line.substr(1, line.find(']') - 1);
            continue;
        }
        const auto eq = line.find('=');
        lines.emplace_back(section + "/" + line.substr(0, eq), eq == std::string::npos ? "" : line.substr(eq + 1));
    }
    return lines;
}

void WriteBitmapFile(const std::string& path, int width, int height, COLORREF colour) {
    const int stride = (width * 3 + 3) & ~3;
    const int imageSize = stride * height;
    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER info = {};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + static_cast<DWORD>(imageSize);
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biSizeImage = static_cast<DWORD>(imageSize);
    std::string bytes(reinterpret_cast<const char*>(&file), sizeof file);
    bytes.append(reinterpret_cast<const char*>(&info), sizeof info);
    std::string row(static_cast<size_t>(stride), '\0');
    for (int x = 0; x < width; ++x) {
        row[static_cast<size_t>(x) * 3] = static_cast<char>(GetBValue(colour));
        row[static_cast<size_t>(x) * 3 + 1] = static_cast<char>(GetGValue(colour));
        row[static_cast<size_t>(x) * 3 + 2] = static_cast<char>(GetRValue(colour));
    }
    for (int y = 0; y < height; ++y) bytes += row;
    WriteFileBytes(path, bytes);
}

}  // namespace pinora::test
