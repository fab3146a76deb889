// Any text as a number of the settings file: read as strtoll reads it, held
// within int.
#include <algorithm>
#include <climits>
#include <cstdlib>
#include <string>

#include "Scratch.h"
#include "StoredNumber.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const long long reference = std::strtoll(text.c_str(), nullptr, 10);
    fuzz::Require(pinora::SettingNumber(text) == std::clamp<long long>(reference, INT_MIN, INT_MAX));
    return 0;
}
