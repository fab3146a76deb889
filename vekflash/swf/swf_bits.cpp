#include "swf_bits.h"

namespace swf {

bool BitReader::need(size_t n) {
  if (failed_ || n > size_ - pos_) {
    failed_ = true;
    return false;
  }
  return true;
}

uint8_t BitReader::u8() {
  align();
  if (!need(1)) return 0;
  return data_[pos_++];
}

uint16_t BitReader::u16() {
  align();
  if (!need(2)) return 0;
  uint16_t v = static_cast<uint16_t>(data_[pos_] | (data_[pos_ + 1] << 8));
  pos_ += 2;
  return v;
}

uint32_t BitReader::u32() {
  align();
  if (!need(4)) return 0;
  uint32_t v = static_cast<uint32_t>(data_[pos_]) | (static_cast<uint32_t>(data_[pos_ + 1]) << 8) |
               (static_cast<uint32_t>(data_[pos_ + 2]) << 16) |
               (static_cast<uint32_t>(data_[pos_ + 3]) << 24);
  pos_ += 4;
  return v;
}

uint32_t BitReader::ubits(unsigned n) {
  uint32_t v = 0;
  for (unsigned i = 0; i < n; ++i) {
    if (bitCount_ == 0) {
      if (!need(1)) return 0;
      bitBuffer_ = data_[pos_++];
      bitCount_ = 8;
    }
    --bitCount_;
    v = (v << 1) | ((bitBuffer_ >> bitCount_) & 1u);
  }
  return v;
}

int32_t BitReader::sbits(unsigned n) {
  if (n == 0) return 0;
  uint32_t v = ubits(n);
  if (n < 32 && (v & (1u << (n - 1)))) v |= ~0u << n;  // sign-extend
  return static_cast<int32_t>(v);
}

void BitReader::skip(size_t n) {
  align();
  if (need(n)) pos_ += n;
}

std::string BitReader::cstring() {
  align();
  std::string s;
  while (need(1)) {
    char c = static_cast<char>(data_[pos_++]);
    if (c == '\0') return s;
    s.push_back(c);
  }
  return s;
}

void BitWriter::align() {
  if (bitCount_ > 0) {
    out_.push_back(static_cast<uint8_t>(bitBuffer_ << (8 - bitCount_)));
    bitBuffer_ = 0;
    bitCount_ = 0;
  }
}

void BitWriter::u8(uint8_t v) {
  align();
  out_.push_back(v);
}

void BitWriter::u16(uint16_t v) {
  u8(static_cast<uint8_t>(v & 0xFF));
  u8(static_cast<uint8_t>(v >> 8));
}

void BitWriter::u32(uint32_t v) {
  u16(static_cast<uint16_t>(v & 0xFFFF));
  u16(static_cast<uint16_t>(v >> 16));
}

void BitWriter::ubits(uint32_t v, unsigned n) {
  for (unsigned i = n; i-- > 0;) {
    bitBuffer_ = static_cast<uint8_t>((bitBuffer_ << 1) | ((v >> i) & 1u));
    if (++bitCount_ == 8) {
      out_.push_back(bitBuffer_);
      bitBuffer_ = 0;
      bitCount_ = 0;
    }
  }
}

void BitWriter::sbits(int32_t v, unsigned n) { ubits(static_cast<uint32_t>(v), n); }

void BitWriter::bytes(const std::vector<uint8_t>& b) {
  align();
  out_.insert(out_.end(), b.begin(), b.end());
}

unsigned unsignedBitsFor(uint32_t v) {
  unsigned n = 0;
  while (v) {
    ++n;
    v >>= 1;
  }
  return n;
}

unsigned signedBitsFor(int32_t v) {
  uint32_t magnitude = v < 0 ? ~static_cast<uint32_t>(v) : static_cast<uint32_t>(v);
  return unsignedBitsFor(magnitude) + 1;
}

}  // namespace swf
