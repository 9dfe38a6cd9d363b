#include "stroke/edge_index.h"

#include <algorithm>

namespace {

// No edge has this pair: vertex indices are below 2^31.
constexpr std::uint64_t kEmpty = ~std::uint64_t{0};

bool Holds(std::uint32_t low, std::uint32_t high, std::uint64_t key) {
  return ((std::uint64_t(low) << 32) | high) == key;
}

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
  if (slots > entries_.size()) Grow(slots);
}

void EdgeIndex::Clear() {
  for (Entry& entry : entries_) entry.low = entry.high = ~0u;
  size_ = 0;
}

int EdgeIndex::Find(int a, int b) const {
  const std::uint64_t key = Key(a, b);
  if (entries_.empty() || key == kEmpty) return -1;
  const std::size_t mask = entries_.size() - 1;
  for (std::size_t slot = Slot(key);; slot = (slot + 1) & mask) {
    const Entry& entry = entries_[slot];
    if (Holds(entry.low, entry.high, key)) return entry.number;
    if (Holds(entry.low, entry.high, kEmpty)) return -1;
  }
}

int EdgeIndex::Insert(int a, int b, int number, bool& inserted) {
  if (2 * (size_ + 1) > entries_.size()) Grow(entries_.empty() ? 16 : 2 * entries_.size());
  const std::uint64_t key = Key(a, b);
  inserted = false;
  if (key == kEmpty) return -1;  // not an edge of any face
  const std::size_t mask = entries_.size() - 1;
  std::size_t slot = Slot(key);
  for (; !Holds(entries_[slot].low, entries_[slot].high, kEmpty); slot = (slot + 1) & mask) {
    if (Holds(entries_[slot].low, entries_[slot].high, key)) return entries_[slot].number;
  }
  entries_[slot] = Entry{std::uint32_t(key >> 32), std::uint32_t(key), number};
  ++size_;
  inserted = true;
  return number;
}

void EdgeIndex::Prefetch(int a, int b) const {
  if (entries_.empty()) return;
  __builtin_prefetch(&entries_[Slot(Key(a, b))]);
}

void EdgeIndex::Grow(std::size_t slots) {
  LargeArray<Entry> old;
  old.swap(entries_);
  entries_.assign(slots, Entry{~0u, ~0u, 0});
  shift_ = 64;
  for (std::size_t s = slots; s > 1; s /= 2) --shift_;
  const std::size_t mask = slots - 1;
  for (const Entry& entry : old) {
    if (Holds(entry.low, entry.high, kEmpty)) continue;
    std::size_t slot = Slot((std::uint64_t(entry.low) << 32) | entry.high);
    while (!Holds(entries_[slot].low, entries_[slot].high, kEmpty)) slot = (slot + 1) & mask;
    entries_[slot] = entry;
  }
}
