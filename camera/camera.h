#pragma once
// The camera of the main view. Its pose is four points: the eye and three
// points one unit away along its side, up and view axes. Moves translate all
// four; rotations turn the three axis points about one axis through the eye.
// Every change ends with a gluLookAt multiplied onto the current matrix.
// Angles are degrees.

#include "camera/light.h"
#include "common/settings_list.h"
#include "common/vec4.h"

// Where the camera stands and its lens: the one start value of the view
// (eye 1.7 in front of the canvas, looking down −z), which start-up, the R
// key and a painting without a camera all take. Points use x, y, z; w = 0.
#define CAMERA_POSE(FIELD)                                                             \
  FIELD(Vec4, eye, Vec4(0.0f, 0.0f, 1.7f, 0.0f), kAnyNumber)                           \
  FIELD(Vec4, upPoint, Vec4(0.0f, 1.0f, 1.7f, 0.0f), kAnyNumber)   /* eye + up axis */ \
  FIELD(Vec4, sidePoint, Vec4(1.0f, 0.0f, 1.7f, 0.0f), kAnyNumber) /* eye + side */    \
  FIELD(Vec4, target, Vec4(0.0f, 0.0f, -1.0f + 1.7f, 0.0f), kAnyNumber) /* + view */   \
  FIELD(float, fovy, 60.0f, kAnyNumber)                                                \
  FIELD(float, zNear, 0.1f, kAnyNumber)                                                \
  FIELD(double, zFar, 1000.0, kAnyDouble)

struct CameraPose {
  CAMERA_POSE(SETTING_MEMBER)
};
SETTINGS_VISITOR(CameraPose, CAMERA_POSE)

// The camera is its pose, the window it draws into and its spin.
struct Camera : CameraPose {
  int width = 1;   // main view size in pixels, kept by its reshape
  int height = 1;
  int spin[3] = {0, 0, 0};  // side, up, view: units of 0.05° per idle step

  // The start pose (the spin and the window stay); also puts the light
  // back where it starts.
  void Init(Light& light);
  // gluLookAt(eye, target, up) onto the current matrix (no identity first).
  void LookAt() const;
  // Translate by x along the side axis, y along up, z backwards.
  void Move(float x, float y, float z);
  // Turn about axis 1 (side), 2 (up) or 3 (view) through the eye.
  void Rotate(float degrees, int axis);
  // One spin step for each non-zero rate.
  void Update(float step);
  // gluPerspective(fovy, width / height, zNear, zFar) onto the current
  // (projection, identity-loaded) matrix.
  void ApplyProjection() const;
  // The projection matrix made this camera's alone, copied into `matrix`
  // when given (the views that read it); the model-view left the identity.
  void LoadProjection(double* matrix = nullptr) const;

  // The pose changes without the GL call, for code that must not touch GL.
  void MovePoints(float x, float y, float z);
  void RotatePoints(float degrees, int axis);
};

// 3 × 3 rotation (row-major, column vectors) by `degrees` about the unit
// axis (ax, ay, az), single precision; `axis` picks the fixed matrix used
// when the axis lies along world x.
void CameraRotationMatrix(float degrees, int axis, float ax, float ay, float az, float r[9]);

// Keys 1–9 (spin rates, field of view) and a/d/q/e/w/s/r in either case;
// r resets the light with the camera. True when the key was a camera key.
bool HandleCameraKey(Camera& camera, Light& light, unsigned char key);
