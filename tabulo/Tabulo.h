// Tabulo: single-table dBase III files (fixed-width text fields, no index, no
// memo). `File` wraps one binary operating-system file; `FileDBF` is the table.
//
// Results: 0 for success and -1 for failure unless a function says otherwise;
// predicates answer 1 or 0. Nothing throws and nothing is shown to the user.
#pragma once

#if defined(_WIN32) && defined(TABULO_BUILD_DLL)
#define TABULO_API __declspec(dllexport)
#else
#define TABULO_API
#endif

// One field as the caller describes it to FileDBF::Creat; byte for byte the
// 32-byte field descriptor stored in the file.
struct FieldHeaderCreat {
    char name[11];             // ASCII, zero padded, at most 10 characters used
    char type;                 // 'C', 'D', 'F', 'L' or 'N'
    unsigned char reserved1[4];
    unsigned char length;      // 1 to 255 bytes
    unsigned char decimals;
    unsigned char reserved2[14];
};
static_assert(sizeof(FieldHeaderCreat) == 32, "field descriptor is 32 bytes on disk");

// A binary file opened without sharing restrictions.
//
// Copies (copy construction or assignment) share the source's descriptor
// without owning it: closing or destroying a copy only forgets the
// descriptor, the source alone closes it. A copy must not be used after the
// source has been closed.
class TABULO_API File {
public:
    enum { kMaxPath = 260 };

    File() noexcept;
    ~File();
    File(const File& other) noexcept;
    File& operator=(const File& other) noexcept;

    int Creat(const char* name) noexcept;
    int Open(const char* name) noexcept;
    int OpenReadOnly(const char* name) noexcept;
    int IsOpen() const noexcept;
    int Close() noexcept;

    int Read(char* buf, int len) noexcept;
    int Write(const char* buf, int len) noexcept;
    int LseekBegin() noexcept;
    int LseekEnd() noexcept;
    int LseekPosition(long pos) noexcept;
    long GetPosition() noexcept;

    const char* GetName() const noexcept;
    const char* GetFileName() const noexcept;
    long GetSize() noexcept;
    int IsEOF() noexcept;
    static int IsExist(const char* name) noexcept;

private:
    friend class FileDBF;

    static int CheckFileName(const char* name) noexcept;
    int OpenAccess(const char* name, int mode) noexcept;
    void MakeFileName() noexcept;
    // Reads up to len bytes; the count actually read, or -1 on an error.
    int ReadAvailable(char* buf, int len) noexcept;

    char m_path[kMaxPath + 1];
    char m_fileName[kMaxPath + 1];
    int m_fd;
    int m_isOpen;
    int m_ownsDescriptor;
};

// One dBase III table. Records and fields are numbered from 1.
//
// Copies share the source's file and field table without owning them (see
// File): only the object that opened the table frees the field table and
// closes the file, so destroying both never frees anything twice. A copy must
// not be used after the source has been closed.
class TABULO_API FileDBF {
public:
    FileDBF() noexcept;
    ~FileDBF();
    FileDBF(const FileDBF& other) noexcept;
    FileDBF& operator=(const FileDBF& other) noexcept;

    int Creat(const char* name, int count, FieldHeaderCreat* fields) noexcept;
    int Open(const char* name) noexcept;
    int IsOpen() const noexcept;
    void Close() noexcept;

    int Go(long n) noexcept;
    long GetCurrentRecordNumber() const noexcept;
    // The records the file holds: a header that claims more is believed only
    // as far as the file's size goes.
    long GetRecords() const noexcept;
    // 1 when the header claimed records the file does not wholly hold (the
    // table is damaged; appends are refused until SetRecords), else 0.
    int HasMissingRecords() const noexcept;
    int GetRecordSize() const noexcept;
    int GetFieldCount() const noexcept;

    const char* GetFieldName(int i) const noexcept;
    const char* GetFieldType(int i) const noexcept;
    short GetFieldLength(int i) const noexcept;
    short GetFieldDecimals(int i) const noexcept;
    short GetFieldOffset(int i) const noexcept;

    const char* GetName() const noexcept;
    const char* GetFileName() const noexcept;
    int GetVersion() const noexcept;
    int GetYear() const noexcept;
    int GetMon() const noexcept;
    int GetDay() const noexcept;
    int GetHeaderLength() const noexcept;

    int ReadRecord(char* buf) noexcept;
    int ReadField(int i, char* buf) noexcept;
    int WriteRecord(const char* buf) noexcept;
    int WriteField(int i, const char* value) noexcept;
    int AppendRecord() noexcept;
    int SetRecords(long n) noexcept;
    int SetYYMMDD() noexcept;

    int IsRecordDeleted() noexcept;
    int SetDeleteRecordMarker() noexcept;
    int SetUnDeleteRecordMarker() noexcept;

private:
    struct FieldEntry {
        char name[12];  // 11 stored bytes plus a terminator of our own
        char type;
        short length;
        short decimals;
        short offset;
    };
    struct HeaderCopy {
        unsigned char version;
        unsigned char year;
        unsigned char month;
        unsigned char day;
        long records;
        unsigned short headerLength;
        unsigned short recordLength;
    };

    int CreatFile(const char* name, int count, FieldHeaderCreat* fields) noexcept;
    int OpenFile(const char* name) noexcept;
    int LoadFieldTable(const unsigned char* header, int bytesRead) noexcept;
    int BoundRecordCount() noexcept;
    int RecordPosition(long n, long* pos) const noexcept;
    int LseekBase(long n) noexcept;
    int SeekField(int i) noexcept;
    int ReadZeroFilled(char* buf, int len) noexcept;
    int SetRecordMarker(char marker) noexcept;
    const FieldEntry* FieldAt(int i) const noexcept;
    static void StringUpper(char* s) noexcept;

    File m_file;
    HeaderCopy m_header;
    int m_fieldCount;
    FieldEntry* m_fields;
    long m_current;
    int m_isOpen;
    int m_ownsFields;
    int m_missingRecords;
};

// Library identity, kept for callers that look for it; nothing uses them.
class TABULO_API CTabulo {
public:
    CTabulo() noexcept;
    CTabulo& operator=(const CTabulo& other) noexcept;
};

extern "C" {
TABULO_API extern int nTabulo;
TABULO_API int fnTabulo(void);
}
