// The packed five-byte date-and-time form and its unpacked seven-byte record.
#pragma once
#include <cstdint>

#pragma pack(push, 1)
struct PW_TIME {
    uint16_t year;
    uint8_t month;
    uint8_t day;
    uint8_t hour;
    uint8_t minute;
    uint8_t second;
};
#pragma pack(pop)
static_assert(sizeof(PW_TIME) == 7, "the unpacked time is seven bytes");

constexpr int kPackedTimeSize = 5;

extern "C" {

// Big-endian bit fields: year 14, month 4, day 5, hour 5, minute 6, second 6.
// Higher bits of each value are dropped; nothing for an absent buffer.
void _PackTimeToStruct(uint8_t* packed, uint32_t year, uint32_t month, uint32_t day,
                       uint32_t hour, uint32_t minute, uint32_t second);
// The inverse; absent out-values are skipped.
void _UnpackStructToTime(const uint8_t* packed, uint32_t* year, uint32_t* month, uint32_t* day,
                         uint32_t* hour, uint32_t* minute, uint32_t* second);

void _GetCurrentPwTime(PW_TIME* now);

// -1 when a is earlier, 1 when later, 0 when equal (field by field, year first).
int _pwtimecmp(const PW_TIME* a, const PW_TIME* b);

}  // extern "C"
