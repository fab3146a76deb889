// Reads back what Windows itself sees in the files we ship: the version
// information of every program and library, and the application manifest of
// every program, through the version and activation-context APIs.
//   shipped_binaries_tests <program folder> [gtest options]
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "PinoraVersion.h"

namespace {

std::string gFolder;

bool EndsWithIgnoringCase(const std::string& text, const std::string& tail) {
    if (text.size() < tail.size()) return false;
    return std::equal(tail.rbegin(), tail.rend(), text.rbegin(),
                      [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) ==
                                                  std::tolower(static_cast<unsigned char>(b)); });
}

bool IsShippedBinary(const std::string& name) {
    return EndsWithIgnoringCase(name, ".exe") || EndsWithIgnoringCase(name, ".dll") ||
           EndsWithIgnoringCase(name, ".ewf");
}

// Every program and library below the folder, as paths relative to it.
void CollectBinaries(const std::string& folder, const std::string& prefix, std::vector<std::string>& out) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\" + prefix + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        std::string name = found.cFileName;
        if (name == "." || name == "..") continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            CollectBinaries(folder, prefix + name + "\\", out);
        else if (IsShippedBinary(name))
            out.push_back(prefix + name);
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

std::vector<std::string> ShippedBinaries() {
    std::vector<std::string> files;
    CollectBinaries(gFolder, "", files);
    std::sort(files.begin(), files.end());
    return files;
}

std::string BaseName(const std::string& relative) {
    size_t slash = relative.find_last_of('\\');
    return slash == std::string::npos ? relative : relative.substr(slash + 1);
}

class VersionInfo {
public:
    explicit VersionInfo(const std::string& path) {
        DWORD ignored = 0;
        DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
        if (size == 0) return;
        data_.resize(size);
        if (!GetFileVersionInfoA(path.c_str(), 0, size, data_.data())) data_.clear();
    }
    bool present() const { return !data_.empty(); }
    const VS_FIXEDFILEINFO* fixed() const {
        void* block = nullptr;
        UINT length = 0;
        if (!present() || !VerQueryValueA(data_.data(), "\\", &block, &length) || length < sizeof(VS_FIXEDFILEINFO))
            return nullptr;
        return static_cast<const VS_FIXEDFILEINFO*>(block);
    }
    // A string of the US English, Unicode block; "<missing>" when there is none.
    std::string text(const char* name) const {
        void* block = nullptr;
        UINT length = 0;
        std::string key = std::string("\\StringFileInfo\\040904B0\\") + name;
        if (!present() || !VerQueryValueA(data_.data(), key.c_str(), &block, &length)) return "<missing>";
        return std::string(static_cast<const char*>(block), length ? length - 1 : 0).c_str();
    }

private:
    std::vector<char> data_;
};

constexpr DWORD kVersionMS = (PINORA_VERSION_MAJOR << 16) | PINORA_VERSION_MINOR;
constexpr DWORD kVersionLS = (PINORA_VERSION_PATCH << 16) | 0;

TEST(ShippedBinaries, TheFolderHoldsTheDeliverables) {
    std::vector<std::string> files = ShippedBinaries();
    for (const char* expected : {"Pinora.exe", "VekFlash.exe", "Tabulo.dll", "DoRoRaz.dll"})
        EXPECT_NE(std::find(files.begin(), files.end(), expected), files.end()) << expected << " in " << gFolder;
}

TEST(ShippedBinaries, EveryOneCarriesTheOneVersion) {
    std::vector<std::string> files = ShippedBinaries();
    ASSERT_FALSE(files.empty());
    for (const std::string& relative : files) {
        SCOPED_TRACE(relative);
        VersionInfo info(gFolder + "\\" + relative);
        ASSERT_TRUE(info.present()) << "no VERSIONINFO";
        const VS_FIXEDFILEINFO* fixed = info.fixed();
        ASSERT_NE(fixed, nullptr);
        EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
        EXPECT_EQ(fixed->dwFileVersionMS, kVersionMS);
        EXPECT_EQ(fixed->dwFileVersionLS, kVersionLS);
        EXPECT_EQ(fixed->dwProductVersionMS, kVersionMS);
        EXPECT_EQ(fixed->dwProductVersionLS, kVersionLS);
        EXPECT_EQ(fixed->dwFileFlags & fixed->dwFileFlagsMask & VS_FF_DEBUG, 0u);
        const bool program = EndsWithIgnoringCase(relative, ".exe");
        EXPECT_EQ(fixed->dwFileType, program ? static_cast<DWORD>(VFT_APP) : static_cast<DWORD>(VFT_DLL));

        EXPECT_EQ(info.text("ProductName"), "Pinora");
        EXPECT_EQ(info.text("FileVersion"), PINORA_VERSION_TEXT);
        EXPECT_EQ(info.text("ProductVersion"), PINORA_VERSION_TEXT);
        EXPECT_EQ(info.text("OriginalFilename"), BaseName(relative));
        const std::string description = info.text("FileDescription");
        EXPECT_EQ(description.rfind("Pinora ", 0), 0u) << description;
        EXPECT_EQ(info.text("CompanyName"), "<missing>");
    }
}

// The manifest as the loader reads it: an activation context made from the
// program's resource 1.
class ManifestContext {
public:
    explicit ManifestContext(const std::string& path) {
        ACTCTXA request = {};
        request.cbSize = sizeof request;
        request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
        request.lpSource = path.c_str();
        request.lpResourceName = MAKEINTRESOURCEA(1);
        context_ = CreateActCtxA(&request);
    }
    ~ManifestContext() {
        if (context_ != INVALID_HANDLE_VALUE) ReleaseActCtx(context_);
    }
    ManifestContext(const ManifestContext&) = delete;
    ManifestContext& operator=(const ManifestContext&) = delete;
    bool valid() const { return context_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return context_; }

private:
    HANDLE context_ = INVALID_HANDLE_VALUE;
};

std::string ManifestText(const std::string& path) {
    HMODULE module = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (!module) return {};
    std::string text;
    if (HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24))) {
        if (HGLOBAL loaded = LoadResource(module, found))
            text.assign(static_cast<const char*>(LockResource(loaded)), SizeofResource(module, found));
    }
    FreeLibrary(module);
    return text;
}

// The text with runs of white space made single spaces, so attributes are found
// however the manifest is laid out.
std::string Squeezed(const std::string& text) {
    std::string out;
    for (char c : text) {
        bool space = std::isspace(static_cast<unsigned char>(c)) != 0;
        if (space && (out.empty() || out.back() == ' ')) continue;
        out += space ? ' ' : c;
    }
    return out;
}

std::string Setting(HANDLE context, const wchar_t* ns, const wchar_t* name) {
    wchar_t value[64] = {};
    SIZE_T written = 0;
    if (!QueryActCtxSettingsW(0, context, ns, name, value, 64, &written)) return "<missing>";
    std::string narrow;
    for (const wchar_t* p = value; *p; ++p) narrow += static_cast<char>(std::tolower(static_cast<char>(*p)));
    return narrow;
}

TEST(ShippedBinaries, EveryProgramCarriesTheApplicationManifest) {
    int programs = 0;
    for (const std::string& relative : ShippedBinaries()) {
        if (!EndsWithIgnoringCase(relative, ".exe")) continue;
        ++programs;
        SCOPED_TRACE(relative);
        const std::string path = gFolder + "\\" + relative;
        ManifestContext context(path);
        ASSERT_TRUE(context.valid()) << "the loader cannot use the manifest (error " << GetLastError() << ")";

        // What the manifest asks for, as the loader understood it.
        ACTIVATION_CONTEXT_RUN_LEVEL_INFORMATION runLevel = {};
        ASSERT_TRUE(QueryActCtxW(0, context.get(), nullptr, RunlevelInformationInActivationContext, &runLevel,
                                 sizeof runLevel, nullptr));
        EXPECT_EQ(runLevel.RunLevel, ACTCTX_RUN_LEVEL_AS_INVOKER);
        EXPECT_FALSE(runLevel.UiAccess);
        EXPECT_EQ(Setting(context.get(), L"http://schemas.microsoft.com/SMI/2005/WindowsSettings", L"dpiAware"),
                  "true");
        // Text is UTF-8: the "A" calls take and give it (Windows 10 version 1903 and later).
        EXPECT_EQ(Setting(context.get(), L"http://schemas.microsoft.com/SMI/2019/WindowsSettings", L"activeCodePage"),
                  "utf-8");

        // The common controls and the Windows versions, from the text itself.
        const std::string text = Squeezed(ManifestText(path));
        ASSERT_FALSE(text.empty());
        EXPECT_NE(text.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""), std::string::npos);
        for (const char* os : {"{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",   // Windows 7
                               "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",   // Windows 8
                               "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",   // Windows 8.1
                               "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"})  // Windows 10 and 11
            EXPECT_NE(text.find(std::string("<supportedOS Id=\"") + os + "\"/>"), std::string::npos) << os;
    }
    EXPECT_GE(programs, 2);
}

}  // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: shipped_binaries_tests <program folder>\n");
        return 2;
    }
    gFolder = argv[1];
    return RUN_ALL_TESTS();
}
