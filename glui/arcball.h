#pragma once
// Arcball maths for the rotation ball (Shoemake): pointer positions map onto
// a sphere, two sphere points give a quaternion that turns by twice the arc
// between them, and turns are applied on the viewer's side of a 4x4
// column-major matrix (the layout glMultMatrixf expects). Pure; no GL.

namespace arcball {

struct Vec3 {
  float x, y, z;
};

// A rotation quaternion (x, y, z imaginary, w real).
struct Quat {
  float x, y, z, w;
};

// Radius, in pixels, of the sphere the pointer is mapped onto. A motion of
// one pixel near the centre turns by 2/radius radians: about 1.15 degrees.
constexpr float kSphereRadius = 99.65f;

// The point of the unit sphere under the pointer (dx, dy) pixels from the
// ball's centre, with dy measured upwards. Points outside the sphere's
// silhouette go onto its rim.
Vec3 SpherePoint(float dx, float dy, float radius = kSphereRadius);

// The turn that carries `from` to `to` twice over (Shoemake's arcball).
Quat TurnBetween(const Vec3& from, const Vec3& to);

// Rotation angle of q in degrees, in [0, 360).
float AngleDegrees(const Quat& q);

// q with its angle multiplied by factor, same axis.
Quat ScaleAngle(const Quat& q, float factor);

// Column-major 4x4 rotation matrix of q.
void ToMatrix(const Quat& q, float out[16]);

// m = rotation(q) * m: the turn is applied in the viewer's frame.
void TurnOnViewerSide(const Quat& q, float m[16]);

// Re-orthonormalises the 3x3 rotation part (Gram-Schmidt on the columns), so
// rounding does not build up over thousands of turns.
void Orthonormalize(float m[16]);

void SetIdentity(float m[16]);

}  // namespace arcball
