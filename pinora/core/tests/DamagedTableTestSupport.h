// What the tests of damaged tables share: the bytes of a file, a header's
// record count changed in place, and the damage reports the program would show.
#pragma once
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "DamagedTables.h"
#include "TableCheck.h"

namespace pinora::test {

using Bytes = std::vector<unsigned char>;

inline Bytes ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteFileBytes(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// Makes the header claim `count` records, whatever the file holds.
inline void SetHeaderRecordCount(const std::string& path, uint32_t count) {
    Bytes b = ReadFileBytes(path);
    for (int i = 0; i < 4; ++i) b.at(4 + i) = static_cast<unsigned char>(count >> (8 * i));
    WriteFileBytes(path, b);
}

// Collects the damaged-table reports for as long as it lives, from none.
class DamageReports {
public:
    DamageReports() {
        Paths().clear();
        ForgetDamageReports();
        SetDamagedTableHandler(&Record);
    }
    ~DamageReports() {
        SetDamagedTableHandler(nullptr);
        ForgetDamageReports();
    }
    DamageReports(const DamageReports&) = delete;
    DamageReports& operator=(const DamageReports&) = delete;
    const std::vector<std::string>& paths() const { return Paths(); }

private:
    static std::vector<std::string>& Paths() {
        static std::vector<std::string> paths;
        return paths;
    }
    static void Record(const std::string& path) { Paths().push_back(path); }
};

}  // namespace pinora::test
