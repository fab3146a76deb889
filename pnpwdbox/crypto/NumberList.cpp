#include "NumberList.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

extern "C" void ar2str(char* text, const int32_t* values, uint32_t count) {
    if (!text) return;
    *text = '\0';
    if (!values) return;
    char* end = text;
    for (uint32_t i = 0; i < count; ++i) {
        end += std::sprintf(end, i == 0 ? "%ld" : " %ld", static_cast<long>(values[i]));
    }
}

namespace {

// atoi's reading of one field, without its undefined result on overflow.
int32_t LeadingNumber(const char* field) {
    const long value = std::strtol(field, nullptr, 10);
    if (value > INT32_MAX) return INT32_MAX;
    if (value < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(value);
}

}  // namespace

extern "C" void str2ar(const char* text, int32_t* values, uint32_t count) {
    if (!values) return;
    const char* field = text ? text : "";
    for (uint32_t i = 0; i < count; ++i) {
        if (*field == '\0') {
            values[i] = 0;
            continue;
        }
        values[i] = LeadingNumber(field);
        const char* space = std::strchr(field, ' ');
        field = space ? space + 1 : field + std::strlen(field);
    }
}
