#include "UserSecret.h"

#include <windows.h>
#include <wincrypt.h>

#include <vector>

namespace pinora {
namespace {

constexpr char kPrefix[] = "dpapi1:";
constexpr size_t kPrefixLength = sizeof kPrefix - 1;

// The blob Windows hands out, given back and its plain bytes wiped.
class LocalBlob {
public:
    LocalBlob() = default;
    ~LocalBlob() {
        if (blob.pbData) {
            SecureZeroMemory(blob.pbData, blob.cbData);
            LocalFree(blob.pbData);
        }
    }
    LocalBlob(const LocalBlob&) = delete;
    LocalBlob& operator=(const LocalBlob&) = delete;
    DATA_BLOB blob = {0, nullptr};
};

// crypt32 for the one call, freed after: it is needed at start-up only to read
// the remembered password, and under Wine it brings the host's TLS libraries
// (about 2 MB resident) that the idle program would otherwise keep.
class Crypt32 {
public:
    Crypt32() : module_(LoadLibraryExA("crypt32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) {}
    ~Crypt32() {
        if (module_) FreeLibrary(module_);
    }
    Crypt32(const Crypt32&) = delete;
    Crypt32& operator=(const Crypt32&) = delete;

    BOOL Protect(DATA_BLOB* in, DATA_BLOB* out) const {
        using Fn = BOOL(WINAPI*)(DATA_BLOB*, LPCWSTR, DATA_BLOB*, PVOID, CRYPTPROTECT_PROMPTSTRUCT*, DWORD, DATA_BLOB*);
        auto fn = reinterpret_cast<Fn>(Find("CryptProtectData"));
        return fn && fn(in, nullptr, nullptr, nullptr, nullptr, CRYPTPROTECT_UI_FORBIDDEN, out);
    }
    BOOL Unprotect(DATA_BLOB* in, DATA_BLOB* out) const {
        using Fn = BOOL(WINAPI*)(DATA_BLOB*, LPWSTR*, DATA_BLOB*, PVOID, CRYPTPROTECT_PROMPTSTRUCT*, DWORD, DATA_BLOB*);
        auto fn = reinterpret_cast<Fn>(Find("CryptUnprotectData"));
        return fn && fn(in, nullptr, nullptr, nullptr, nullptr, CRYPTPROTECT_UI_FORBIDDEN, out);
    }

private:
    void* Find(const char* name) const {
        return module_ ? reinterpret_cast<void*>(GetProcAddress(module_, name)) : nullptr;
    }
    HMODULE module_;
};

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

}  // namespace

bool IsProtectedForUser(const std::string& text) { return text.compare(0, kPrefixLength, kPrefix) == 0; }

bool ProtectForUser(const std::string& plain, std::string& protectedText) {
    protectedText.clear();
    if (plain.size() > 0xFFFF) return false;
    DATA_BLOB in = {static_cast<DWORD>(plain.size()), reinterpret_cast<BYTE*>(const_cast<char*>(plain.data()))};
    Crypt32 crypt32;
    LocalBlob out;  // given back before crypt32 goes
    if (!crypt32.Protect(&in, &out.blob)) return false;
    static const char digits[] = "0123456789ABCDEF";
    protectedText.reserve(kPrefixLength + 2 * out.blob.cbData);
    protectedText = kPrefix;
    for (DWORD i = 0; i < out.blob.cbData; ++i) {
        protectedText += digits[out.blob.pbData[i] >> 4];
        protectedText += digits[out.blob.pbData[i] & 0x0F];
    }
    return true;
}

bool UnprotectForUser(const std::string& protectedText, std::string& plain) {
    plain.clear();
    if (!IsProtectedForUser(protectedText)) return false;
    const size_t digits = protectedText.size() - kPrefixLength;
    if (digits == 0 || digits % 2 != 0) return false;
    std::vector<BYTE> bytes(digits / 2);
    for (size_t i = 0; i < bytes.size(); ++i) {
        const int high = HexValue(protectedText[kPrefixLength + 2 * i]);
        const int low = HexValue(protectedText[kPrefixLength + 2 * i + 1]);
        if (high < 0 || low < 0) return false;
        bytes[i] = static_cast<BYTE>(high << 4 | low);
    }
    DATA_BLOB in = {static_cast<DWORD>(bytes.size()), bytes.data()};
    Crypt32 crypt32;
    LocalBlob out;
    if (!crypt32.Unprotect(&in, &out.blob)) return false;
    plain.assign(reinterpret_cast<const char*>(out.blob.pbData), out.blob.cbData);
    return true;
}

}  // namespace pinora
