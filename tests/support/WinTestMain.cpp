// Process set-up for the in-process Windows tests: OLE for the drop target, and a
// message box that answers at once instead of waiting for a click.
#include <windows.h>
#include <ole2.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "MessageBox.h"
#include "ResourceLibrary.h"
#include "Settings.h"
#include "WinTestSupport.h"

namespace pinora::test {

int g_messageBoxCount = 0;
std::string g_lastMessageBoxText;

namespace {

int AnswerAtOnce(HWND, const char* text, const char*, UINT type) {
    ++g_messageBoxCount;
    g_lastMessageBoxText = text;
    UINT buttons = type & MB_TYPEMASK;
    return (buttons == MB_YESNO || buttons == MB_YESNOCANCEL) ? IDYES : IDOK;
}

class WinEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        OleInitialize(nullptr);
        uikit::SetMessageBoxHandler(AnswerAtOnce);
    }
    void TearDown() override {
        FreeResLib();
        OleUninitialize();
    }
};

const auto* const g_env = ::testing::AddGlobalTestEnvironment(new WinEnvironment);

}  // namespace

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

ProgramFolderFixture::ProgramFolderFixture() : folder_(MakeTempFolder("pinora-p")) {
    CopyFileA(PINORA_DIST_DIR "/DoRoRaz.dll", (folder_ + "DoRoRaz.dll").c_str(), FALSE);
    FreeResLib();
    SetProgramFolder(folder_);
}

ProgramFolderFixture::~ProgramFolderFixture() {
    FreeResLib();
    SetProgramFolder("");
    RemoveFolder(folder_);
}

}  // namespace pinora::test
