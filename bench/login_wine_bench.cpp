// What one login-password guess costs, timed as the program runs it (a Windows
// program under Wine, the windows preset's optimised build): checking a typed
// password against a PWD of today's hashed form beside the old cipher form
// (one AES decryption of a block or two), both in one run. Prints the median of
// a number of runs and the guesses per second per core that gives.
//   scripts/wine build/windows/bench/login_wine_bench.exe
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "LoginHash.h"
#include "TextCipher.h"
#include "Users.h"
#include "wine_bench_timing.h"

int main() {
    std::string hashed;
    if (!pinora::MakeLoginHash("0123456789a", hashed)) return 1;
    char oldForm[kCipherFieldSize] = {};
    if (cryptField("0123456789a", oldForm, 0) != 1) return 1;
    const pinora::LoginHashCost& cost = pinora::kLoginHashPolicy.write;

    bool oldMatch = false;
    const double hashUs = wine_bench::MedianMicroseconds(51, [&] {
        if (pinora::PasswordMatchesStored(hashed.c_str(), "wrong guess", &oldMatch)) std::exit(2);
    });
    const double oldUs = wine_bench::MedianMicroseconds(51, [&] {
        double total = 0;
        for (int i = 0; i < 1000; ++i) total += pinora::PasswordMatchesStored(oldForm, "wrong guess", &oldMatch);
        if (total != 0) std::exit(2);
    }) / 1000;
    std::printf("login hash: Argon2id m=%u KiB, t=%u, p=%u\n", cost.memoryKiB, cost.passes, cost.lanes);
    std::printf("%-34s %12.1f us  %14.0f guesses/s/core\n", "check against the hash", hashUs, 1e6 / hashUs);
    std::printf("%-34s %12.3f us  %14.0f guesses/s/core\n", "check against the old cipher form", oldUs, 1e6 / oldUs);
    std::printf("(the old form needs no guess at all: the key is in the program)\n");
    return 0;
}
