// Any bytes as KeePass 2 XML: read within bounds (no entity is expanded, the
// nesting is bounded), and what was read, written again, reads back the same
// entries (in the writer's tree order).
#include <cstdint>
#include <string_view>
#include <tuple>

#include "InteropChecks.h"
#include "KeePassXml.h"

namespace {

long long Utc(long long) { return 0; }

using Fields = std::tuple<std::string, std::string, std::string, std::string, std::string, std::string, std::string>;

Fields FieldsOf(const pninterop::Entry& e) {
    return {e.group, e.title, e.user, e.password, e.url, e.notes, e.endDay};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace pninterop;
    const ReadResult r = ReadKeePassXml(std::string_view(reinterpret_cast<const char*>(data), size), Utc);
    fuzz::CheckRead(r);
    if (!r.ok()) return 0;

    XmlWriteOptions options;
    options.rootGroup = r.rootGroup;
    options.offset = Utc;
    std::vector<size_t> skipped;
    const ReadResult back = ReadKeePassXml(WriteKeePassXml(r.entries, options, &skipped), Utc);
    fuzz::Require(back.ok() && back.rootGroup == r.rootGroup);
    std::multiset<Fields> written, read;
    for (size_t i = 0, s = 0; i < r.entries.size(); ++i) {
        if (s < skipped.size() && skipped[s] == i) {
            ++s;
            continue;
        }
        written.insert(FieldsOf(r.entries[i]));
    }
    for (const Entry& e : back.entries) read.insert(FieldsOf(e));
    fuzz::Require(written == read);
    return 0;
}
