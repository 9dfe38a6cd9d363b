#include "stroke/edge_index.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <random>
#include <utility>

// Against an ordered map on random vertex pairs, through several growths,
// a clear and pairs given in both orders: every edge keeps the number it
// first got, and pairs never inserted are not found.
TEST(EdgeIndex, AgreesWithAMapThroughGrowthAndClear) {
  std::mt19937 random(3);
  EdgeIndex index;
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);
    std::map<std::pair<int, int>, int> expected;
    for (int i = 0; i < 50000; ++i) {
      const int a = static_cast<int>(random() % 3000), b = static_cast<int>(random() % 3000);
      const std::pair<int, int> key(std::min(a, b), std::max(a, b));
      const bool isNew = expected.emplace(key, static_cast<int>(expected.size())).second;
      bool inserted = false;
      const int number =
          index.Insert(i % 2 ? a : b, i % 2 ? b : a, isNew ? expected[key] : -5, inserted);
      ASSERT_EQ(inserted, isNew);
      ASSERT_EQ(number, expected[key]);
    }
    EXPECT_EQ(index.Size(), expected.size());
    for (const auto& [key, number] : expected) {
      ASSERT_EQ(index.Find(key.second, key.first), number);
    }
    EXPECT_EQ(index.Find(3000, 1), -1);
    EXPECT_EQ(index.Find(-1, -1), -1);
    index.Clear();
    EXPECT_EQ(index.Size(), 0u);
    EXPECT_EQ(index.Find(expected.begin()->first.first, expected.begin()->first.second), -1);
  }
  EXPECT_EQ(EdgeIndex().Find(0, 1), -1) << "an empty index finds nothing";
}
