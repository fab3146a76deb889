// Any bytes as the users table: the login list, every listed user's login (a
// stored hash's parameters are checked against limits before it is computed),
// and a user added to it (who must then log in).
#include "LoginHash.h"
#include "Scratch.h"
#include "Users.h"

namespace {
// Small costs and limits, so a run stays fast: what matters here is that a
// stored hash is never computed beyond the limits, whatever its text says.
const pinora::LoginHashPolicy kFuzzHashes = {{8, 1, 1}, 64, 256, 2};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    pinora::SetLoginHashPolicy(&kFuzzHashes);
    const std::string path = fuzz::WriteScratch("user.dat", data, size);
    const std::vector<std::string> names = pinora::userNamesIn(path);
    for (const std::string& name : names) {
        fuzz::Require(pinora::IsSafeUserName(name.c_str()));
        fuzz::Require(pinora::userExistsIn(path, name.c_str()) == 1);
        pinora::checkLoginIn(path, name.c_str(), "");
        pinora::checkLoginIn(path, name.c_str(), "secret");
    }
    pinora::checkLoginIn(path, "..", "");
    if (pinora::addUserTo(path, "fuzz", "pw") == 1) {
        fuzz::Require(pinora::checkLoginIn(path, "FUZZ", "pw") == 1);
        fuzz::Require(pinora::userNamesIn(path).size() == names.size() + 1);
    }
    return 0;
}
