#include "image/rgba_picture.h"

#include <algorithm>

namespace {

// `length` × size / longest, rounded, at least 1.
int Scaled(int length, int size, int longest) {
  const std::int64_t scaled = (std::int64_t{length} * size + longest / 2) / longest;
  return static_cast<int>(std::max<std::int64_t>(1, scaled));
}

// The source rows (or columns) [first, last) that row (or column) `at` of
// `count` covers.
struct Span {
  int first, last;
};
Span SpanOf(int at, int count, int sourceCount) {
  const int first = static_cast<int>(std::int64_t{at} * sourceCount / count);
  const int last = static_cast<int>(std::int64_t{at + 1} * sourceCount / count);
  return {first, std::max(first + 1, last)};
}

std::uint8_t RoundedQuotient(std::uint64_t sum, std::uint64_t count) {
  return static_cast<std::uint8_t>((sum + count / 2) / count);
}

// The alpha-weighted average of the box `rows` × `columns` into `out`.
void AverageBox(const RgbaPicture& picture, Span rows, Span columns, std::uint8_t* out) {
  std::uint64_t weighted[3] = {0, 0, 0};
  std::uint64_t alpha = 0;
  for (int y = rows.first; y < rows.last; ++y) {
    const std::uint8_t* pixel =
        &picture.pixels[(std::size_t(y) * picture.width + columns.first) * 4];
    for (int x = columns.first; x < columns.last; ++x, pixel += 4) {
      for (int c = 0; c < 3; ++c) weighted[c] += std::uint64_t{pixel[c]} * pixel[3];
      alpha += pixel[3];
    }
  }
  const std::uint64_t count =
      std::uint64_t(rows.last - rows.first) * std::uint64_t(columns.last - columns.first);
  for (int c = 0; c < 3; ++c) out[c] = alpha ? RoundedQuotient(weighted[c], alpha) : 0;
  out[3] = RoundedQuotient(alpha, count);
}

}  // namespace

RgbaPicture FitWithin(const RgbaPicture& picture, int size) {
  const int longest = std::max(picture.width, picture.height);
  if (longest <= size) return picture;
  RgbaPicture fitted;
  fitted.width = Scaled(picture.width, size, longest);
  fitted.height = Scaled(picture.height, size, longest);
  fitted.pixels.resize(std::size_t(fitted.width) * fitted.height * 4);
  std::uint8_t* out = fitted.pixels.data();
  for (int y = 0; y < fitted.height; ++y) {
    const Span rows = SpanOf(y, fitted.height, picture.height);
    for (int x = 0; x < fitted.width; ++x, out += 4)
      AverageBox(picture, rows, SpanOf(x, fitted.width, picture.width), out);
  }
  return fitted;
}
