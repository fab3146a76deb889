// A front-to-back reader of one table for the passes that look at every record
// (the scheduler, the today list). FileDBF reads a field with a seek and a read
// each, which for a whole table costs a hundred times a plain read of the file;
// this reads the record area in blocks and cuts the fields out exactly as
// FileDBF::ReadField does. Writes still go through FileDBF.
#pragma once
#include <string>
#include <vector>

#include "Tabulo.h"

namespace pinora {

class TableScan {
public:
    // The layout comes from the table's own header, read by FileDBF.
    bool Open(const std::string& path);
    // The records the file holds (see FileDBF::GetRecords).
    long Records() const { return records_; }
    // The header claimed records the file does not wholly hold.
    bool ShortOfRecords() const { return shortOfRecords_; }
    int FieldCount() const { return static_cast<int>(fields_.size()); }

    // Makes record r (1..Records()) current; false outside the table or when
    // the file cannot be read there.
    bool Go(long r);
    // Like FileDBF::ReadField: at most length - 1 characters and a terminator,
    // blanks after a character field's value dropped; bytes past the end of a
    // short file read as zeros. A buffer shorter than the field gets what
    // fits, terminated.
    bool ReadField(int i, char* buf, int bufSize) const;

private:
    struct Field {
        int offset;
        int length;
        bool character;
    };
    bool LoadBlock(long first);

    File file_;
    long records_ = 0;
    long headerLength_ = 0;
    long recordSize_ = 0;
    long fileSize_ = 0;
    bool shortOfRecords_ = false;
    std::vector<Field> fields_;
    std::vector<char> block_;
    long blockFirst_ = 0;  // record number of the block's first record; 0: none loaded
    long blockCount_ = 0;
    long current_ = 0;
};

}  // namespace pinora
