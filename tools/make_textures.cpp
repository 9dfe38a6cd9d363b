// Writes the run-time data set under textures/ (run from the repository
// root). Deterministic: the same program writes the same bytes, so the
// committed maps can be regenerated and compared.

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <sys/stat.h>

#include "image/image.h"

namespace {

struct Rgb {
  double r, g, b;
};

// A picture we can fill pixel by pixel; x from the left, y from the TOP.
class Canvas24 : public BmpImage {
 public:
  Canvas24(int width, int height) { Allocate(width, height, 24); }
  void Fill(const std::function<Rgb(int x, int y)>& shade) {
    for (int y = 0; y < Height(); ++y)
      for (int x = 0; x < Width(); ++x) {
        const Rgb c = shade(x, y);
        std::uint8_t* p = Data() + (std::size_t(y) * Width() + x) * 3;
        p[0] = Clamp(c.r);
        p[1] = Clamp(c.g);
        p[2] = Clamp(c.b);
      }
  }
  static std::uint8_t Clamp(double v) {
    return static_cast<std::uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : std::lround(v)));
  }
};

// Hash-based value noise in [0, 1], smooth between lattice points.
double Hash(int x, int y, int seed) {
  std::uint32_t h = static_cast<std::uint32_t>(x) * 374761393u + static_cast<std::uint32_t>(y) * 668265263u +
                    static_cast<std::uint32_t>(seed) * 2147483647u;
  h = (h ^ (h >> 13)) * 1274126177u;
  return ((h ^ (h >> 16)) & 0xFFFF) / 65535.0;
}
double Smooth(double t) { return t * t * (3 - 2 * t); }
double ValueNoise(double x, double y, int seed) {
  const int x0 = static_cast<int>(std::floor(x)), y0 = static_cast<int>(std::floor(y));
  const double fx = Smooth(x - x0), fy = Smooth(y - y0);
  const double a = Hash(x0, y0, seed), b = Hash(x0 + 1, y0, seed);
  const double c = Hash(x0, y0 + 1, seed), d = Hash(x0 + 1, y0 + 1, seed);
  return (a + (b - a) * fx) * (1 - fy) + (c + (d - c) * fx) * fy;
}
double Fractal(double x, double y, int seed, int octaves) {
  double sum = 0, amplitude = 0.5, total = 0;
  for (int o = 0; o < octaves; ++o) {
    sum += ValueNoise(x, y, seed + o) * amplitude;
    total += amplitude;
    x *= 2;
    y *= 2;
    amplitude *= 0.5;
  }
  return sum / total;
}

Rgb Grey(double v) { return {v, v, v}; }

Rgb Hue(double h) {  // h in [0, 1)
  const double k[3] = {5, 3, 1};
  double c[3];
  for (int i = 0; i < 3; ++i) {
    const double t = std::fmod(k[i] + h * 6, 6);
    c[i] = 1 - std::fmax(0, std::fmin(std::fmin(t, 4 - t), 1));
  }
  return {c[0] * 255, c[1] * 255, c[2] * 255};
}

void Save(Canvas24& image, const std::string& path) {
  if (!image.Save(path)) std::fprintf(stderr, "could not write %s\n", path.c_str());
}

// --- Maps ---------------------------------------------------------------------

void Bump(const std::string& path, int w, int h, double scale, int seed) {
  Canvas24 image(w, h);
  image.Fill([&](int x, int y) { return Grey(170 + 85 * Fractal(x / scale, y / scale, seed, 4)); });
  Save(image, path);
}

void Detail(const std::string& path, int w, int h, int seed, bool weave) {
  Canvas24 image(w, h);
  image.Fill([&](int x, int y) {
    double v = 128 + 40 * (Fractal(x / 6.0, y / 6.0, seed, 3) - 0.5);
    if (weave) v += 22 * std::sin(x * 0.9) * std::sin(y * 0.9);
    v += 20 * (Hash(x, y, seed + 9) - 0.5);  // fibre grain
    return Grey(v);
  });
  Save(image, path);
}

void Paper(const std::string& path, int w, int h, Rgb tint, int seed) {
  Canvas24 image(w, h);
  image.Fill([&](int x, int y) {
    const double v = 0.88 + 0.12 * Fractal(x / 10.0, y / 10.0, seed, 4) + 0.05 * (Hash(x, y, seed) - 0.5);
    return Rgb{tint.r * v, tint.g * v, tint.b * v};
  });
  Save(image, path);
}

// Height maps are sampled along their middle row: bright middle, dark edges.
void Height(const std::string& path, int w, int h, const std::function<double(double)>& profile) {
  Canvas24 image(w, h);
  image.Fill([&](int x, int y) {
    const double across = (x + 0.5) / w;                       // 0..1 across the stroke
    const double along = 0.9 + 0.1 * std::cos(6.28318 * y / h);  // a little variety per row
    return Grey(255 * profile(across) * along);
  });
  Save(image, path);
}

// Round sprite on black: brightness falls off towards the rim.
void Sprite(const std::string& path, int size, const std::function<double(double)>& falloff, Rgb tint) {
  Canvas24 image(size, size);
  image.Fill([&](int x, int y) {
    const double dx = (x + 0.5) / size * 2 - 1, dy = (y + 0.5) / size * 2 - 1;
    const double v = falloff(std::sqrt(dx * dx + dy * dy));
    return Rgb{tint.r * v, tint.g * v, tint.b * v};
  });
  Save(image, path);
}

// 5 × 7 glyphs for a few capitals, one row of bits per line, MSB left.
const std::uint8_t kFont[][7] = {
    {0x0E, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11},  // A
    {0x1E, 0x11, 0x11, 0x1E, 0x11, 0x11, 0x1E},  // B
    {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x1F},  // E
    {0x11, 0x12, 0x14, 0x18, 0x14, 0x12, 0x11},  // K
    {0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x1F},  // L
    {0x1E, 0x11, 0x11, 0x1E, 0x14, 0x12, 0x11},  // R
    {0x11, 0x11, 0x11, 0x11, 0x11, 0x0A, 0x04},  // V
};
int GlyphIndex(char c) {
  const char* letters = "ABEKLRV";
  for (int i = 0; letters[i]; ++i)
    if (letters[i] == c) return i;
  return -1;
}
bool TextPixel(const std::string& text, int x, int y, int left, int top, int scale) {
  const int col = (x - left) / scale, row = (y - top) / scale;
  if (x < left || y < top || row >= 7) return false;
  const int letter = col / 6, bit = col % 6;
  if (letter >= static_cast<int>(text.size()) || bit >= 5) return false;
  const int glyph = GlyphIndex(text[letter]);
  return glyph >= 0 && (kFont[glyph][row] >> (4 - bit)) & 1;
}

void Source(const std::string& path, int w, int h, int seed) {
  Canvas24 image(w, h);
  image.Fill([&](int x, int y) {
    const double u = double(x) / w, v = double(y) / h;
    Rgb c{40 + 180 * u, 60 + 120 * v, 200 - 150 * u};  // background gradient
    const double cx = u - 0.3, cy = v - 0.35;
    if (cx * cx + cy * cy < 0.04) c = {230, 200, 40};          // disc
    if (u > 0.55 && u < 0.9 && v > 0.15 && v < 0.5) c = {30, 30, 120};  // rectangle
    if (std::fabs(u - v - 0.1) < 0.012) c = {250, 250, 250};           // diagonal line
    if (v > 0.65 && ((x / 12 + y / 12) % 2 == 0) && u < 0.35) c = {20, 20, 20};  // checks
    if (TextPixel(seed % 2 ? "KELVRA" : "BRAVE", x, y, w * 2 / 5, h * 7 / 10, std::max(2, w / 64)))
      c = {255, 255, 255};
    return c;
  });
  Save(image, path);
}

// An 8-bit palette file: a warm paper in 256 graded tones.
void PalettePaper(const std::string& path, int w, int h) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return;
  const int stride = (w + 3) & ~3;
  const std::uint32_t offset = 14 + 40 + 1024, size = offset + stride * h;
  std::uint8_t header[54] = {'B', 'M'};
  auto put32 = [&](int at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) header[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
  };
  put32(2, size);
  put32(10, offset);
  put32(14, 40);
  put32(18, w);
  put32(22, h);
  header[26] = 1;
  header[28] = 8;
  put32(34, stride * h);
  put32(46, 256);
  std::fwrite(header, 1, 54, file);
  for (int i = 0; i < 256; ++i) {
    const double t = 0.75 + 0.25 * i / 255.0;
    const std::uint8_t entry[4] = {static_cast<std::uint8_t>(200 * t), static_cast<std::uint8_t>(235 * t),
                                   static_cast<std::uint8_t>(250 * t), 0};
    std::fwrite(entry, 1, 4, file);
  }
  std::uint8_t row[4096] = {};
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x)
      row[x] = static_cast<std::uint8_t>(255 * Fractal(x / 9.0, (h - 1 - y) / 9.0, 77, 4));
    std::fwrite(row, 1, stride, file);
  }
  std::fclose(file);
}

}  // namespace

int main() {
  for (const char* folder : {"textures", "textures/meshmap", "textures/detailmap", "textures/partmap",
                             "textures/heightmap", "textures/papermap", "textures/sourcemap",
                             "textures/sourcemap/Saved"})
    ::mkdir(folder, 0755);

  Bump("textures/meshmap/Bump.bmp", 256, 256, 16.0, 1);
  Bump("textures/meshmap/Pebble.bmp", 128, 128, 6.0, 2);
  Bump("textures/meshmap/Ripple.bmp", 200, 150, 30.0, 3);

  Detail("textures/detailmap/papier1.bmp", 256, 256, 11, false);
  Detail("textures/detailmap/Canvas.bmp", 128, 128, 12, true);
  Detail("textures/detailmap/Linen.bmp", 100, 100, 13, true);

  Sprite("textures/partmap/Brush.bmp", 64, [](double r) { return r < 1 ? 255 * std::pow(1 - r, 0.6) : 0; },
         {1, 1, 1});
  Sprite("textures/partmap/Halo.bmp", 64,
         [](double r) { return r < 1 ? 255 * std::exp(-std::pow((r - 0.65) / 0.18, 2)) : 0; }, {1, 1, 1});
  Sprite("textures/partmap/Dab.bmp", 48, [](double r) { return r < 0.8 ? 255 : 0; }, {1, 1, 1});
  Sprite("textures/Brush.bmp", 64, [](double r) { return r < 1 ? 255 * std::pow(1 - r, 0.4) : 0; },
         {1, 1, 1});

  Height("textures/heightmap/Height.bmp", 128, 128, [](double t) { return std::sin(3.14159265 * t); });
  Height("textures/heightmap/Ridge.bmp", 128, 128, [](double t) { return 1 - std::fabs(2 * t - 1); });
  Height("textures/heightmap/Plateau.bmp", 96, 64,
         [](double t) { return std::fmin(1.0, 3 * std::sin(3.14159265 * t)); });

  Paper("textures/papermap/Paper.bmp", 256, 256, {245, 240, 228}, 21);
  Paper("textures/papermap/Rough.bmp", 128, 128, {235, 232, 225}, 22);
  Paper("textures/papermap/Cream.bmp", 300, 200, {250, 238, 205}, 23);
  PalettePaper("textures/papermap/Tinted8.bmp", 128, 128);

  Canvas24 spectrum(256, 256);
  spectrum.Fill([](int x, int y) {
    const Rgb hue = Hue(x / 256.0);
    const double v = y / 255.0;  // top: white, middle: saturated, bottom: dark
    if (v < 0.5) {
      const double t = v * 2;
      return Rgb{255 + (hue.r - 255) * t, 255 + (hue.g - 255) * t, 255 + (hue.b - 255) * t};
    }
    const double t = 1 - (v - 0.5) * 2 * 0.9;
    return Rgb{hue.r * t, hue.g * t, hue.b * t};
  });
  Save(spectrum, "textures/Spectrum.bmp");

  Canvas24 grid(128, 128);
  grid.Fill([](int x, int y) { return Grey((x % 32 < 2 || y % 32 < 2) ? 90 : 235); });
  Save(grid, "textures/Grid.bmp");

  Source("textures/sourcemap/Test.bmp", 256, 256, 1);
  Source("textures/sourcemap/Shapes.bmp", 300, 200, 2);
  Source("textures/sourcemap/Small.bmp", 128, 128, 3);
  return 0;
}
