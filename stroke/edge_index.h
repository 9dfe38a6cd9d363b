#pragma once
// The subdivision's index from an edge's two vertex indices, in either
// order, to its edge number. An open-addressing table in two flat arrays:
// a level with millions of edges costs no allocation per edge, and a lookup
// is one multiply and, mostly, one probe.

#include <cstddef>
#include <cstdint>

#include "common/large_array.h"

class EdgeIndex {
 public:
  // Room for `edges` edges without growing.
  void Reserve(std::size_t edges);
  // Forgets every edge; keeps the room.
  void Clear();
  // The number stored for the edge joining a and b, or -1.
  int Find(int a, int b) const;
  // Stores `number` for the edge joining a and b unless it has one already.
  // Returns the edge's number afterwards, and whether it was new.
  int Insert(int a, int b, int number, bool& inserted);
  std::size_t Size() const { return size_; }

 private:
  std::size_t Slot(std::uint64_t key) const;
  void Grow(std::size_t slots);

  LargeArray<std::uint64_t> keys_;  // kEmpty, or the edge's vertex pair
  LargeArray<int> numbers_;
  std::size_t size_ = 0;
  int shift_ = 64;  // 64 − log2(slots)
};
