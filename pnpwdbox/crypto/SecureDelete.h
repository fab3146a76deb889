// Deleting a file after overwriting its contents several times.
#pragma once

// 1 when the file was deleted, else 0.
extern "C" int SecureDeleteFile(const char* path);

namespace pncrypto {

enum class OverwriteOutcome { CannotOpen, Empty, Overwritten };

// The overwriting half of SecureDeleteFile: four bounded passes (zeros, 0xFF,
// generator bytes twice) over the file grown by four bytes. The file stays.
OverwriteOutcome OverwriteFileForDeletion(const char* path);

}  // namespace pncrypto
