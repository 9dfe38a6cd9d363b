#include "stroke/edge_index.h"

#include <algorithm>

namespace {

// No edge has this pair: vertex indices are below 2^31.
constexpr std::uint64_t kEmpty = ~std::uint64_t{0};

std::uint64_t Key(int a, int b) {
  const std::uint32_t low = static_cast<std::uint32_t>(a < b ? a : b);
  const std::uint32_t high = static_cast<std::uint32_t>(a < b ? b : a);
  return (std::uint64_t(low) << 32) | high;
}

}  // namespace

std::size_t EdgeIndex::Slot(std::uint64_t key) const {
  // Fibonacci hashing: the top bits of key × 2^64/φ spread neighbouring
  // vertex pairs over the whole table.
  return static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ull) >> shift_);
}

void EdgeIndex::Reserve(std::size_t edges) {
  std::size_t slots = 16;
  while (slots < 2 * edges) slots *= 2;  // at most half full
  if (slots > keys_.size()) Grow(slots);
}

void EdgeIndex::Clear() {
  std::fill(keys_.begin(), keys_.end(), kEmpty);
  size_ = 0;
}

int EdgeIndex::Find(int a, int b) const {
  const std::uint64_t key = Key(a, b);
  if (keys_.empty() || key == kEmpty) return -1;
  const std::size_t mask = keys_.size() - 1;
  for (std::size_t slot = Slot(key);; slot = (slot + 1) & mask) {
    if (keys_[slot] == key) return numbers_[slot];
    if (keys_[slot] == kEmpty) return -1;
  }
}

int EdgeIndex::Insert(int a, int b, int number, bool& inserted) {
  if (2 * (size_ + 1) > keys_.size()) Grow(keys_.empty() ? 16 : 2 * keys_.size());
  const std::uint64_t key = Key(a, b);
  inserted = false;
  if (key == kEmpty) return -1;  // not an edge of any face
  const std::size_t mask = keys_.size() - 1;
  std::size_t slot = Slot(key);
  for (; keys_[slot] != kEmpty; slot = (slot + 1) & mask) {
    if (keys_[slot] == key) return numbers_[slot];
  }
  keys_[slot] = key;
  numbers_[slot] = number;
  ++size_;
  inserted = true;
  return number;
}

void EdgeIndex::Grow(std::size_t slots) {
  LargeArray<std::uint64_t> oldKeys;
  LargeArray<int> oldNumbers;
  oldKeys.swap(keys_);
  oldNumbers.swap(numbers_);
  keys_.assign(slots, kEmpty);
  numbers_.resize(slots);
  shift_ = 64;
  for (std::size_t s = slots; s > 1; s /= 2) --shift_;
  const std::size_t mask = slots - 1;
  for (std::size_t old = 0; old < oldKeys.size(); ++old) {
    if (oldKeys[old] == kEmpty) continue;
    std::size_t slot = Slot(oldKeys[old]);
    while (keys_[slot] != kEmpty) slot = (slot + 1) & mask;
    keys_[slot] = oldKeys[old];
    numbers_[slot] = oldNumbers[old];
  }
}
