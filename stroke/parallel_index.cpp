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
  filedCells_.clear();
  alongXWindow_ = alongYWindow_ = 0.0;
}

bool ParallelIndex::MakeEntry(int stroke, int segment, const Vec4& a, const Vec4& b,
                              Entry& entry) const {
  const double dx = double(b.x) - double(a.x), dy = double(b.y) - double(a.y);
  if (dx == 0.0 && dy == 0.0) return false;
  entry.kind = dy == 0.0 ? kAlongX : dx == 0.0 ? kAlongY : kSlanted;
  entry.angle = PseudoAngle(dx, dy);
  entry.window = windowScale_ / std::max(std::fabs(dx), std::fabs(dy)) + kAngleSlack;
  entry.stroke = stroke;
  entry.segment = segment;
  return true;
}

bool ParallelIndex::CellRange(const Entry& entry, int& first, int& last) {
  // The slack once more on either side: a cell border within rounding of
  // a window's end cannot separate two windows that Partners finds meet.
  const double low = std::floor((entry.angle - entry.window - kAngleSlack) / kCellWidth);
  const double high = std::floor((entry.angle + entry.window + kAngleSlack) / kCellWidth);
  if (!(high - low < kMostCells)) return false;  // also for an infinite window
  first = static_cast<int>(low);
  last = static_cast<int>(high);
  return true;
}

bool ParallelIndex::Partners(const Entry& p, const Entry& q) {
  if (p.stroke == q.stroke) return false;
  if (p.kind != kSlanted && p.kind == q.kind) return false;
  return AngleDistance(p.angle, q.angle) <= p.window + q.window;
}

void ParallelIndex::Pair(const Entry& added, const Entry& other,
                         std::vector<SegmentRef>& partners) const {
  if (Partners(added, other)) partners.push_back({other.stroke, other.segment});
}

void ParallelIndex::Keep(int index, bool filed, int first, int last) {
  const Entry& entry = entries_[index];
  if (entry.kind == kAlongX) {
    alongX_.push_back(index);
    alongXWindow_ = std::max(alongXWindow_, entry.window);
  } else if (entry.kind == kAlongY) {
    alongY_.push_back(index);
    alongYWindow_ = std::max(alongYWindow_, entry.window);
  } else if (!filed) {
    wide_.push_back(index);
  } else {
    for (int c = first; c <= last; ++c) {
      int& head = cellHeads_[(c + kCells) % kCells];
      links_.push_back({index, head});
      head = static_cast<int>(links_.size()) - 1;
    }
  }
}

void ParallelIndex::Add(int stroke, int segment, const Vec4& a, const Vec4& b,
                        std::vector<SegmentRef>& partners) {
  Entry entry;
  if (!MakeEntry(stroke, segment, a, b, entry)) return;
  // Slanted entries are filed in every cell their window touches, so two
  // whose windows overlap share a cell. Along x and along y they have lists
  // of their own (pairs within one are never reported, and the list can be
  // long), looked at only from near their pseudo-angles 0 and 1.
  int first = 0, last = -1;
  const bool filed = CellRange(entry, first, last);
  const std::size_t reported = partners.size();
  if (!filed) {
    for (const Entry& other : entries_) Pair(entry, other, partners);
  } else {
    for (int c = first; c <= last; ++c)
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
  entries_.push_back(entry);
  Keep(static_cast<int>(entries_.size()) - 1, filed, first, last);
}

void ParallelIndex::File(int stroke, int segment, const Vec4& a, const Vec4& b) {
  Entry entry;
  if (!MakeEntry(stroke, segment, a, b, entry)) return;
  int first = 0, last = -1;
  if (entry.kind != kSlanted || !CellRange(entry, first, last)) first = 0, last = -1;
  entries_.push_back(entry);
  filedCells_.emplace_back(first, last);
}

void ParallelIndex::PairFiled(std::vector<std::pair<SegmentRef, SegmentRef>>& pairs) {
  const std::size_t reported = pairs.size();
  const auto report = [&pairs](const Entry& p, const Entry& q) {
    const SegmentRef r{p.stroke, p.segment}, s{q.stroke, q.segment};
    if (std::tie(r.stroke, r.segment) < std::tie(s.stroke, s.segment))
      pairs.emplace_back(r, s);
    else
      pairs.emplace_back(s, r);
  };
  // Slanted entries sorted by cell, each as often as it has cells: a
  // counting sort, then every two entries of a cell compared.
  std::vector<int> cellStart(kCells + 1, 0);
  for (const auto& [first, last] : filedCells_)
    for (int c = first; c <= last; ++c) ++cellStart[(c + kCells) % kCells + 1];
  for (int c = 0; c < kCells; ++c) cellStart[c + 1] += cellStart[c];
  std::vector<Entry> byCell(cellStart[kCells]);
  std::vector<int> byCellIndex(byCell.size());
  std::vector<int> fill(cellStart.begin(), cellStart.end() - 1);
  for (std::size_t i = 0; i < filedCells_.size(); ++i)
    for (int c = filedCells_[i].first; c <= filedCells_[i].second; ++c) {
      const int at = fill[(c + kCells) % kCells]++;
      byCell[at] = entries_[i];
      byCellIndex[at] = static_cast<int>(i);
    }
  for (int c = 0; c < kCells; ++c)
    for (int p = cellStart[c]; p < cellStart[c + 1]; ++p)
      for (int q = p + 1; q < cellStart[c + 1]; ++q)
        if (Partners(byCell[p], byCell[q])) report(byCell[p], byCell[q]);

  // Along x and along y against slanted entries near them (and each other,
  // for windows of half a turn); wide entries against everything.
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    const Entry& entry = entries_[i];
    if (entry.kind == kAlongX) {
      alongX_.push_back(static_cast<int>(i));
      alongXWindow_ = std::max(alongXWindow_, entry.window);
    } else if (entry.kind == kAlongY) {
      alongY_.push_back(static_cast<int>(i));
      alongYWindow_ = std::max(alongYWindow_, entry.window);
    } else if (filedCells_[i].second < filedCells_[i].first) {
      wide_.push_back(static_cast<int>(i));
    }
  }
  for (int i : wide_)
    for (std::size_t j = 0; j < entries_.size(); ++j)
      if (Partners(entries_[i], entries_[j])) report(entries_[i], entries_[j]);
  for (const Entry& entry : entries_) {
    if (entry.kind != kAlongX && AngleDistance(entry.angle, 0.0) <= entry.window + alongXWindow_)
      for (int j : alongX_)
        if (Partners(entry, entries_[j])) report(entry, entries_[j]);
    if (entry.kind == kSlanted && AngleDistance(entry.angle, 1.0) <= entry.window + alongYWindow_)
      for (int j : alongY_)
        if (Partners(entry, entries_[j])) report(entry, entries_[j]);
  }
  std::sort(pairs.begin() + reported, pairs.end(), [](const auto& p, const auto& q) {
    return std::tie(p.first.stroke, p.first.segment, p.second.stroke, p.second.segment) <
           std::tie(q.first.stroke, q.first.segment, q.second.stroke, q.second.segment);
  });
  pairs.erase(std::unique(pairs.begin() + reported, pairs.end(),
                          [](const auto& p, const auto& q) {
                            return p.first.stroke == q.first.stroke &&
                                   p.first.segment == q.first.segment &&
                                   p.second.stroke == q.second.stroke &&
                                   p.second.segment == q.second.segment;
                          }),
              pairs.end());

  // The cells' links laid out in cell order, for the Adds to come.
  links_.resize(byCell.size());
  for (int c = 0; c < kCells; ++c) {
    const int begin = cellStart[c], end = cellStart[c + 1];
    cellHeads_[c] = begin < end ? begin : -1;
    for (int p = begin; p < end; ++p) links_[p] = {byCellIndex[p], p + 1 < end ? p + 1 : -1};
  }
  filedCells_.clear();
}
