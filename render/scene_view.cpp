#include "render/scene_view.h"

#include <cstring>
#include <type_traits>

namespace {

// Fields are compared by their bits: a float that stays NaN is the same
// value, and a redraw is due only when something really changed. A Vec4's
// cached length is not part of its value.
bool SameValue(const Vec4& a, const Vec4& b) {
  const float va[4] = {a.x, a.y, a.z, a.w}, vb[4] = {b.x, b.y, b.z, b.w};
  return std::memcmp(va, vb, sizeof va) == 0;
}

template <typename T>
bool SameValue(const T& a, const T& b) {
  static_assert(std::is_trivially_copyable_v<T>, "a view holds plain values");
  return std::memcmp(&a, &b, sizeof(T)) == 0;
}

// The field of `other` at the place `field` has in `view`.
template <typename T>
const T& SameFieldOf(const SceneView& other, const SceneView& view, const T& field) {
  const auto offset = reinterpret_cast<const char*>(&field) - reinterpret_cast<const char*>(&view);
  return *reinterpret_cast<const T*>(reinterpret_cast<const char*>(&other) + offset);
}

}  // namespace

ViewChange CompareViews(const SceneView& drawn, const SceneView& now) {
  ViewChange change;
  VisitViewFields(now, [&](const auto& field, ViewPart part) {
    if (part == ViewPart::kNone || SameValue(field, SameFieldOf(drawn, now, field))) return;
    change.any = true;
    change.still |= part == ViewPart::kStill;
    change.painted |= part == ViewPart::kPainted;
    change.selection |= part == ViewPart::kSelection;
  });
  return change;
}
