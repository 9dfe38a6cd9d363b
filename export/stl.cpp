#include "export/stl.h"

#include <cmath>
#include <cstring>

namespace {

constexpr std::size_t kHeaderBytes = 80;
constexpr std::size_t kFacetBytes = 50;
// A header that starts with "solid" makes some readers take the file for
// ASCII STL.
const char kHeader[] = "Kelvra relief, millimetres";

void PutWord(std::uint32_t word, std::uint8_t*& out) {
  for (int shift = 0; shift < 32; shift += 8) *out++ = static_cast<std::uint8_t>(word >> shift);
}

void PutFloat(float value, std::uint8_t*& out) {
  std::uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  PutWord(bits, out);
}

// The unit normal of triangle abc by the right-hand rule; zero for a
// triangle without area.
void FacetNormal(const float* a, const float* b, const float* c, float normal[3]) {
  const double u[3] = {double(b[0]) - a[0], double(b[1]) - a[1], double(b[2]) - a[2]};
  const double v[3] = {double(c[0]) - a[0], double(c[1]) - a[1], double(c[2]) - a[2]};
  const double n[3] = {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2],
                       u[0] * v[1] - u[1] * v[0]};
  const double length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
  for (int k = 0; k < 3; ++k) normal[k] = length > 0 ? static_cast<float>(n[k] / length) : 0.0f;
}

}  // namespace

std::vector<std::uint8_t> ReliefStl(const ReliefSolid& solid) {
  const std::size_t facets = solid.triangles.size() / 3;
  std::vector<std::uint8_t> bytes(kHeaderBytes + 4 + facets * kFacetBytes, 0);
  std::memcpy(bytes.data(), kHeader, sizeof kHeader - 1);
  std::uint8_t* out = bytes.data() + kHeaderBytes;
  PutWord(static_cast<std::uint32_t>(facets), out);
  for (std::size_t f = 0; f < facets; ++f) {
    const float* corner[3];
    for (int k = 0; k < 3; ++k) corner[k] = &solid.positions[3 * solid.triangles[3 * f + k]];
    float normal[3];
    FacetNormal(corner[0], corner[1], corner[2], normal);
    for (float value : normal) PutFloat(value, out);
    for (const float* point : corner)
      for (int k = 0; k < 3; ++k) PutFloat(point[k], out);
    out += 2;  // the attribute word stays 0
  }
  return bytes;
}
