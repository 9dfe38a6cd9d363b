#include "camera/view_ray.h"

#include <algorithm>
#include <cmath>

// Double precision throughout. GLU builds the look-at basis in single
// precision and GL keeps its matrices as floats, so the view drawn differs
// from these numbers by float rounding: a few parts in ten million of the
// view, a thousandth of a pixel in the widest window a reshape allows.
// Doubles keep the meeting with the plane stable where the ray grazes it,
// where single precision would lose whole pixels.

namespace {

struct D3 {
  double x = 0, y = 0, z = 0;
};
D3 operator+(D3 a, D3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
D3 operator-(D3 a, D3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
D3 operator*(D3 a, double k) { return {a.x * k, a.y * k, a.z * k}; }
double Length(D3 a) { return std::sqrt(a.x * a.x + a.y * a.y + a.z * a.z); }
D3 Cross(D3 a, D3 b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
D3 Of(const Vec4& v) { return {v.x, v.y, v.z}; }
// As GLU normalises: a zero vector stays zero.
D3 Unit(D3 a) {
  const double length = Length(a);
  return length == 0.0 ? a : a * (1.0 / length);
}

// The eye's frame as gluLookAt makes it: forward towards the target, side
// = forward × up, up = side × forward.
struct Frame {
  D3 eye, side, up, forward;
};
std::optional<Frame> FrameOf(const CameraPose& pose) {
  Frame frame;
  frame.eye = Of(pose.eye);
  frame.forward = Unit(Of(pose.target) - frame.eye);
  frame.side = Unit(Cross(frame.forward, Of(pose.upPoint) - frame.eye));
  frame.up = Cross(frame.side, frame.forward);
  // A target on the eye, or an up along the view, collapses the picture.
  if (Length(frame.forward) == 0.0 || Length(frame.side) == 0.0) return std::nullopt;
  return frame;
}

// gluPerspective's matrix: x and y scaled by cot(fovy / 2) / aspect and
// cot(fovy / 2), depth mapped by −A + B / w (w the distance along the view
// axis). GLU leaves the identity in place, and the view is then parallel,
// when sin(fovy / 2), the aspect or zFar − zNear is 0.
struct Lens {
  bool perspective = false;
  double xScale = 1, yScale = 1, depthA = 0, depthB = 0;
};
Lens LensOf(const CameraPose& pose, int width, int height) {
  constexpr double kPi = 3.14159265358979323846;  // GLU's own
  const double aspect = static_cast<double>(width) / static_cast<double>(height);
  const double radians = static_cast<double>(pose.fovy) / 2 * kPi / 180;
  const double zNear = pose.zNear, zFar = pose.zFar, deltaZ = zFar - zNear;
  const double sine = std::sin(radians);
  Lens lens;
  if (deltaZ == 0 || sine == 0 || aspect == 0) return lens;
  const double cotangent = std::cos(radians) / sine;
  lens.perspective = true;
  lens.xScale = cotangent / aspect;
  lens.yScale = cotangent;
  lens.depthA = -(zFar + zNear) / deltaZ;
  lens.depthB = -2 * zNear * zFar / deltaZ;
  return lens;
}

// The ray a pixel's centre sees: from `origin` along `direction`, a
// parameter t reaching the point origin + t · direction. With perspective
// the origin is the eye and t the distance along the view axis; parallel,
// the origin lies in the eye's plane and t runs along the view axis.
struct Ray {
  D3 origin, direction;
  Lens lens;
};
std::optional<Ray> RayOfPixel(const CameraPose& pose, int width, int height, int x, int y) {
  if (width <= 0 || height <= 0) return std::nullopt;
  const std::optional<Frame> frame = FrameOf(pose);
  if (!frame) return std::nullopt;
  // Normalised device coordinates of the pixel's centre (GL's y is up).
  const double nx = 2.0 * (x + 0.5) / width - 1.0;
  const double ny = 2.0 * (height - y - 0.5) / height - 1.0;
  Ray ray;
  ray.lens = LensOf(pose, width, height);
  if (ray.lens.perspective) {
    if (ray.lens.xScale == 0 || ray.lens.yScale == 0) return std::nullopt;
    ray.origin = frame->eye;
    ray.direction =
        frame->side * (nx / ray.lens.xScale) + frame->up * (ny / ray.lens.yScale) + frame->forward;
  } else {
    ray.origin = frame->eye + frame->side * nx + frame->up * ny;
    ray.direction = frame->forward;
  }
  return ray;
}

// The parameter where the ray meets z = 0, ahead of its origin (with
// perspective) or anywhere along it (parallel); none when it runs along
// the plane or away from it.
std::optional<double> PlaneParameter(const Ray& ray) {
  if (ray.direction.z == 0.0) return std::nullopt;
  const double t = -ray.origin.z / ray.direction.z;
  if (!std::isfinite(t) || (ray.lens.perspective && t <= 0.0)) return std::nullopt;
  return t;
}

// Whether the view draws the point at parameter t: its depth within the
// clip volume (zNear to zFar with perspective, −1 to 1 in parallel).
bool DrawnAtDepth(const Ray& ray, double t) {
  const double depth = ray.lens.perspective ? -ray.lens.depthA + ray.lens.depthB / t : -t;
  return depth >= -1.0 && depth <= 1.0;
}

CameraPose Moved(CameraPose pose, D3 offset) {
  const Vec4 by(static_cast<float>(offset.x), static_cast<float>(offset.y),
                static_cast<float>(offset.z), 0.0f);
  if (!std::isfinite(by.x) || !std::isfinite(by.y) || !std::isfinite(by.z)) return pose;
  pose.eye += by;
  pose.upPoint += by;
  pose.sidePoint += by;
  pose.target += by;
  return pose;
}

// The eye's distance to the canvas, and a floor for a camera lying on it,
// where moves by fractions of it would stop.
double DistanceToCanvas(const CameraPose& pose) {
  constexpr double kFloor = 0.05;  // one step of the camera keys
  return std::max(std::fabs(static_cast<double>(pose.eye.z)), kFloor);
}

}  // namespace

std::optional<Vec4> CanvasPointUnderPixel(const CameraPose& pose, int width, int height, int x,
                                          int y) {
  const std::optional<Ray> ray = RayOfPixel(pose, width, height, x, y);
  if (!ray) return std::nullopt;
  const std::optional<double> t = PlaneParameter(*ray);
  if (!t || !DrawnAtDepth(*ray, *t)) return std::nullopt;
  const D3 point = ray->origin + ray->direction * *t;
  return Vec4(static_cast<float>(point.x), static_cast<float>(point.y), 0.0f, 0.0f);
}

CameraPose ZoomedAtPixel(const CameraPose& pose, int width, int height, int x, int y, int notches) {
  // n notches leave (1 − k)^n of the way to the canvas point: towards and
  // away are each other's inverse.
  double remaining = std::pow(1.0 - kZoomFraction, notches);
  const std::optional<Ray> ray = RayOfPixel(pose, width, height, x, y);
  const std::optional<double> t = ray ? PlaneParameter(*ray) : std::nullopt;
  if (!t) {
    const std::optional<Frame> frame = FrameOf(pose);
    if (!frame) return pose;
    return Moved(pose, frame->forward * (DistanceToCanvas(pose) * (1.0 - remaining)));
  }
  if (notches > 0 && ray->lens.perspective && pose.zNear > 0.0f) {
    const double closest = 2.0 * pose.zNear / *t;  // of the way left, at twice zNear
    remaining = std::max(remaining, std::min(1.0, closest));
  }
  return Moved(pose, ray->direction * (*t * (1.0 - remaining)));
}

CameraPose PannedBySteps(const CameraPose& pose, int width, int height, int right, int up) {
  if (width <= 0 || height <= 0) return pose;
  const std::optional<Frame> frame = FrameOf(pose);
  if (!frame) return pose;
  const Lens lens = LensOf(pose, width, height);
  double shown = 2.0;  // a parallel view shows −1 to 1
  if (lens.perspective) {
    const double axisT = frame->forward.z == 0.0 ? -1.0 : -frame->eye.z / frame->forward.z;
    const double distance = axisT > 0.0 ? axisT : DistanceToCanvas(pose);
    shown = std::fabs(2.0 * distance / lens.yScale);
  }
  const double step = kPanFraction * shown;
  // Along the pose's own axes, as the camera keys move it.
  const D3 side = Of(pose.sidePoint) - frame->eye, upAxis = Of(pose.upPoint) - frame->eye;
  return Moved(pose, side * (right * step) + upAxis * (up * step));
}
