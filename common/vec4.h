#pragma once
// Vec4: the one vector type of the program. Points, directions and RGBA
// colours are all Vec4. A fifth float caches the last computed length.

struct Vec4 {
  float x = 0.0f, y = 0.0f, z = 0.0f, w = 0.0f;
  float length = 0.0f;  // written only by Length(); never copied

  Vec4() = default;
  Vec4(float x_, float y_, float z_, float w_) : x(x_), y(y_), z(z_), w(w_) {}
  // Copies carry x, y, z, w only: the cached length belongs to the original.
  Vec4(const Vec4& other) : x(other.x), y(other.y), z(other.z), w(other.w) {}
  Vec4& operator=(const Vec4& other) {
    x = other.x;
    y = other.y;
    z = other.z;
    w = other.w;
    return *this;
  }

  // Sets all four components to one scalar.
  void Set(float value) { x = y = z = w = value; }

  // sqrt(x² + y² + z² + w²), stored in the cache and returned.
  float Length();

  Vec4 operator+(const Vec4& o) const { return {x + o.x, y + o.y, z + o.z, w + o.w}; }
  Vec4 operator-(const Vec4& o) const { return {x - o.x, y - o.y, z - o.z, w - o.w}; }
  Vec4 operator*(float s) const { return {x * s, y * s, z * s, w * s}; }
  Vec4& operator+=(const Vec4& o) {
    x += o.x;
    y += o.y;
    z += o.z;
    w += o.w;
    return *this;
  }
};

// Cross product of the x, y, z parts; w of the result is 0.
Vec4 Cross(const Vec4& a, const Vec4& b);

// a + (b − a) × (t / n) on all four components; n = 0 counts as 1.
Vec4 Lerp(const Vec4& a, const Vec4& b, float t, float n);
float Lerp(float a, float b, float t, float n);

// Triangle normal (P1 − P2) × (P0 − P1), not normalised.
Vec4 TriangleNormal(const Vec4& p0, const Vec4& p1, const Vec4& p2);
