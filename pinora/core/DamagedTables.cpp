#include "DamagedTables.h"

#include <sys/stat.h>

#include <cstdio>
#include <memory>
#include <set>

#include "Tabulo.h"

namespace pinora {
namespace {

std::set<std::string>& Reported() {
    static std::set<std::string> paths;
    return paths;
}

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using UniqueFile = std::unique_ptr<std::FILE, FileCloser>;

// Copies through a temporary name, so a copy cut short never passes for a whole one.
bool CopyBytes(const std::string& from, const std::string& to) {
    const std::string partial = to + ".part";
    bool copied = false;
    {
        UniqueFile in(std::fopen(from.c_str(), "rb"));
        UniqueFile out(in ? std::fopen(partial.c_str(), "wb") : nullptr);
        if (!out) return false;
        char buf[64 * 1024];
        size_t n;
        copied = true;
        while (copied && (n = std::fread(buf, 1, sizeof buf, in.get())) > 0) copied = std::fwrite(buf, 1, n, out.get()) == n;
        copied = copied && !std::ferror(in.get()) && std::fflush(out.get()) == 0;
    }
    if (copied && std::rename(partial.c_str(), to.c_str()) == 0) return true;
    std::remove(partial.c_str());
    return false;
}

}  // namespace

bool TableFileExists(const std::string& path) {
    struct stat st;
    return !path.empty() && stat(path.c_str(), &st) == 0;
}

bool IsTableDamaged(const std::string& path) {
    if (!TableFileExists(path)) return false;
    FileDBF table;
    return table.Open(path.c_str()) != 0;
}

std::string DamagedCopyPath(const std::string& path) { return path + ".bad"; }

bool KeepDamagedCopy(const std::string& path) {
    const std::string copy = DamagedCopyPath(path);
    return TableFileExists(copy) || CopyBytes(path, copy);
}

bool FirstReportOfDamage(const std::string& path) { return Reported().insert(path).second; }

void ForgetDamageReports() { Reported().clear(); }

}  // namespace pinora
