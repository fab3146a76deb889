#include "Tabulo.h"

#include <cctype>
#include <climits>
#include <cstring>
#include <new>

#include "TabuloClock.h"

namespace {

constexpr int kHeaderSize = 32;
constexpr int kDescriptorSize = 32;
constexpr int kHeaderCopySize = 12;
constexpr unsigned char kHeaderTerminator = 0x0D;
constexpr unsigned char kEndOfFile = 0x1A;
constexpr unsigned char kVersion = 0x03;
// Header lengths and field offsets are held as signed 16-bit values.
constexpr long kMaxHeaderLength = 0x7FFF;
constexpr long kMaxRecordSize = 0x7FFF;
constexpr int kMaxFieldCount = (kMaxHeaderLength - kHeaderSize - 1) / kDescriptorSize;
constexpr long kMaxRecordCount = 0x7FFFFFFF;

constexpr int kOffsetRecordCount = 4;
constexpr int kOffsetHeaderLength = 8;
constexpr int kOffsetRecordLength = 10;
constexpr int kDescriptorOffsetType = 11;
constexpr int kDescriptorOffsetLength = 16;
constexpr int kDescriptorOffsetDecimals = 17;

void PutLittle16(unsigned char* p, unsigned value) {
    p[0] = static_cast<unsigned char>(value & 0xFF);
    p[1] = static_cast<unsigned char>((value >> 8) & 0xFF);
}

void PutLittle32(unsigned char* p, unsigned long value) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>((value >> (8 * i)) & 0xFF);
}

unsigned GetLittle16(const unsigned char* p) { return p[0] | (unsigned{p[1]} << 8); }

long GetLittleSigned32(const unsigned char* p) {
    const unsigned long u = p[0] | (static_cast<unsigned long>(p[1]) << 8) |
                            (static_cast<unsigned long>(p[2]) << 16) |
                            (static_cast<unsigned long>(p[3]) << 24);
    return u >= 0x80000000UL ? static_cast<long>(static_cast<long long>(u) - 0x100000000LL)
                             : static_cast<long>(u);
}

// Type rules for a new descriptor; name and type are already upper case.
void NormaliseByType(FieldHeaderCreat& field) {
    switch (field.type) {
    case 'C':
        field.decimals = 0;
        break;
    case 'D':
        field.length = 8;
        field.decimals = 0;
        break;
    case 'N':
    case 'F':
        if (field.length < 1) field.length = 1;
        if (field.length > 19) field.length = 19;
        if (field.decimals >= static_cast<unsigned>(field.length - 1))
            field.decimals = static_cast<unsigned char>(field.length - 2);
        if (field.length <= 2) field.decimals = 0;
        break;
    case 'L':
        field.length = 1;
        field.decimals = 0;
        break;
    default:  // memo fields included: this library keeps no memo file
        field.type = 'C';
        field.decimals = 0;
        break;
    }
    if (field.length == 0) field.length = 1;
    std::memset(field.reserved1, 0, sizeof field.reserved1);
    std::memset(field.reserved2, 0, sizeof field.reserved2);
}

// Owns a heap buffer that needs no exception on failure.
class ByteBuffer {
public:
    explicit ByteBuffer(long size) : m_data(new (std::nothrow) unsigned char[size]()) {}
    ~ByteBuffer() { delete[] m_data; }
    ByteBuffer(const ByteBuffer&) = delete;
    ByteBuffer& operator=(const ByteBuffer&) = delete;
    unsigned char* get() const { return m_data; }
    char* chars() const { return reinterpret_cast<char*>(m_data); }

private:
    unsigned char* m_data;
};

}  // namespace

FileDBF::FileDBF() noexcept
    : m_header{},
      m_fieldCount(0),
      m_fields(nullptr),
      m_current(1),
      m_isOpen(0),
      m_ownsFields(0),
      m_missingRecords(0) {}

FileDBF::~FileDBF() { Close(); }

FileDBF::FileDBF(const FileDBF& other) noexcept : FileDBF() { *this = other; }

// The copy borrows the source's file and field table; only the source frees them.
FileDBF& FileDBF::operator=(const FileDBF& other) noexcept {
    if (this == &other) return *this;
    Close();
    m_file = other.m_file;
    m_header = other.m_header;
    m_fieldCount = other.m_fieldCount;
    m_fields = other.m_fields;
    m_current = other.m_current;
    m_isOpen = other.m_isOpen;
    m_ownsFields = 0;
    m_missingRecords = other.m_missingRecords;
    return *this;
}

void FileDBF::StringUpper(char* s) noexcept {
    for (; *s != '\0'; ++s) *s = static_cast<char>(std::toupper(static_cast<unsigned char>(*s)));
}

int FileDBF::Creat(const char* name, int count, FieldHeaderCreat* fields) noexcept {
    if (m_isOpen) return -1;
    if (CreatFile(name, count, fields) != 0) return -1;
    return Open(name);
}

int FileDBF::CreatFile(const char* name, int count, FieldHeaderCreat* fields) noexcept {
    // Refuse what Open would refuse, before anything is written.
    if (fields == nullptr || count < 1 || count > kMaxFieldCount) return -1;

    long lengthSum = 0;
    for (int i = 0; i < count; ++i) {
        FieldHeaderCreat& field = fields[i];
        field.name[10] = '\0';
        StringUpper(field.name);
        field.reserved1[0] = 0;  // lets the type letter be upper-cased as a string
        field.type = static_cast<char>(std::toupper(static_cast<unsigned char>(field.type)));
        NormaliseByType(field);
        lengthSum += field.length;
    }
    if (1 + lengthSum > kMaxRecordSize) return -1;

    unsigned char header[kHeaderSize] = {};
    const tabulo::CalendarDate today = tabulo::Today();
    header[0] = kVersion;
    header[1] = static_cast<unsigned char>((today.year - 1900) & 0xFF);
    header[2] = static_cast<unsigned char>(today.month);
    header[3] = static_cast<unsigned char>(today.day);
    PutLittle32(header + kOffsetRecordCount, 0);
    PutLittle16(header + kOffsetHeaderLength, static_cast<unsigned>(kDescriptorSize * count + 33));
    PutLittle16(header + kOffsetRecordLength, static_cast<unsigned>(1 + lengthSum));

    const char tail[2] = {static_cast<char>(kHeaderTerminator), static_cast<char>(kEndOfFile)};
    bool written = m_file.Creat(name) == 0 && m_file.LseekBegin() == 0 &&
                   m_file.Write(reinterpret_cast<const char*>(header), kHeaderSize) == 0;
    for (int i = 0; written && i < count; ++i)
        written = m_file.Write(reinterpret_cast<const char*>(&fields[i]), kDescriptorSize) == 0;
    written = written && m_file.Write(tail, sizeof tail) == 0;
    // Close on failure as well, so the object can open or create again.
    const bool closed = m_file.Close() == 0;
    return written && closed ? 0 : -1;
}

int FileDBF::Open(const char* name) noexcept {
    if (m_isOpen) return -1;
    if (OpenFile(name) != 0) return -1;
    m_isOpen = 1;
    m_ownsFields = 1;
    m_current = 1;
    if (m_header.records > 0 && Go(1) != 0) {
        Close();
        return -1;
    }
    return 0;
}

int FileDBF::OpenFile(const char* name) noexcept {
    if (m_file.Open(name) != 0) return -1;

    unsigned char raw[kHeaderCopySize];
    bool ok = m_file.LseekBegin() == 0 &&
              m_file.Read(reinterpret_cast<char*>(raw), kHeaderCopySize) == 0;
    if (ok) {
        m_header.version = raw[0];
        m_header.year = raw[1];
        m_header.month = raw[2];
        m_header.day = raw[3];
        m_header.records = GetLittleSigned32(raw + kOffsetRecordCount);
        m_header.headerLength = static_cast<unsigned short>(GetLittle16(raw + kOffsetHeaderLength));
        m_header.recordLength = static_cast<unsigned short>(GetLittle16(raw + kOffsetRecordLength));
        // Below 33 bytes there is no room for one descriptor and the terminator;
        // a negative count would place appended records inside the header.
        ok = m_header.headerLength <= kMaxHeaderLength &&
             m_header.headerLength >= kHeaderSize + 1 && m_header.records >= 0;
    }
    if (ok) {
        // Zero-filled, so the part beyond a short read holds no stale bytes.
        ByteBuffer header(m_header.headerLength);
        const int bytesRead =
            header.get() != nullptr && m_file.LseekBegin() == 0
                ? m_file.ReadAvailable(header.chars(), m_header.headerLength)
                : -1;
        ok = bytesRead >= 0 && LoadFieldTable(header.get(), bytesRead) == 0;
    }
    ok = ok && BoundRecordCount() == 0;
    if (!ok) {
        delete[] m_fields;  // loaded by this open, not borrowed
        m_fields = nullptr;
        m_fieldCount = 0;
        m_file.Close();
        m_header = HeaderCopy{};
        return -1;
    }
    return 0;
}

// Builds the field table from the descriptors that were actually read. A
// descriptor cut off by the end of the file, a zero field length (ReadField
// stores its terminator at length - 1), a type byte that is no type letter,
// a record too long for 16-bit offsets, or descriptors that do not add up to
// the record length of the header (a name starting with 0x0D taken for the
// end of the descriptors, say) make the file unusable: its fields would be
// cut at the wrong places.
int FileDBF::LoadFieldTable(const unsigned char* header, int bytesRead) noexcept {
    const int headerLength = m_header.headerLength;
    int count = headerLength / kDescriptorSize - 1;
    for (int offset = kDescriptorSize; offset < headerLength; offset += kDescriptorSize) {
        if (header[offset] == kHeaderTerminator) {
            count = offset / kDescriptorSize - 1;
            break;
        }
    }
    if (count < 1 || kDescriptorSize * (count + 1) > bytesRead) return -1;

    FieldEntry* fields = new (std::nothrow) FieldEntry[count]();
    if (fields == nullptr) return -1;
    long offset = 1;
    for (int i = 0; i < count; ++i) {
        const unsigned char* d = header + kDescriptorSize * (i + 1);
        FieldEntry& field = fields[i];
        std::memcpy(field.name, d, 11);
        field.name[11] = '\0';
        const unsigned char type = d[kDescriptorOffsetType];
        field.type = static_cast<char>(type);
        field.length = d[kDescriptorOffsetLength];
        field.decimals = field.type == 'C' ? 0 : d[kDescriptorOffsetDecimals];
        field.offset = static_cast<short>(offset);
        offset += field.length;
        if (type <= ' ' || type >= 0x7F || field.length == 0 || offset > kMaxRecordSize) {
            delete[] fields;
            return -1;
        }
    }
    if (offset != m_header.recordLength) {
        delete[] fields;
        return -1;
    }
    m_fields = fields;
    m_fieldCount = count;
    return 0;
}

// Believes the header's record count only as far as the file goes. A last
// record cut short still counts (its missing bytes read as zeros), but any
// record not wholly there marks the table as short of records. The end
// marker 0x1A after the records is no record.
int FileDBF::BoundRecordCount() noexcept {
    const long size = m_file.GetSize();
    if (size < 0) return -1;
    const long long recordSize = m_header.recordLength;
    const long long body = size > m_header.headerLength ? size - m_header.headerLength : 0;
    const long long whole = body / recordSize;
    const long long started = body <= 1 ? 0 : (body - 1 + recordSize - 1) / recordSize;
    m_missingRecords = m_header.records > whole ? 1 : 0;
    if (m_header.records > started) m_header.records = static_cast<long>(started);
    return 0;
}

int FileDBF::IsOpen() const noexcept { return m_isOpen ? 1 : 0; }

void FileDBF::Close() noexcept {
    if (!m_isOpen) return;
    if (m_ownsFields) delete[] m_fields;
    m_fields = nullptr;
    m_fieldCount = 0;
    m_ownsFields = 0;
    m_missingRecords = 0;
    m_file.Close();
    m_current = 1;
    m_isOpen = 0;
}

// Where record n starts, refusing numbers outside the table and positions
// the C runtime's long cannot hold (32 bits on Windows).
int FileDBF::RecordPosition(long n, long* pos) const noexcept {
    if (n < 1 || n > m_header.records) return -1;
    const long long start =
        m_header.headerLength + static_cast<long long>(n - 1) * GetRecordSize();
    if (start > LONG_MAX) return -1;
    *pos = static_cast<long>(start);
    return 0;
}

int FileDBF::LseekBase(long n) noexcept {
    long pos = 0;
    if (RecordPosition(n, &pos) != 0) return -1;
    return m_file.LseekPosition(pos);
}

// One seek straight to the field: field reads are the hot path of every table scan.
int FileDBF::SeekField(int i) noexcept {
    const FieldEntry* field = FieldAt(i);
    long recordStart = 0;
    if (field == nullptr || RecordPosition(m_current, &recordStart) != 0) return -1;
    if (recordStart > LONG_MAX - field->offset) return -1;
    return m_file.LseekPosition(recordStart + field->offset);
}

int FileDBF::Go(long n) noexcept {
    if (!m_isOpen || LseekBase(n) != 0) return -1;
    m_current = n;
    return 0;
}

long FileDBF::GetCurrentRecordNumber() const noexcept { return m_current; }

long FileDBF::GetRecords() const noexcept { return m_isOpen ? m_header.records : -1; }

int FileDBF::HasMissingRecords() const noexcept { return m_isOpen ? m_missingRecords : 0; }

int FileDBF::GetRecordSize() const noexcept {
    if (!m_isOpen) return -1;
    const FieldEntry& last = m_fields[m_fieldCount - 1];
    return last.offset + last.length;
}

int FileDBF::GetFieldCount() const noexcept { return m_isOpen ? m_fieldCount : -1; }

const FileDBF::FieldEntry* FileDBF::FieldAt(int i) const noexcept {
    if (!m_isOpen || i < 1 || i > m_fieldCount) return nullptr;
    return &m_fields[i - 1];
}

const char* FileDBF::GetFieldName(int i) const noexcept {
    const FieldEntry* field = FieldAt(i);
    return field ? field->name : nullptr;
}

const char* FileDBF::GetFieldType(int i) const noexcept {
    const FieldEntry* field = FieldAt(i);
    return field ? &field->type : nullptr;
}

short FileDBF::GetFieldLength(int i) const noexcept {
    const FieldEntry* field = FieldAt(i);
    return field ? field->length : -1;
}

short FileDBF::GetFieldDecimals(int i) const noexcept {
    const FieldEntry* field = FieldAt(i);
    return field ? field->decimals : -1;
}

short FileDBF::GetFieldOffset(int i) const noexcept {
    const FieldEntry* field = FieldAt(i);
    return field ? field->offset : -1;
}

const char* FileDBF::GetName() const noexcept { return m_file.GetName(); }

const char* FileDBF::GetFileName() const noexcept { return m_file.GetFileName(); }

int FileDBF::GetVersion() const noexcept { return m_isOpen ? m_header.version : -1; }

int FileDBF::GetYear() const noexcept { return m_isOpen ? m_header.year : -1; }

int FileDBF::GetMon() const noexcept { return m_isOpen ? m_header.month : -1; }

int FileDBF::GetDay() const noexcept { return m_isOpen ? m_header.day : -1; }

int FileDBF::GetHeaderLength() const noexcept { return m_isOpen ? m_header.headerLength : -1; }

// Reads len bytes, accepting a short read at the end of the file; the bytes
// the file did not have are zeroed rather than left as they were.
int FileDBF::ReadZeroFilled(char* buf, int len) noexcept {
    const int n = m_file.ReadAvailable(buf, len);
    if (n < 0) return -1;
    std::memset(buf + n, 0, static_cast<size_t>(len - n));
    return 0;
}

int FileDBF::ReadRecord(char* buf) noexcept {
    if (!m_isOpen || buf == nullptr || LseekBase(m_current) != 0) return -1;
    return ReadZeroFilled(buf, GetRecordSize());
}

int FileDBF::ReadField(int i, char* buf) noexcept {
    const FieldEntry* field = FieldAt(i);
    if (field == nullptr || buf == nullptr || SeekField(i) != 0) return -1;
    if (ReadZeroFilled(buf, field->length) != 0) return -1;
    buf[field->length - 1] = '\0';
    // Other dBase writers pad character fields with blanks rather than zeros.
    if (field->type == 'C') {
        for (size_t end = std::strlen(buf); end > 0 && buf[end - 1] == ' '; --end) buf[end - 1] = '\0';
    }
    return 0;
}

int FileDBF::WriteRecord(const char* buf) noexcept {
    if (!m_isOpen || buf == nullptr || LseekBase(m_current) != 0) return -1;
    if (m_file.Write(buf, GetRecordSize()) != 0) return -1;
    return SetYYMMDD();
}

int FileDBF::WriteField(int i, const char* value) noexcept {
    const FieldEntry* field = FieldAt(i);
    if (field == nullptr || value == nullptr) return -1;
    // Value cut to the field length or padded with zero bytes up to it.
    char stored[256] = {};
    for (int k = 0; k < field->length && value[k] != '\0'; ++k) stored[k] = value[k];
    if (SeekField(i) != 0 || m_file.Write(stored, field->length) != 0) return -1;
    return SetYYMMDD();
}

int FileDBF::AppendRecord() noexcept {
    // Appending to a table short of records would write its count over the
    // damage; the caller decides what to do with such a table.
    if (!m_isOpen || m_missingRecords) return -1;
    const long n = m_header.records;
    const int recordSize = GetRecordSize();
    if (n >= kMaxRecordCount) return -1;
    const long long pos = m_header.headerLength + static_cast<long long>(n) * recordSize;
    // A record count that claims more than the file holds would put the new
    // record far beyond the end, filling the gap with zeros; refuse instead.
    if (m_file.LseekEnd() != 0) return -1;
    const long size = m_file.GetPosition();
    if (size < 0 || pos > size) return -1;

    ByteBuffer record(recordSize + 1);
    if (record.get() == nullptr) return -1;
    record.get()[recordSize] = kEndOfFile;
    if (m_file.LseekPosition(static_cast<long>(pos)) != 0 ||
        m_file.Write(record.chars(), recordSize + 1) != 0)
        return -1;
    if (SetRecords(n + 1) != 0 || SetYYMMDD() != 0) return -1;
    return Go(n + 1);
}

int FileDBF::SetRecords(long n) noexcept {
    if (!m_isOpen || n < 0 || n > kMaxRecordCount) return -1;
    unsigned char bytes[4];
    PutLittle32(bytes, static_cast<unsigned long>(n));
    if (m_file.LseekPosition(kOffsetRecordCount) != 0 ||
        m_file.Write(reinterpret_cast<const char*>(bytes), sizeof bytes) != 0)
        return -1;
    m_header.records = n;
    m_missingRecords = 0;  // the caller has said how many records there are
    return 0;
}

int FileDBF::SetYYMMDD() noexcept {
    if (!m_isOpen) return -1;
    const tabulo::CalendarDate today = tabulo::Today();
    const char stamp[3] = {static_cast<char>((today.year - 1900) & 0xFF),
                           static_cast<char>(today.month), static_cast<char>(today.day)};
    if (m_file.LseekPosition(1) != 0) return -1;
    return m_file.Write(stamp, sizeof stamp);
}

int FileDBF::IsRecordDeleted() noexcept {
    if (!m_isOpen || LseekBase(m_current) != 0) return -1;
    char flag = 0;
    if (m_file.Read(&flag, 1) != 0) return -1;
    return flag == '*' ? 1 : 0;
}

int FileDBF::SetRecordMarker(char marker) noexcept {
    if (!m_isOpen) return -1;
    ByteBuffer record(GetRecordSize());
    if (record.get() == nullptr || ReadRecord(record.chars()) != 0) return -1;
    record.chars()[0] = marker;
    if (WriteRecord(record.chars()) != 0) return -1;
    return SetYYMMDD();
}

int FileDBF::SetDeleteRecordMarker() noexcept { return SetRecordMarker('*'); }

int FileDBF::SetUnDeleteRecordMarker() noexcept { return SetRecordMarker(' '); }
