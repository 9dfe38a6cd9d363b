#include "camera/camera.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>
#include <cstdio>

namespace {

constexpr float kDegreesToRadians = 0.017453293f;

void Multiply3(const float a[9], const float b[9], float out[9]) {
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c)
      out[r * 3 + c] = a[r * 3] * b[c] + a[r * 3 + 1] * b[3 + c] + a[r * 3 + 2] * b[6 + c];
}

Vec4 Apply(const float r[9], const Vec4& p) {
  return Vec4(r[0] * p.x + r[1] * p.y + r[2] * p.z, r[3] * p.x + r[4] * p.y + r[5] * p.z,
              r[6] * p.x + r[7] * p.y + r[8] * p.z, 0.0f);
}

}  // namespace

void CameraRotationMatrix(float degrees, int axis, float ax, float ay, float az, float r[9]) {
  const float theta = degrees * kDegreesToRadians;
  const float c = std::cos(theta), s = std::sin(theta);
  const float d = std::sqrt(ay * ay + az * az);
  if (d >= -0.001f && d <= 0.001f) {
    const float fixed[3][9] = {{1, 0, 0, 0, c, -s, 0, s, c},
                               {c, 0, -s, 0, 1, 0, s, 0, c},
                               {c, -s, 0, s, c, 0, 0, 0, 1}};
    const float* chosen = fixed[(axis >= 1 && axis <= 3) ? axis - 1 : 2];
    for (int i = 0; i < 9; ++i) r[i] = chosen[i];
    return;
  }
  const float a[9] = {1, 0, 0, 0, az / d, ay / d, 0, -ay / d, az / d};
  const float b[9] = {d, 0, ax, 0, 1, 0, -ax, 0, d};
  const float z[9] = {c, -s, 0, s, c, 0, 0, 0, 1};
  const float bt[9] = {b[0], b[3], b[6], b[1], b[4], b[7], b[2], b[5], b[8]};
  const float at[9] = {a[0], a[3], a[6], a[1], a[4], a[7], a[2], a[5], a[8]};
  float ab[9], abz[9], abzbt[9];
  Multiply3(a, b, ab);
  Multiply3(ab, z, abz);
  Multiply3(abz, bt, abzbt);
  Multiply3(abzbt, at, r);
}

void Camera::Init(Light& light) {
  std::printf("\tCAMERA: Initialising...\n");
  std::fflush(stdout);
  static_cast<CameraPose&>(*this) = CameraPose();
  light = StartLight();
  LoadProjection();
}

void Camera::LookAt() const {
  gluLookAt(eye.x, eye.y, eye.z, target.x, target.y, target.z, upPoint.x - eye.x,
            upPoint.y - eye.y, upPoint.z - eye.z);
}

void Camera::MovePoints(float x, float y, float z) {
  const Vec4 offset = (sidePoint - eye) * x + (upPoint - eye) * y - (target - eye) * z;
  eye += offset;
  upPoint += offset;
  sidePoint += offset;
  target += offset;
}

void Camera::Move(float x, float y, float z) {
  MovePoints(x, y, z);
  LookAt();
}

void Camera::RotatePoints(float degrees, int axis) {
  Vec4 a = axis == 1 ? sidePoint - eye : (axis == 2 ? upPoint - eye : target - eye);
  a.w = 0.0f;
  const float length = a.Length();
  if (length == 0.0f) return;  // a collapsed axis has no direction to turn about
  float r[9];
  CameraRotationMatrix(degrees, axis, a.x / length, a.y / length, a.z / length, r);
  upPoint = upPoint - eye;
  sidePoint = sidePoint - eye;
  target = target - eye;
  if (axis != 3) target = Apply(r, target);
  if (axis != 2) upPoint = Apply(r, upPoint);
  if (axis != 1) sidePoint = Apply(r, sidePoint);
  upPoint += eye;
  sidePoint += eye;
  target += eye;
}

void Camera::Rotate(float degrees, int axis) {
  RotatePoints(degrees, axis);
  LookAt();
}

void Camera::Update(float step) {
  for (int axis = 1; axis <= 3; ++axis)
    if (spin[axis - 1] != 0) Rotate(static_cast<float>(spin[axis - 1]) * step, axis);
}

void Camera::ApplyProjection() const {
  gluPerspective(fovy, static_cast<double>(width) / static_cast<double>(height), zNear, zFar);
}

void Camera::LoadProjection(double* matrix) const {
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  ApplyProjection();
  if (matrix) glGetDoublev(GL_PROJECTION_MATRIX, matrix);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}

// One line a key reads as the key table it is.
// clang-format off
bool HandleCameraKey(Camera& camera, Light& light, unsigned char key) {
  switch (key) {
    case '8': ++camera.spin[0]; return true;
    case '2': --camera.spin[0]; return true;
    case '4': ++camera.spin[1]; return true;
    case '6': --camera.spin[1]; return true;
    case '1': ++camera.spin[2]; return true;
    case '3': --camera.spin[2]; return true;
    case '5': camera.spin[0] = camera.spin[1] = camera.spin[2] = 0; return true;
    case '7':
    case '9':
      camera.fovy += key == '7' ? 1.0f : -1.0f;
      camera.LoadProjection();
      return true;
    case 'a': case 'A': camera.Move(-0.05f, 0.0f, 0.0f); return true;
    case 'd': case 'D': camera.Move(0.05f, 0.0f, 0.0f); return true;
    case 'q': case 'Q': camera.Move(0.0f, 0.05f, 0.0f); return true;
    case 'e': case 'E': camera.Move(0.0f, -0.05f, 0.0f); return true;
    case 'w': case 'W': camera.Move(0.0f, 0.0f, -0.05f); return true;
    case 's': case 'S': camera.Move(0.0f, 0.0f, 0.05f); return true;
    case 'r': case 'R': camera.Init(light); return true;
    default: return false;
  }
}
// clang-format on
