#include "image/vector_paths.h"

namespace {

VectorPath WidestAvailable() {
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
  // Checks the operating system saves the wide registers too, not only
  // that the processor has the instructions.
  if (__builtin_cpu_supports("avx2")) return VectorPath::kAvx2;
#endif
#ifdef __x86_64__
  return VectorPath::kSse2;
#else
  return VectorPath::kPlain;
#endif
}

VectorPath& Active() {
  static VectorPath path = WidestAvailable();
  return path;
}

}  // namespace

bool VectorPathAvailable(VectorPath path) {
  return static_cast<int>(path) <= static_cast<int>(WidestAvailable());
}

VectorPath ActiveVectorPath() { return Active(); }

void UseVectorPathForTesting(VectorPath path) {
  const VectorPath widest = WidestAvailable();
  Active() = static_cast<int>(path) <= static_cast<int>(widest) ? path : widest;
}
