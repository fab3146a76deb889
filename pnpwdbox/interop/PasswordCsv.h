// CSV files of other password managers, in and out.
//
// In: KeePassXC's export (Group, Title, Username, Password, URL, Notes, TOTP,
// Icon, Last Modified, Created; the header line may be missing, the columns are
// then taken in that order) and the browsers' exports (Chrome, Edge, Brave:
// name, url, username, password[, note]; Firefox: url, username, password, ...),
// whose columns are found by their header. Fields in "" may hold commas, line
// breaks and doubled quotes; UTF-8 with or without byte order mark.
//
// KeePassXC writes each group path from its root group ("Root/Mail/Work"): when
// every row starts with the same group, that is the root and is dropped (it
// becomes ReadResult::rootGroup); otherwise only a leading "Root" is dropped.
// Entries of its "Recycle Bin" below the root are marked recycled.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "PasswordEntry.h"

namespace pninterop {

ReadResult ReadPasswordCsv(std::string_view bytes);

// KeePassXC's CSV layout, every field quoted, "\n" after each row, UTF-8
// without byte order mark; each group path starts with `rootGroup`. Entries
// with text that is not UTF-8 or holds NUL are left out and their indices added
// to `skipped`.
std::string WriteKeePassXcCsv(const std::vector<Entry>& entries, const std::string& rootGroup,
                              std::vector<size_t>* skipped = nullptr);

}  // namespace pninterop
