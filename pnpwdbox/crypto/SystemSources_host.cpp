// The crypto code's view of a POSIX host, so the portable algorithms run and
// are tested there. The pool takes the nearest equivalents of what the
// Windows filler reads.
#include "SystemSources.h"

#include <fcntl.h>
#include <sys/random.h>
#include <unistd.h>

#include <cerrno>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <functional>
#include <random>
#include <thread>

namespace pncrypto {
namespace {

void Put32(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
    p[2] = uint8_t(v >> 16);
    p[3] = uint8_t(v >> 24);
}

void Put64(uint8_t* p, uint64_t v) {
    Put32(p, uint32_t(v));
    Put32(p + 4, uint32_t(v >> 32));
}

ClockReading Read(bool utc) {
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    const auto millis = std::chrono::duration_cast<std::chrono::milliseconds>(
                            now.time_since_epoch()).count() % 1000;
    std::tm parts{};
    if (utc) gmtime_r(&seconds, &parts);
    else localtime_r(&seconds, &parts);
    return {uint32_t(parts.tm_year + 1900), uint32_t(parts.tm_mon + 1), uint32_t(parts.tm_mday),
            uint32_t(parts.tm_hour), uint32_t(parts.tm_min), uint32_t(parts.tm_sec),
            uint32_t(millis)};
}

}  // namespace

void FillPoolFromSystem(uint8_t* pool) {
    const auto steady = std::chrono::steady_clock::now().time_since_epoch();
    Put32(pool + 0, uint32_t(std::chrono::duration_cast<std::chrono::milliseconds>(steady).count()));
    Put64(pool + 4, uint64_t(std::chrono::duration_cast<std::chrono::nanoseconds>(steady).count()));

    const ClockReading local = Read(false);
    const uint32_t fields[] = {local.year, local.month, local.day, local.hour,
                               local.minute, local.second, local.milliseconds};
    for (int i = 0; i < 7; ++i) {
        pool[12 + 2 * i] = uint8_t(fields[i]);
        pool[13 + 2 * i] = uint8_t(fields[i] >> 8);
    }

    for (int i = 0; i < 3; ++i) {
        const int r = std::rand();
        pool[36 + 2 * i] = uint8_t(r);
        pool[37 + 2 * i] = uint8_t(r >> 8);
    }

    Put32(pool + 86 + 12, uint32_t(getpid()));
    Put64(pool + 86 + 24, uint64_t(std::hash<std::thread::id>{}(std::this_thread::get_id())));
    int onStack = 0;
    Put64(pool + 86 + 32, uint64_t(reinterpret_cast<uintptr_t>(&onStack)));

    std::random_device device;
    for (int i = 0; i < 9; ++i) Put32(pool + 150 + 4 * i, device());

    uint8_t fresh[32];
    if (FillFromSystemRandom(fresh, sizeof fresh))
        for (size_t i = 0; i < sizeof fresh; ++i) pool[190 + i] ^= fresh[i];
}

bool FillFromSystemRandom(uint8_t* bytes, size_t length) {
    size_t done = 0;
    while (done < length) {
        const ssize_t n = getrandom(bytes + done, length - done, 0);
        if (n > 0) {
            done += size_t(n);
        } else if (n < 0 && errno != EINTR) {
            break;
        }
    }
    if (done == length) return true;
    // A kernel without getrandom: the same generator through its device.
    const int fd = open("/dev/urandom", O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    while (done < length) {
        const ssize_t n = read(fd, bytes + done, length - done);
        if (n <= 0 && !(n < 0 && errno == EINTR)) break;
        if (n > 0) done += size_t(n);
    }
    close(fd);
    return done == length;
}

ClockReading ReadUtcClock() { return Read(true); }

ClockReading ReadLocalClock() { return Read(false); }

bool DeleteFileAtPath(const char* path) { return path && std::remove(path) == 0; }

}  // namespace pncrypto
