// The text of a password database that an earlier version wrote while the
// program's text was in the legacy ("ANSI") code page: user names, addresses,
// comments and group names in that code page, and passwords whose plain text
// inside the old cipher is in it too. Converted to UTF-8 once, in one
// transaction; a database of format version 1 or later (PRAGMA user_version)
// is written only in UTF-8 and left alone, and so is every value that is
// UTF-8 already, so a second run changes nothing.
#pragma once
#include <functional>
#include <string>

#include "LegacySecret.h"

namespace pnstore {

enum class StoreTextOutcome { Unchanged, Converted, Failed };

struct StoreTextResult {
    StoreTextOutcome outcome = StoreTextOutcome::Unchanged;
    int passwordsLeft = 0;  // passwords the old cipher cannot hold in UTF-8, or no cipher text: left as they were
};

// keepBackup is called once, before the first change; when it fails nothing
// is changed and the result is Failed. A file that is no database of ours (no
// database, or tables the box would refuse) is left as it is (Unchanged); one
// that cannot be written (busy, read-only) Failed.
StoreTextResult ConvertStoreText(const std::string& path, const pncrypto::LegacyDecoder& decode,
                                 const std::function<bool()>& keepBackup);

}  // namespace pnstore
