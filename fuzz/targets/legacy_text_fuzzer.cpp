// Any bytes as a table, a settings file or a diary day of an earlier version,
// converted from code page 1252: the table's header is parsed here, not by the
// table library, and every result must be UTF-8 laid out as before.
#include <cstddef>
#include <cstdint>
#include <string>

#include "LegacyCodePages.h"
#include "LegacyText.h"
#include "Scratch.h"
#include "Utf8Text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string in(reinterpret_cast<const char*>(data), size);
    std::string out;
    pinora::ConversionNotes notes;
    const pinora::TableOutcome table =
        pinora::ConvertTableBytes(in, legacy_test::Decode1252, {{"PWD"}, {"USERNAME"}}, out, notes);
    // A table keeps its size, header and layout: only field bytes change.
    fuzz::Require(out.size() == in.size());
    if (table != pinora::TableOutcome::Converted) fuzz::Require(out == in);
    // A second conversion finds nothing more to do.
    std::string again;
    if (table == pinora::TableOutcome::Converted)
        fuzz::Require(pinora::ConvertTableBytes(out, legacy_test::Decode1252, {{"PWD"}, {"USERNAME"}}, again, notes) !=
                      pinora::TableOutcome::Converted);
    if (pinora::ConvertIniText(in, legacy_test::Decode1252, {"SETTINGS/auto_pwd"}, out, notes))
        fuzz::Require(uikit::IsValidUtf8(out) || out.substr(0, 2) == "\xFF\xFE");
    if (pinora::ConvertPlainText(in, legacy_test::Decode1252, out)) fuzz::Require(uikit::IsValidUtf8(out));
    return 0;
}
