// The staged Tabulo.dll exports its library identity under plain names and
// the table classes, and keeps the internal date seam to itself.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <string>

namespace {

// ctest hands over the program folder as a Unix path; Wine maps / to Z:.
std::string DistFolder() {
    const char* dist = std::getenv("PINORA_TEST_DIST");
    std::string path = dist ? dist : "";
    if (!path.empty() && path[0] == '/') path = "Z:" + path;
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

class LoadedLibrary {
public:
    explicit LoadedLibrary(const std::string& path) : m_module(LoadLibraryA(path.c_str())) {}
    ~LoadedLibrary() {
        if (m_module) FreeLibrary(m_module);
    }
    LoadedLibrary(const LoadedLibrary&) = delete;
    LoadedLibrary& operator=(const LoadedLibrary&) = delete;
    HMODULE get() const { return m_module; }
    FARPROC Find(const char* name) const { return GetProcAddress(m_module, name); }

private:
    HMODULE m_module;
};

TEST(TabuloDll, ExportsIdentityAndTableClasses) {
    const std::string path = DistFolder() + "\\Tabulo.dll";
    LoadedLibrary dll(path);
    ASSERT_NE(nullptr, dll.get()) << path << " error " << GetLastError();

    using Function = int (*)();
    const auto fnTabulo = reinterpret_cast<Function>(reinterpret_cast<void*>(dll.Find("fnTabulo")));
    ASSERT_NE(nullptr, fnTabulo);
    EXPECT_EQ(42, fnTabulo());

    const auto nTabulo = reinterpret_cast<int*>(reinterpret_cast<void*>(dll.Find("nTabulo")));
    ASSERT_NE(nullptr, nTabulo);
    EXPECT_EQ(0, *nTabulo);

    // Class members are exported under their C++ names.
    EXPECT_NE(nullptr, dll.Find("_ZN7FileDBFC1Ev"));            // FileDBF::FileDBF()
    EXPECT_NE(nullptr, dll.Find("_ZN7FileDBF4OpenEPKc"));       // FileDBF::Open(const char*)
    EXPECT_NE(nullptr, dll.Find("_ZN7FileDBF12AppendRecordEv"));
    EXPECT_NE(nullptr, dll.Find("_ZNK4File6IsOpenEv"));         // File::IsOpen() const
    EXPECT_NE(nullptr, dll.Find("_ZN7CTabuloC1Ev"));
    // The test date seam stays internal.
    EXPECT_EQ(nullptr, dll.Find("_ZN6tabulo16SetTodayFunctionEPFNS_12CalendarDateEvE"));
}

}  // namespace
