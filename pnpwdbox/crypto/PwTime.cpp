#include "PwTime.h"

#include "SystemSources.h"

extern "C" void _PackTimeToStruct(uint8_t* packed, uint32_t year, uint32_t month, uint32_t day,
                                  uint32_t hour, uint32_t minute, uint32_t second) {
    if (!packed) return;
    // The 40 bits as one number, most significant field first.
    uint64_t bits = year & 0x3FFF;
    bits = (bits << 4) | (month & 0x0F);
    bits = (bits << 5) | (day & 0x1F);
    bits = (bits << 5) | (hour & 0x1F);
    bits = (bits << 6) | (minute & 0x3F);
    bits = (bits << 6) | (second & 0x3F);
    for (int i = kPackedTimeSize - 1; i >= 0; --i, bits >>= 8) packed[i] = uint8_t(bits);
}

extern "C" void _UnpackStructToTime(const uint8_t* packed, uint32_t* year, uint32_t* month,
                                    uint32_t* day, uint32_t* hour, uint32_t* minute,
                                    uint32_t* second) {
    if (!packed) return;
    uint64_t bits = 0;
    for (int i = 0; i < kPackedTimeSize; ++i) bits = (bits << 8) | packed[i];
    const auto field = [&bits](uint32_t* out, int width) {
        if (out) *out = uint32_t(bits & ((1u << width) - 1));
        bits >>= width;
    };
    field(second, 6);
    field(minute, 6);
    field(hour, 5);
    field(day, 5);
    field(month, 4);
    field(year, 14);
}

extern "C" void _GetCurrentPwTime(PW_TIME* now) {
    if (!now) return;
    const pncrypto::ClockReading local = pncrypto::ReadLocalClock();
    now->year = uint16_t(local.year);
    now->month = uint8_t(local.month);
    now->day = uint8_t(local.day);
    now->hour = uint8_t(local.hour);
    now->minute = uint8_t(local.minute);
    now->second = uint8_t(local.second);
}

extern "C" int _pwtimecmp(const PW_TIME* a, const PW_TIME* b) {
    if (!a || !b) return a == b ? 0 : (a ? 1 : -1);  // an absent time sorts first
    const uint32_t left[] = {a->year, a->month, a->day, a->hour, a->minute, a->second};
    const uint32_t right[] = {b->year, b->month, b->day, b->hour, b->minute, b->second};
    for (int i = 0; i < 6; ++i) {
        if (left[i] != right[i]) return left[i] < right[i] ? -1 : 1;
    }
    return 0;
}
