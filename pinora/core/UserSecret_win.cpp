#include "UserSecret.h"

#include <windows.h>
#include <wincrypt.h>

#include <cstring>

namespace pinora {
namespace {

constexpr const char* kPrefix = "dpapi1:";

// Frees what CryptProtectData / CryptUnprotectData hand out.
struct LocalBlob {
    DATA_BLOB blob = {};
    ~LocalBlob() {
        if (blob.pbData) {
            SecureZeroMemory(blob.pbData, blob.cbData);
            LocalFree(blob.pbData);
        }
    }
};

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

}  // namespace

bool IsProtectedForUser(const std::string& text) { return text.compare(0, std::strlen(kPrefix), kPrefix) == 0; }

bool ProtectForUser(const std::string& plain, std::string& protectedText) {
    DATA_BLOB in = {static_cast<DWORD>(plain.size()), reinterpret_cast<BYTE*>(const_cast<char*>(plain.data()))};
    LocalBlob out;
    if (!CryptProtectData(&in, L"Pinora", nullptr, nullptr, nullptr, CRYPTPROTECT_UI_FORBIDDEN, &out.blob))
        return false;
    static const char* kHex = "0123456789ABCDEF";
    std::string text = kPrefix;
    for (DWORD i = 0; i < out.blob.cbData; ++i) {
        text += kHex[out.blob.pbData[i] >> 4];
        text += kHex[out.blob.pbData[i] & 15];
    }
    protectedText = text;
    return true;
}

bool UnprotectForUser(const std::string& protectedText, std::string& plain) {
    if (!IsProtectedForUser(protectedText)) return false;
    const std::string hex = protectedText.substr(std::strlen(kPrefix));
    if (hex.empty() || hex.size() % 2) return false;
    std::string bytes;
    for (size_t i = 0; i < hex.size(); i += 2) {
        const int hi = HexValue(hex[i]), lo = HexValue(hex[i + 1]);
        if (hi < 0 || lo < 0) return false;
        bytes += static_cast<char>(hi * 16 + lo);
    }
    DATA_BLOB in = {static_cast<DWORD>(bytes.size()), reinterpret_cast<BYTE*>(&bytes[0])};
    LocalBlob out;
    if (!CryptUnprotectData(&in, nullptr, nullptr, nullptr, nullptr, CRYPTPROTECT_UI_FORBIDDEN, &out.blob))
        return false;
    plain.assign(reinterpret_cast<const char*>(out.blob.pbData), out.blob.cbData);
    return true;
}

}  // namespace pinora
