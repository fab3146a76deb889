// A private folder for targets that read their input from a file: one per
// process, so parallel fuzzing jobs never share a file.
#pragma once
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace fuzz {

inline const std::string& ScratchFolder() {
    static const std::string folder = [] {
        const auto dir = std::filesystem::temp_directory_path() / ("pinora-fuzz-" + std::to_string(getpid()));
        std::filesystem::create_directories(dir);
        return (dir / "").string();
    }();
    return folder;
}

// Writes the input to a file of that name in the scratch folder; its path.
inline std::string WriteScratch(const char* name, const uint8_t* data, size_t size) {
    const std::string path = ScratchFolder() + name;
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) std::abort();
    if (size > 0 && std::fwrite(data, 1, size, f) != size) std::abort();
    std::fclose(f);
    return path;
}

// An invariant of the code under test that the input broke: a finding.
inline void Require(bool holds) {
    if (!holds) __builtin_trap();
}

}  // namespace fuzz
