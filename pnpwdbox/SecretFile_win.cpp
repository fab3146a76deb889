#include "SecretFile.h"

#include <algorithm>
#include <vector>

#include "Handles.h"
#include "SecretMemory.h"

namespace pwdbox {
namespace {

// A security descriptor whose DACL allows the given SID everything and no one
// else anything; protected, so the folder's inheritable entries are not added.
class UserOnlySecurity {
public:
    explicit UserOnlySecurity(const std::string& sid) : sid_(sid) {}

    bool Build() {
        if (sid_.empty()) return false;
        PSID user = const_cast<char*>(sid_.data());
        const DWORD size = DWORD(sizeof(ACL) + sizeof(ACCESS_ALLOWED_ACE) - sizeof(DWORD) + GetLengthSid(user));
        acl_.assign(size, 0);
        auto* acl = reinterpret_cast<PACL>(acl_.data());
        return InitializeAcl(acl, size, ACL_REVISION) && AddAccessAllowedAce(acl, ACL_REVISION, FILE_ALL_ACCESS, user) &&
               InitializeSecurityDescriptor(&descriptor_, SECURITY_DESCRIPTOR_REVISION) &&
               SetSecurityDescriptorDacl(&descriptor_, TRUE, acl, FALSE) &&
               SetSecurityDescriptorControl(&descriptor_, SE_DACL_PROTECTED, SE_DACL_PROTECTED);
    }

    SECURITY_ATTRIBUTES* Attributes() {
        attributes_ = {sizeof attributes_, &descriptor_, FALSE};
        return &attributes_;
    }

private:
    std::string sid_;
    std::vector<unsigned char> acl_;
    SECURITY_DESCRIPTOR descriptor_ = {};
    SECURITY_ATTRIBUTES attributes_ = {};
};

bool WriteAll(HANDLE file, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const DWORD chunk = DWORD(std::min<size_t>(bytes.size() - done, 1u << 20));
        DWORD written = 0;
        if (!WriteFile(file, bytes.data() + done, chunk, &written, nullptr) || written == 0) return false;
        done += written;
    }
    return FlushFileBuffers(file) != FALSE;
}

}  // namespace

FileRead ReadWholeFile(const std::string& path, size_t maxBytes, std::string& bytes) {
    bytes.clear();
    uikit::UniqueFile file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size = {};
    if (!file || !GetFileSizeEx(file.get(), &size) || size.QuadPart < 0) return FileRead::Failed;
    if (static_cast<unsigned long long>(size.QuadPart) > maxBytes) return FileRead::TooLarge;
    bytes.resize(size_t(size.QuadPart));
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD got = 0;
        const DWORD chunk = DWORD(std::min<size_t>(bytes.size() - done, 1u << 20));
        if (!ReadFile(file.get(), &bytes[done], chunk, &got, nullptr) || got == 0) {
            pncrypto::Wipe(bytes);
            return FileRead::Failed;
        }
        done += got;
    }
    return FileRead::Read;
}

std::string CurrentUserSid() {
    HANDLE raw = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw)) return std::string();
    uikit::UniqueKernelHandle token(raw);
    DWORD size = 0;
    GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
    if (size == 0) return std::string();
    std::vector<unsigned char> info(size);
    if (!GetTokenInformation(token.get(), TokenUser, info.data(), size, &size)) return std::string();
    PSID sid = reinterpret_cast<TOKEN_USER*>(info.data())->User.Sid;
    if (!IsValidSid(sid)) return std::string();
    return std::string(static_cast<const char*>(sid), GetLengthSid(sid));
}

bool WriteFileForUserOnly(const std::string& path, const std::string& bytes) {
    UserOnlySecurity security(CurrentUserSid());
    if (!security.Build()) return false;
    // Beside the target, so the move is a rename within one folder; a name
    // left by a run that was cut short is not reused.
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string part = path + ".part" + (attempt ? std::to_string(attempt) : std::string());
        uikit::UniqueFile file(CreateFileA(part.c_str(), GENERIC_WRITE, 0, security.Attributes(), CREATE_NEW,
                                           FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) {
            if (GetLastError() == ERROR_FILE_EXISTS) continue;
            return false;
        }
        const bool written = WriteAll(file.get(), bytes);
        file.reset();
        if (written && MoveFileExA(part.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return true;
        DeleteFileA(part.c_str());
        return false;
    }
    return false;
}

}  // namespace pwdbox
