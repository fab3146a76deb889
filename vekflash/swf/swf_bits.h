// Bit-level reading and writing in the byte order and bit packing of Flash files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace swf {

// Reads from a bounded buffer. Reading past the end never touches memory
// outside it: it yields zeros and marks the reader failed, which the caller
// checks once at the end of a record.
class BitReader {
 public:
  BitReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

  bool failed() const { return failed_; }
  size_t position() const { return pos_; }
  size_t remaining() const { return failed_ ? 0 : size_ - pos_; }
  bool atEnd() const { return pos_ >= size_; }

  void align() { bitCount_ = 0; }
  uint8_t u8();
  uint16_t u16();
  uint32_t u32();
  uint32_t ubits(unsigned n);
  int32_t sbits(unsigned n);
  // 16.16 fixed point stored in n bits.
  double fbits(unsigned n) { return sbits(n) / 65536.0; }
  void skip(size_t n);
  // A NUL-terminated string; missing terminator fails.
  std::string cstring();

 private:
  bool need(size_t n);

  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
  uint8_t bitBuffer_ = 0;
  unsigned bitCount_ = 0;
  bool failed_ = false;
};

class BitWriter {
 public:
  void align();
  void u8(uint8_t v);
  void u16(uint16_t v);
  void u32(uint32_t v);
  void ubits(uint32_t v, unsigned n);
  void sbits(int32_t v, unsigned n);
  void bytes(const std::vector<uint8_t>& b);
  std::vector<uint8_t>& data() {
    align();
    return out_;
  }

 private:
  std::vector<uint8_t> out_;
  uint8_t bitBuffer_ = 0;
  unsigned bitCount_ = 0;
};

// Bits needed to store v as a signed / unsigned bit field.
unsigned signedBitsFor(int32_t v);
unsigned unsignedBitsFor(uint32_t v);

}  // namespace swf
