// Draws Kelvra's icon: three painted relief strokes on a square of paper,
// lit from the top left, and writes it as RGBA PNG files in the hicolor
// sizes: OUT_DIR/hicolor/<n>x<n>/apps/kelvra.png.
//   make_icon OUT_DIR
// Every size is drawn at its own resolution (4 × 4 samples per pixel), not
// scaled down from the largest, so the small ones stay sharp. Deterministic.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "export/png.h"

namespace {

struct V2 {
  double x, y;
};
V2 operator+(V2 a, V2 b) { return {a.x + b.x, a.y + b.y}; }
V2 operator-(V2 a, V2 b) { return {a.x - b.x, a.y - b.y}; }
V2 operator*(double s, V2 a) { return {s * a.x, s * a.y}; }
double Dot(V2 a, V2 b) { return a.x * b.x + a.y * b.y; }

struct Rgb {
  double r, g, b;
};

// A stroke: a cubic Bézier in icon units (0–1, y down), its widest half
// width and its paint.
struct Stroke {
  std::array<V2, 4> control;
  double halfWidth;
  Rgb paint;
  std::vector<V2> samples;  // the curve as a polyline
};

V2 Bezier(const std::array<V2, 4>& c, double t) {
  const double u = 1 - t;
  return (u * u * u) * c[0] + (3 * u * u * t) * c[1] + (3 * u * t * t) * c[2] + (t * t * t) * c[3];
}

constexpr int kCurveSamples = 48;

std::vector<Stroke> Strokes() {
  std::vector<Stroke> strokes = {
      {{{{0.20, 0.33}, {0.42, 0.12}, {0.55, 0.52}, {0.80, 0.30}}}, 0.085, {0.93, 0.45, 0.12}, {}},
      {{{{0.18, 0.78}, {0.36, 0.40}, {0.62, 0.92}, {0.83, 0.55}}}, 0.095, {0.16, 0.36, 0.85}, {}},
      {{{{0.30, 0.90}, {0.45, 0.62}, {0.60, 0.45}, {0.72, 0.16}}}, 0.065, {0.20, 0.68, 0.30}, {}},
  };
  for (Stroke& s : strokes)
    for (int i = 0; i <= kCurveSamples; ++i)
      s.samples.push_back(Bezier(s.control, static_cast<double>(i) / kCurveSamples));
  return strokes;
}

// Where p meets a stroke: its distance from the centre line as a fraction s
// of the local half width (0 centre, 1 edge), and the unit direction away
// from the line. False outside the stroke.
bool Inside(const Stroke& stroke, V2 p, double* s, V2* away) {
  double best = 1e9, bestT = 0;
  V2 bestOffset{0, 0};
  for (int i = 0; i < kCurveSamples; ++i) {
    const V2 a = stroke.samples[i], b = stroke.samples[i + 1];
    const V2 ab = b - a;
    const double f = std::clamp(Dot(p - a, ab) / std::max(Dot(ab, ab), 1e-12), 0.0, 1.0);
    const V2 offset = p - (a + f * ab);
    const double d = std::sqrt(Dot(offset, offset));
    if (d < best) {
      best = d;
      bestT = (i + f) / kCurveSamples;
      bestOffset = offset;
    }
  }
  // A brush that lands, swells and lifts off.
  const double width = stroke.halfWidth * std::pow(std::sin(M_PI * (0.06 + 0.88 * bestT)), 0.6);
  if (best >= width) return false;
  *s = best / width;
  *away = best > 1e-9 ? (1 / best) * bestOffset : V2{0, 0};
  return true;
}

// The colour of one sample point, with its coverage in alpha.
struct Rgba {
  double r, g, b, a;
};

Rgba Shade(const std::vector<Stroke>& strokes, V2 p) {
  // The paper: a square with rounded corners inside a small margin.
  constexpr double kMargin = 0.04, kCorner = 0.16;
  const V2 q{std::max(std::fabs(p.x - 0.5) - (0.5 - kMargin - kCorner), 0.0),
             std::max(std::fabs(p.y - 0.5) - (0.5 - kMargin - kCorner), 0.0)};
  const double corner = std::sqrt(Dot(q, q));
  if (corner > kCorner) return {0, 0, 0, 0};
  const bool rim = corner > kCorner - 0.012;

  // Light from the top left and the viewer; the relief is a rounded ridge.
  const double lx = -0.45, ly = -0.55, lz = 0.70;
  for (auto stroke = strokes.rbegin(); stroke != strokes.rend(); ++stroke) {
    double s;
    V2 away;
    if (!Inside(*stroke, p, &s, &away)) continue;
    const double nx = away.x * s * 0.85, ny = away.y * s * 0.85;
    const double nz = std::sqrt(std::max(1 - nx * nx - ny * ny, 0.0));
    const double diffuse = std::max(nx * lx + ny * ly + nz * lz, 0.0);
    // Half vector of the light and a viewer straight above.
    const double hx = lx, hy = ly, hz = lz + 1, hl = std::sqrt(hx * hx + hy * hy + hz * hz);
    const double specular = std::pow(std::max((nx * hx + ny * hy + nz * hz) / hl, 0.0), 30);
    const double light = 0.30 + 0.80 * diffuse;
    return {std::min(stroke->paint.r * light + 0.45 * specular, 1.0),
            std::min(stroke->paint.g * light + 0.45 * specular, 1.0),
            std::min(stroke->paint.b * light + 0.45 * specular, 1.0), 1};
  }

  // Paper, a little darker where a stroke casts its shadow away from the light.
  double shadow = 1;
  double s;
  V2 away;
  const V2 back{p.x + 0.025, p.y + 0.03};
  for (const Stroke& stroke : strokes)
    if (Inside(stroke, back, &s, &away)) shadow = 0.82;
  const double grain = 0.97 + 0.03 * std::sin(p.x * 173.0) * std::sin(p.y * 211.0);
  const Rgb paper{0.97, 0.94, 0.86};
  const double tone = (rim ? 0.78 : 1.0) * shadow * grain;
  return {paper.r * tone, paper.g * tone, paper.b * tone, 1};
}

std::vector<std::uint8_t> Render(int size) {
  const std::vector<Stroke> strokes = Strokes();
  constexpr int kSub = 4;
  std::vector<std::uint8_t> rgba(static_cast<size_t>(size) * size * 4);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      // Colours are averaged weighted by coverage, so edges do not darken.
      double r = 0, g = 0, b = 0, a = 0;
      for (int sy = 0; sy < kSub; ++sy)
        for (int sx = 0; sx < kSub; ++sx) {
          const V2 p{(x + (sx + 0.5) / kSub) / size, (y + (sy + 0.5) / kSub) / size};
          const Rgba c = Shade(strokes, p);
          r += c.r * c.a;
          g += c.g * c.a;
          b += c.b * c.a;
          a += c.a;
        }
      std::uint8_t* out = &rgba[(static_cast<size_t>(y) * size + x) * 4];
      const auto byte = [](double v) {
        return static_cast<std::uint8_t>(std::lround(std::clamp(v, 0.0, 1.0) * 255));
      };
      out[0] = byte(a > 0 ? r / a : 0);
      out[1] = byte(a > 0 ? g / a : 0);
      out[2] = byte(a > 0 ? b / a : 0);
      out[3] = byte(a / (kSub * kSub));
    }
  return rgba;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_icon OUT_DIR\n");
    return 2;
  }
  namespace fs = std::filesystem;
  for (int size : {16, 32, 48, 64, 128, 256}) {
    const fs::path folder = fs::path(argv[1]) / "hicolor" /
                            (std::to_string(size) + "x" + std::to_string(size)) / "apps";
    std::error_code error;
    fs::create_directories(folder, error);
    const std::string path = (folder / "kelvra.png").string();
    std::string problem = error.message();
    if (error || !WritePng8(path, size, size, 4, Render(size), &problem)) {
      std::fprintf(stderr, "make_icon: cannot write %s: %s\n", path.c_str(), problem.c_str());
      return 1;
    }
  }
  return 0;
}
