// KeePass 2 XML, in and out: the unencrypted form of a KeePass database that
// `keepassxc-cli export --format xml` writes and `keepassxc-cli import` reads.
//
// In: the groups below <Root> (the top group is the root: its name becomes
// ReadResult::rootGroup, the paths below it "a/b"), each group's entries with
// their String values Title, UserName, Password, URL and Notes, and the expiry
// (Times/Expires, Times/ExpiryTime) as a local end day. An entry's History (its
// old versions) is not read as entries; entries of the group Meta names as
// recycle bin are marked recycled. A value marked Protected="True" is encrypted
// with a key the file does not carry: it is not read, its field is listed in
// Entry::encryptedFields (ProtectInMemory="True" is only a hint and is read).
#pragma once
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "KeePassTime.h"
#include "PasswordEntry.h"

namespace pninterop {

ReadResult ReadKeePassXml(std::string_view bytes, LocalOffset offset = SystemLocalOffset);

struct XmlWriteOptions {
    std::string rootGroup = "Root";
    std::string generator = "Pinora";
    LocalOffset offset = SystemLocalOffset;  // an end day expires at its local midnight
    // Fills the 16 bytes of a group's or an entry's UUID. Without it no UUIDs
    // are written, and KeePassXC gives each group and entry a new one.
    std::function<void(unsigned char* bytes, size_t count)> randomBytes;
};

// The groups are made a tree from the entries' paths (split at '/'). Entries
// the format cannot carry exactly (text that is not UTF-8 or holds characters
// XML does not allow, an end day that is no day, groups nested deeper than a
// reader takes) are left out and their indices added to `skipped`.
std::string WriteKeePassXml(const std::vector<Entry>& entries, const XmlWriteOptions& options,
                            std::vector<size_t>* skipped = nullptr);

}  // namespace pninterop
