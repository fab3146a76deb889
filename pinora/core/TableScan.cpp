#include "TableScan.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace pinora {
namespace {
constexpr long kBlockBytes = 64 * 1024;
}

bool TableScan::Open(const std::string& path) {
    {
        FileDBF table;
        if (table.Open(path.c_str()) != 0) return false;
        records_ = table.GetRecords();
        shortOfRecords_ = table.HasMissingRecords() != 0;
        headerLength_ = table.GetHeaderLength();
        recordSize_ = table.GetRecordSize();
        const int count = table.GetFieldCount();
        if (records_ < 0 || headerLength_ <= 0 || recordSize_ <= 0 || count < 0) return false;
        fields_.clear();
        for (int i = 1; i <= count; ++i) {
            const int offset = table.GetFieldOffset(i), length = table.GetFieldLength(i);
            if (offset < 0 || length < 1 || offset + length > recordSize_) return false;
            fields_.push_back(Field{offset, length, *table.GetFieldType(i) == 'C'});
        }
    }
    if (file_.OpenReadOnly(path.c_str()) != 0) return false;
    fileSize_ = file_.GetSize();
    return fileSize_ >= 0;
}

bool TableScan::LoadBlock(long first) {
    const long perBlock = std::max(1L, kBlockBytes / recordSize_);
    const long count = std::min(perBlock, records_ - first + 1);
    // In 64 bits: long is 32 bits on Windows, where a far record would wrap.
    const long long start = headerLength_ + static_cast<long long>(first - 1) * recordSize_;
    if (start > LONG_MAX) return false;
    const long wanted = count * recordSize_;
    const long available = static_cast<long>(std::max(0LL, std::min<long long>(wanted, fileSize_ - start)));
    block_.assign(static_cast<size_t>(wanted), '\0');  // what the file lacks reads as zeros
    if (available > 0 &&
        (file_.LseekPosition(static_cast<long>(start)) != 0 || file_.Read(block_.data(), static_cast<int>(available)) != 0))
        return false;
    blockFirst_ = first;
    blockCount_ = count;
    return true;
}

bool TableScan::Go(long r) {
    if (r < 1 || r > records_ || !file_.IsOpen()) return false;
    if (blockFirst_ == 0 || r < blockFirst_ || r >= blockFirst_ + blockCount_) {
        if (!LoadBlock(r)) {
            blockFirst_ = 0;
            return false;
        }
    }
    current_ = r;
    return true;
}

bool TableScan::ReadField(int i, char* buf, int bufSize) const {
    if (buf == nullptr || bufSize < 1 || i < 1 || i > FieldCount() || current_ < blockFirst_ || blockFirst_ == 0) return false;
    const Field& f = fields_[static_cast<size_t>(i - 1)];
    const char* record = block_.data() + (current_ - blockFirst_) * recordSize_;
    const int kept = std::min(f.length, bufSize);
    std::memcpy(buf, record + f.offset, static_cast<size_t>(kept));
    buf[kept - 1] = '\0';
    if (f.character) {
        for (size_t end = std::strlen(buf); end > 0 && buf[end - 1] == ' '; --end) buf[end - 1] = '\0';
    }
    return true;
}

}  // namespace pinora
