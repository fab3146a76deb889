// The text cipher for stored passwords: AES-256-CBC with a built-in key and
// initialisation vector, written as upper-case hexadecimal. Equal texts give
// equal cipher texts, which is how a typed master password is checked.
#pragma once

// Every caller's result buffer is this size, so a cipher text holds at most
// 126 digits and a plain text at most 48 bytes.
constexpr int kCipherFieldSize = 128;
constexpr int kCipherMaxPlainBytes = 48;

// direction 1 encrypts `text` and appends the digits to `result` (a text of
// at most *capacity bytes with its NUL); 1 when the whole cipher text fitted,
// 0 for an empty text or one that does not fit, which leaves `result` as it
// was.
// direction 0 decrypts hexadecimal `text` (either case, whole 16-byte blocks)
// into `result`, cut to *capacity - 1 characters, and sets *capacity to the
// bytes written with the NUL; 1 when done, 0 for a text that is empty, not
// whole blocks or not hexadecimal, which leaves `result` unchanged.
int cipherText(const char* text, char* result, int* capacity, int direction);

// cipherText with a result buffer of kCipherFieldSize bytes: decrypt 0
// encrypts, 1 decrypts. Returns what cipherText returned, so a text the field
// cannot hold is reported rather than stored cut short.
int cryptField(const char* text, char* result, int decrypt);
