#include "common/large_array.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "common/vec4.h"

// Growing element by element crosses from heap blocks to mapped ones and
// back when shrunk: every element must survive each move.
TEST(LargeArray, KeepsContentsAcrossHeapAndMappedBlocks) {
  LargeArray<std::uint32_t> values;
  const std::uint32_t count = 3u << 20;  // 12 MiB: past the mapping threshold
  for (std::uint32_t i = 0; i < count; ++i) values.push_back(i * 2654435761u);
  for (std::uint32_t i = 0; i < count; i += 4097) ASSERT_EQ(values[i], i * 2654435761u);
  EXPECT_EQ(values.back(), (count - 1) * 2654435761u);
  values.resize(1000);
  values.shrink_to_fit();
  for (std::uint32_t i = 0; i < 1000; ++i) ASSERT_EQ(values[i], i * 2654435761u);
}

TEST(LargeArray, SizedConstructionStillInitialisesClassTypes) {
  LargeArray<Vec4> vectors(1u << 20);  // 20 MiB of Vec4
  for (std::size_t i = 0; i < vectors.size(); i += 999)
    ASSERT_EQ(vectors[i].x + vectors[i].w, 0.0f);
  LargeArray<Vec4> copy = vectors;
  copy[5].Set(2.0f);
  EXPECT_EQ(std::make_pair(vectors[5].x, copy[5].y), std::make_pair(0.0f, 2.0f));
}
