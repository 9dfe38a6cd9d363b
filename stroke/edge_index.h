#pragma once
// The subdivision's index from an edge's two vertex indices, in either
// order, to its edge number. An open-addressing table in one flat array:
// a level with millions of edges costs no allocation per edge, and a lookup
// is one multiply and, mostly, one probe, the pair and its number in one
// cache line.

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
  // Asks the processor to fetch the slot of the edge joining a and b, for a
  // Find or Insert of it a little later. Changes nothing.
  void Prefetch(int a, int b) const;
  std::size_t Size() const { return size_; }
  // The memory the table holds, room included.
  std::size_t Bytes() const { return entries_.capacity() * sizeof(Entry); }

 private:
  // 12 bytes: the pair as two halves keeps the entry free of padding.
  struct Entry {
    std::uint32_t low, high;  // the vertex pair, low < high; kEmpty's halves when free
    int number;
  };

  std::size_t Slot(std::uint64_t key) const;
  void Grow(std::size_t slots);

  LargeArray<Entry> entries_;
  std::size_t size_ = 0;
  int shift_ = 64;  // 64 − log2(slots)
};
