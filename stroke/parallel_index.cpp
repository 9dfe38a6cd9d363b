#include "stroke/parallel_index.h"

#include <algorithm>
#include <cmath>
#include <tuple>

namespace {

constexpr int kCells = 1 << 16;
constexpr double kCellWidth = 2.0 / kCells;
// Far more than the rounding of a pseudo-angle computed from two float
// differences (a few units of 2^-53).
constexpr double kAngleSlack = 0x1p-40;
// A window over more cells than this is not filed in cells: its segment is
// paired by a scan of every entry, and every later one looks at it.
constexpr int kMostCells = 64;

// The distance between two pseudo-angles the short way round.
double AngleDistance(double p, double q) {
  const double d = std::fabs(p - q);
  return std::min(d, 2.0 - d);
}

}  // namespace

double ParallelIndex::PseudoAngle(double dx, double dy) {
  if (dy < 0.0 || (dy == 0.0 && dx < 0.0)) {
    dx = -dx;
    dy = -dy;
  }
  const double angle = 1.0 - dx / (std::fabs(dx) + dy);
  return angle < 2.0 ? angle : 0.0;  // nearly along −x rounds to 2, which is 0 again
}

void ParallelIndex::Reset(double windowScale) {
  windowScale_ = windowScale;
  entries_.clear();
  links_.clear();
  cellHeads_.assign(kCells, -1);
  wide_.clear();
  alongX_.clear();
  alongY_.clear();
  alongXWindow_ = alongYWindow_ = 0.0;
}

void ParallelIndex::Pair(const Entry& added, const Entry& other,
                         std::vector<SegmentRef>& partners) const {
  if (other.stroke == added.stroke) return;
  if (added.kind != kSlanted && added.kind == other.kind) return;
  if (AngleDistance(added.angle, other.angle) > added.window + other.window) return;
  partners.push_back({other.stroke, other.segment});
}

void ParallelIndex::Add(int stroke, int segment, const Vec4& a, const Vec4& b,
                        std::vector<SegmentRef>& partners) {
  const double dx = double(b.x) - double(a.x), dy = double(b.y) - double(a.y);
  if (dx == 0.0 && dy == 0.0) return;
  Entry entry;
  entry.kind = dy == 0.0 ? kAlongX : dx == 0.0 ? kAlongY : kSlanted;
  entry.angle = PseudoAngle(dx, dy);
  entry.window = windowScale_ / std::max(std::fabs(dx), std::fabs(dy)) + kAngleSlack;
  entry.stroke = stroke;
  entry.segment = segment;

  // Slanted entries are filed in every cell their window touches, so two
  // whose windows overlap share a cell. Along x and along y they have lists
  // of their own (pairs within one are never reported, and the list can be
  // long), looked at only from near their pseudo-angles 0 and 1.
  // The slack once more on either side: a cell border within rounding of
  // a window's end cannot separate two windows that the test finds meet.
  const double first = std::floor((entry.angle - entry.window - kAngleSlack) / kCellWidth);
  const double last = std::floor((entry.angle + entry.window + kAngleSlack) / kCellWidth);
  const bool filed = !(last - first >= kMostCells);  // also false for an infinite window
  const std::size_t reported = partners.size();
  if (!filed) {
    for (const Entry& other : entries_) Pair(entry, other, partners);
  } else {
    for (int c = static_cast<int>(first); c <= static_cast<int>(last); ++c)
      for (int link = cellHeads_[(c + kCells) % kCells]; link >= 0; link = links_[link].next)
        Pair(entry, entries_[links_[link].entry], partners);
    for (int i : wide_) Pair(entry, entries_[i], partners);
    if (entry.kind != kAlongX && AngleDistance(entry.angle, 0.0) <= entry.window + alongXWindow_)
      for (int i : alongX_) Pair(entry, entries_[i], partners);
    if (entry.kind != kAlongY && AngleDistance(entry.angle, 1.0) <= entry.window + alongYWindow_)
      for (int i : alongY_) Pair(entry, entries_[i], partners);
    // A window across a cell border meets a partner in both cells.
    std::sort(partners.begin() + reported, partners.end(),
              [](const SegmentRef& p, const SegmentRef& q) {
                return std::tie(p.stroke, p.segment) < std::tie(q.stroke, q.segment);
              });
    partners.erase(std::unique(partners.begin() + reported, partners.end(),
                               [](const SegmentRef& p, const SegmentRef& q) {
                                 return p.stroke == q.stroke && p.segment == q.segment;
                               }),
                   partners.end());
  }

  const int index = static_cast<int>(entries_.size());
  entries_.push_back(entry);
  if (entry.kind == kAlongX) {
    alongX_.push_back(index);
    alongXWindow_ = std::max(alongXWindow_, entry.window);
  } else if (entry.kind == kAlongY) {
    alongY_.push_back(index);
    alongYWindow_ = std::max(alongYWindow_, entry.window);
  } else if (!filed) {
    wide_.push_back(index);
  } else {
    for (int c = static_cast<int>(first); c <= static_cast<int>(last); ++c) {
      int& head = cellHeads_[(c + kCells) % kCells];
      links_.push_back({index, head});
      head = static_cast<int>(links_.size()) - 1;
    }
  }
}
