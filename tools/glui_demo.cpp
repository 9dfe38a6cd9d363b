// glui_demo: every control of the GLUI layer in action. A main window shows
// a lit teapot turned by the rotation ball, with BOTTOM and RIGHT
// subwindows; three more windows carry the control sets of the Stroke,
// Camera and Size panels at those panels' window sizes, to check they fit.
// Each callback prints one line "callback <id> <value>" to standard output;
// activating an item of the paintings list prints "activate <item>".
//
// Usage: glui_demo [--main-only]
#include <GL/freeglut.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "glui/glui.h"

namespace {

int MainWindow = 0;
int SpinInt = 10;
float SpinFloat = 0.5f;
int Checked = 0;
int Wire = 0;
float Ball[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
int ViewX = 0, ViewY = 0, ViewW = 1, ViewH = 1;
std::string PaintingName = "untitled";
GLUI_List* Paintings = nullptr;

// Panel look-alikes: only their layout matters here.
int Lod1 = 8, Lod2 = 8, Levels = 0, EndNode = 0;
int N = 0, P = 0, M = 1, C = 0, R = 0;
int LightOn = 1, PaperOn = 1, AxesOn = 1, CursorOn = 1;
float LightBall[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
float Sizes[8] = {0.04f, 0, 0.025f, 0, 1, 1, 1, 1};

void OnControl(int id) {
  double value = 0;
  switch (id) {
    case 1: value = SpinInt; break;
    case 2: value = SpinFloat; break;
    case 3: value = Checked; break;
    case 5: value = Ball[0]; break;
    case 6: value = Wire; break;
    case 7:
      value = Paintings->get_current_item();
      break;
    default: break;
  }
  std::printf("callback %d %g window %d\n", id, value, glutGetWindow());
  std::fflush(stdout);
}

void OnName(int id) {
  std::printf("callback %d %s window %d\n", id, PaintingName.c_str(), glutGetWindow());
  std::fflush(stdout);
}

void OnPaintingActivated(GLUI_Control*) {
  const int line = Paintings->get_current_item();
  std::printf("activate %d\n", line);
  std::fflush(stdout);
}

void OnButton(int id) {
  if (id == 4) SpinInt = 42;  // code changes a variable; sync shows it
  OnControl(id);
}

void DisplayMain() {
  glClearColor(0.15f, 0.18f, 0.22f, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glViewport(ViewX, ViewY, ViewW, ViewH);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(40.0, static_cast<double>(ViewW) / ViewH, 1.0, 20.0);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glTranslatef(0, 0, -5);
  glMultMatrixf(Ball);
  glEnable(GL_LIGHTING);
  glEnable(GL_LIGHT0);
  glEnable(GL_DEPTH_TEST);
  glPolygonMode(GL_FRONT_AND_BACK, Wire ? GL_LINE : GL_FILL);
  glutSolidTeapot(0.4 + SpinFloat);
  glutSwapBuffers();
}

void ReshapeMain(int, int) {
  GLUI_Master.get_viewport_area(&ViewX, &ViewY, &ViewW, &ViewH);
  if (ViewW < 1) ViewW = 1;
  if (ViewH < 1) ViewH = 1;
  std::printf("viewport %d %d %d %d\n", ViewX, ViewY, ViewW, ViewH);
  std::fflush(stdout);
}

void Keyboard(unsigned char key, int, int) {
  if (key == 27) std::exit(0);
}

void Idle() {
  GLUI_Master.sync_live_all();
  glutPostWindowRedisplay(MainWindow);
}

void BuildMainWindow() {
  glutInitWindowSize(800, 600);
  glutInitWindowPosition(0, 0);
  MainWindow = glutCreateWindow("GLUI demo");
  glutDisplayFunc(DisplayMain);
  GLUI_Master.set_glutReshapeFunc(ReshapeMain);
  GLUI_Master.set_glutKeyboardFunc(Keyboard);

  GLUI* right = GLUI_Master.create_glui_subwindow(MainWindow, GLUI_SUBWINDOW_RIGHT);
  right->set_main_gfx_window(MainWindow);
  GLUI_Panel* values = right->add_panel("Values");
  right->add_spinner_to_panel(values, "Int:", GLUI_SPINNER_INT, &SpinInt, 1, OnControl)
      ->set_int_limits(0, 100, GLUI_LIMIT_CLAMP);
  right->add_spinner_to_panel(values, "Float:", GLUI_SPINNER_FLOAT, &SpinFloat, 2, OnControl)
      ->set_float_limits(0.0f, 1.0f, GLUI_LIMIT_CLAMP);
  right->add_separator_to_panel(values);
  right->add_checkbox_to_panel(values, "Check", &Checked, 3, OnControl);
  right->add_checkbox_to_panel(values, "Wire", &Wire, 6, OnControl);
  right->add_button("Set Int to 42", 4, OnButton);
  GLUI_Panel* ball_panel = right->add_panel("");
  right->add_rotation_to_panel(ball_panel, "Turn", Ball, 5, OnControl)->set_spin(0.95f);

  // The open-and-save window's controls: paintings newest first, a name.
  GLUI_Panel* open = right->add_panel("Open");
  Paintings = right->add_list_to_panel(open, true, 7, OnControl);
  Paintings->set_name("Paintings");
  Paintings->set_object_callback(OnPaintingActivated);
  const char* names[] = {"Harbour at dusk", "Red wave", "Three crossings",
                         "Particles",       "Embossed", "A study of strokes that run long",
                         "Blue over red",   "Curl",     "First light"};
  for (int i = 0; i < 9; ++i) Paintings->add_item(i, names[i]);
  right->add_edittext_to_panel(open, "Name:", GLUI_EDITTEXT_TEXT, &PaintingName, 8, OnName)
      ->set_w(160);

  GLUI* bottom = GLUI_Master.create_glui_subwindow(MainWindow, GLUI_SUBWINDOW_BOTTOM);
  bottom->set_main_gfx_window(MainWindow);
  GLUI_Panel* left = bottom->add_panel("Left");
  bottom->add_button_to_panel(left, "One", 10, OnControl);
  bottom->add_column(true);
  GLUI_Panel* middle = bottom->add_panel("Middle", GLUI_PANEL_NONE);
  bottom->add_button_to_panel(middle, "Two", 11, OnControl);
  bottom->add_column(false);
  bottom->add_button("Right aligned", 12, OnControl)->set_alignment(GLUI_ALIGN_RIGHT);
}

void DisplayPreview() {
  glClearColor(0.3f, 0.3f, 0.35f, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glutSwapBuffers();
}

int PanelWindow(const char* title, int w, int h, int x, int y) {
  glutInitWindowSize(w, h);
  glutInitWindowPosition(x, y);
  int window = glutCreateWindow(title);
  glutDisplayFunc(DisplayPreview);
  return window;
}

void BuildStrokeLookAlike() {
  int window = PanelWindow("Stroke Control Panel:", 330, 350, 810, 0);
  GLUI* curve = GLUI_Master.create_glui_subwindow(window, GLUI_SUBWINDOW_BOTTOM);
  GLUI* buttons = GLUI_Master.create_glui_subwindow(window, GLUI_SUBWINDOW_RIGHT);
  GLUI_Panel* p = curve->add_panel("Shape Curve");
  curve->add_spinner_to_panel(p, "LOD:", GLUI_SPINNER_INT, &Lod1)->set_int_limits(1, 64);
  p = curve->add_panel("Path Curve");
  curve->add_spinner_to_panel(p, "LOD:", GLUI_SPINNER_INT, &Lod2)->set_int_limits(1, 64);
  curve->add_column(true);
  p = curve->add_panel("Mesh Subdivision");
  curve->add_spinner_to_panel(p, "# Subdivisions:", GLUI_SPINNER_INT, &Levels)->set_int_limits(0, 5);
  p = curve->add_panel("Stroke Capping");
  curve->add_spinner_to_panel(p, "End node:", GLUI_SPINNER_INT, &EndNode)->set_int_limits(0, 64);

  buttons->add_separator();
  buttons->add_button("Update");
  p = buttons->add_panel("Size");
  buttons->add_button_to_panel(p, "+");
  buttons->add_button_to_panel(p, "-");
  buttons->add_separator_to_panel(p);
  buttons->add_button_to_panel(p, "More Options");
  p = buttons->add_panel("Primitives");
  buttons->add_checkbox_to_panel(p, "N", &N);
  buttons->add_column_to_panel(p, true);
  buttons->add_checkbox_to_panel(p, "P", &P);
  buttons->add_column_to_panel(p, true);
  buttons->add_checkbox_to_panel(p, "M", &M);
  p = buttons->add_panel("Misc");
  buttons->add_checkbox_to_panel(p, "C", &C);
  buttons->add_column_to_panel(p, true);
  buttons->add_checkbox_to_panel(p, "R", &R);
  buttons->add_separator();
}

void BuildCameraLookAlike() {
  int window = PanelWindow("Camera Control Panel:", 330, 300, 810, 390);
  GLUI* g = GLUI_Master.create_glui_subwindow(window, GLUI_SUBWINDOW_BOTTOM);
  GLUI_Panel* p = g->add_panel("", GLUI_PANEL_EMBOSSED);
  p->set_alignment(GLUI_ALIGN_CENTER);
  g->add_rotation_to_panel(p, "Light 1", LightBall)->set_spin(0.5f);
  g->add_column(true);
  g->add_separator();
  g->add_checkbox("Light ON/OFF", &LightOn);
  g->add_checkbox("Paper ON/OFF", &PaperOn);
  g->add_checkbox("Axes ON/OFF", &AxesOn);
  g->add_checkbox("Cursor ON/OFF", &CursorOn);
  g->add_separator();
  g->add_column(true);
  g->add_button("Delete Selected");
  g->add_button("Delete All");
  g->add_separator();
}

void BuildSizeLookAlike() {
  int window = PanelWindow("Size Control Panel:", 350, 335, 0, 640);
  GLUI* g = GLUI_Master.create_glui_subwindow(window, GLUI_SUBWINDOW_BOTTOM);
  const char* groups[2] = {"Normal Nodes", "Collision Nodes"};
  for (int group = 0; group < 2; ++group) {
    GLUI_Panel* outer = g->add_panel(groups[group]);
    for (int half = 0; half < 2; ++half) {
      if (half == 1) g->add_column_to_panel(outer, true);
      GLUI_Panel* inner = g->add_panel_to_panel(outer, half == 0 ? "Width" : "Height");
      g->add_button_to_panel(inner, "+");
      g->add_button_to_panel(inner, "-");
      g->add_separator_to_panel(inner);
      float* values = Sizes + group * 4 + half * 2;
      g->add_spinner_to_panel(inner, "Start:", GLUI_SPINNER_FLOAT, values);
      g->add_spinner_to_panel(inner, "End:", GLUI_SPINNER_FLOAT, values + 1);
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  glutInit(&argc, argv);
  glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
  bool main_only = argc > 1 && std::strcmp(argv[1], "--main-only") == 0;
  BuildMainWindow();
  if (!main_only) {
    BuildStrokeLookAlike();
    BuildCameraLookAlike();
    BuildSizeLookAlike();
  }
  GLUI_Master.set_glutIdleFunc(Idle);
  glutMainLoop();
  return 0;
}
