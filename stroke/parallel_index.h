#pragma once
// Segments of many strokes keyed by the direction of their line, to find
// the pairs, from different strokes, whose directions agree to within the
// sum of two windows, one per segment. The collision check tests those
// pairs even when their boxes are far apart (see CheckCollisions).
//
// A direction is folded to a half-turn (a segment and its reverse lie on
// one line) and measured as a pseudo-angle in [0, 2): 0 along +x, 1 along
// +y, and towards 2 along −x again. Between any two directions it differs
// by at most the angle between them, in radians, going the short way
// round.

#include <utility>
#include <vector>

#include "common/vec4.h"

struct SegmentRef {
  int stroke, segment;
};

class ParallelIndex {
 public:
  // Forgets every segment. A segment's window will be `windowScale` over
  // the longer side of its box, plus a little for the rounding of its
  // pseudo-angle.
  void Reset(double windowScale);
  // Appends to `partners` every segment of another stroke added before
  // whose window overlaps that of segment a → b (x, y used), then adds it.
  // Zero-length segments are neither added nor paired; neither are two
  // segments that both run exactly along x, or both exactly along y. The
  // same segment may be added again after it moved: the old entry stays
  // and only ever adds partners.
  void Add(int stroke, int segment, const Vec4& a, const Vec4& b,
           std::vector<SegmentRef>& partners);
  // The same for many segments at once, right after Reset: each is filed
  // without looking for partners, then PairFiled appends every pair among
  // them that Add would have reported, once each, in no particular order.
  // Much faster than adding one by one: the pairs are found cell by cell
  // in memory order.
  void File(int stroke, int segment, const Vec4& a, const Vec4& b);
  void PairFiled(std::vector<std::pair<SegmentRef, SegmentRef>>& pairs);
  // The pseudo-angle of direction (dx, dy), not both 0.
  static double PseudoAngle(double dx, double dy);

 private:
  enum Kind : unsigned char { kSlanted, kAlongX, kAlongY };
  struct Entry {
    double angle, window;
    int stroke, segment;
    Kind kind;
  };
  struct Link {
    int entry, next;  // next: the cell's next link, or -1
  };

  // The entry for segment a → b, or false for a zero-length one.
  bool MakeEntry(int stroke, int segment, const Vec4& a, const Vec4& b, Entry& entry) const;
  // The cells of the pseudo-angle that the entry's window touches, unwrapped
  // (first may be below 0, last past the end); false when too many.
  static bool CellRange(const Entry& entry, int& first, int& last);
  static bool Partners(const Entry& p, const Entry& q);
  void Pair(const Entry& added, const Entry& other, std::vector<SegmentRef>& partners) const;
  // Files entry `index` in its list, or in the cells first..last.
  void Keep(int index, bool filed, int first, int last);

  double windowScale_ = 0.0;
  std::vector<Entry> entries_;
  // Slanted segments, linked into the cells of the pseudo-angle that their
  // windows touch, unless those are too many; the others in lists.
  std::vector<int> cellHeads_;
  std::vector<Link> links_;
  std::vector<int> wide_, alongX_, alongY_;
  std::vector<std::pair<int, int>> filedCells_;  // per entry while filing: first..last, or last < first
  double alongXWindow_ = 0.0, alongYWindow_ = 0.0;  // the widest of each list
};
