// Any bytes as a CSV export of a password manager: read within bounds, and
// what was read, written in KeePassXC's layout, reads back the same.
#include <cstdint>
#include <string_view>

#include "InteropChecks.h"
#include "PasswordCsv.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace pninterop;
    const ReadResult r = ReadPasswordCsv(std::string_view(reinterpret_cast<const char*>(data), size));
    fuzz::CheckRead(r);
    if (!r.ok()) return 0;

    std::vector<size_t> skipped;
    const ReadResult back = ReadPasswordCsv(WriteKeePassXcCsv(r.entries, "R", &skipped));
    fuzz::Require(skipped.empty() && back.ok() && back.entries.size() == r.entries.size());
    for (size_t i = 0; i < r.entries.size(); ++i) {
        const Entry& a = r.entries[i];
        const Entry& b = back.entries[i];
        fuzz::Require(a.group == b.group && a.title == b.title && a.user == b.user && a.password == b.password &&
                      a.url == b.url && a.notes == b.notes && a.recycled == b.recycled);
    }
    return 0;
}
