#pragma once
// Little-endian numbers into and out of byte arrays: the binary entries of a
// painting file. The writer notes whether every float it wrote was finite;
// the reader never reads past its end and says so instead.

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "common/vec4.h"

// The file's byte order is little-endian; on such a machine arrays of
// floats are copied as they lie in memory.
constexpr bool kHostIsLittleEndian = __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__;

class ByteWriter {
 public:
  explicit ByteWriter(std::vector<std::uint8_t>& out) : out_(out) {}

  void U32(std::uint32_t v) {
    const std::uint8_t bytes[4] = {std::uint8_t(v), std::uint8_t(v >> 8), std::uint8_t(v >> 16),
                                   std::uint8_t(v >> 24)};
    out_.insert(out_.end(), bytes, bytes + 4);
  }
  void I32(std::int32_t v) { U32(static_cast<std::uint32_t>(v)); }
  void F32(float v) {
    finite_ = finite_ && std::isfinite(v);
    std::uint32_t bits;
    std::memcpy(&bits, &v, 4);
    U32(bits);
  }
  // x, y, z, w: the cached length is not part of a vector's value.
  void Vec(const Vec4& v) {
    F32(v.x);
    F32(v.y);
    F32(v.z);
    F32(v.w);
  }
  void Floats(const float* values, std::size_t count) {
    if (count == 0) return;  // an empty array may have no storage
    if (!kHostIsLittleEndian) {
      for (std::size_t i = 0; i < count; ++i) F32(values[i]);
      return;
    }
    for (std::size_t i = 0; i < count; ++i) finite_ = finite_ && std::isfinite(values[i]);
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(values);
    out_.insert(out_.end(), bytes, bytes + count * sizeof(float));
  }
  void Raw(const std::uint8_t* bytes, std::size_t count) {
    out_.insert(out_.end(), bytes, bytes + count);
  }
  // Whether every float written so far was finite.
  bool Finite() const { return finite_; }

 private:
  std::vector<std::uint8_t>& out_;
  bool finite_ = true;
};

// Reads from a span; every read checks that the bytes are there, and the
// first failure stops all later reads (they return zeros), so a decoder
// reads a record straight through and asks Failed() at the points where a
// value decides what follows.
class ByteReader {
 public:
  ByteReader(const std::uint8_t* data, std::size_t size) : at_(data), end_(data + size) {}

  std::size_t Left() const { return static_cast<std::size_t>(end_ - at_); }
  const std::uint8_t* Here() const { return at_; }
  // Moves past `count` bytes (failing when they are not there).
  void Skip(std::size_t count) {
    if (Holds(count, 1)) at_ += count;
  }
  bool Failed() const { return failed_; }
  // True when `count` items of `itemBytes` each are still there; marks the
  // reader failed otherwise. Ask before allocating for a count read from
  // the file: the file must hold what it counts.
  bool Holds(std::uint64_t count, std::size_t itemBytes) {
    if (!failed_ && count <= Left() / itemBytes) return true;
    failed_ = true;
    return false;
  }
  std::uint32_t U32() {
    if (!Holds(1, 4)) return 0;
    const std::uint32_t v = std::uint32_t(at_[0]) | std::uint32_t(at_[1]) << 8 |
                            std::uint32_t(at_[2]) << 16 | std::uint32_t(at_[3]) << 24;
    at_ += 4;
    return v;
  }
  std::int32_t I32() { return static_cast<std::int32_t>(U32()); }
  float F32() {
    const std::uint32_t bits = U32();
    float v;
    std::memcpy(&v, &bits, 4);
    finite_ = finite_ && std::isfinite(v);
    return v;
  }
  Vec4 Vec() {
    Vec4 v;
    v.x = F32();
    v.y = F32();
    v.z = F32();
    v.w = F32();
    return v;
  }
  // `count` floats; the caller has checked Holds(count, 4).
  void Floats(float* values, std::size_t count) {
    // An empty array may have no storage: memcpy must not see its null.
    if (count == 0 || !Holds(count, sizeof(float))) return;
    if (!kHostIsLittleEndian) {
      for (std::size_t i = 0; i < count; ++i) values[i] = F32();
      return;
    }
    std::memcpy(values, at_, count * sizeof(float));
    at_ += count * sizeof(float);
    for (std::size_t i = 0; i < count; ++i) finite_ = finite_ && std::isfinite(values[i]);
  }
  // Whether every float read so far was finite.
  bool Finite() const { return finite_; }

 private:
  const std::uint8_t* at_;
  const std::uint8_t* end_;
  bool failed_ = false;
  bool finite_ = true;
};
