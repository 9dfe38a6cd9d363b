// GLUI objects and the master: building the control tree, placing the GLUT
// subwindows, the change sequence of a user edit, sync, idle and routing.
#include "glui/glui.h"

#include <GL/freeglut.h>

#include <algorithm>

#include "glui/engine.h"
#include "glui/typed_text.h"

GLUI_Master_Object GLUI_Master;

namespace {

// Runs fn with `window` current, then restores the window that was current.
template <typename Fn>
void WithWindow(int window, Fn&& fn) {
  int previous = glutGetWindow();
  if (window > 0) glutSetWindow(window);
  fn();
  if (previous > 0 && previous != window) glutSetWindow(previous);
}

void ParentSize(int parent, int* w, int* h) {
  WithWindow(parent, [&] {
    *w = glutGet(GLUT_WINDOW_WIDTH);
    *h = glutGet(GLUT_WINDOW_HEIGHT);
  });
}

}  // namespace

// ---------------------------------------------------------------------------
// GLUI
// ---------------------------------------------------------------------------
GLUI::GLUI(int parent, int subwindow_side)
    : parent_window(parent), side(subwindow_side), root(this, "", GLUI_PANEL_NONE) {
  Relayout();
}

GLUI::~GLUI() = default;

void GLUI::SubwindowRect(int parent_w, int parent_h, int* sx, int* sy, int* sw, int* sh) const {
  switch (side) {
    case GLUI_SUBWINDOW_RIGHT:
    case GLUI_SUBWINDOW_LEFT: {
      // Side subwindows stop above the BOTTOM ones instead of covering their
      // right end (GLUI lets the later one overlap), so no control is hidden.
      int below = GLUI_Master.BottomHeightOf(parent_window);
      *sw = root.w;
      *sh = std::max(1, parent_h - below);
      *sx = side == GLUI_SUBWINDOW_RIGHT ? parent_w - root.w : 0;
      *sy = 0;
      break;
    }
    case GLUI_SUBWINDOW_TOP:
      *sw = std::max(1, parent_w);
      *sh = root.h;
      *sx = 0;
      *sy = 0;
      break;
    default:
      *sw = std::max(1, parent_w);
      *sh = root.h;
      *sx = 0;
      *sy = parent_h - root.h;
      break;
  }
}

void GLUI::Relayout() {
  root.Measure();
  root.Place(0, 0);
  if (glut_window <= 0 || parent_window <= 0) return;
  int pw, ph;
  ParentSize(parent_window, &pw, &ph);
  GLUI_Master.PlaceSubwindowsOf(parent_window, pw, ph);
}

void GLUI::RequestFrame() {
  if (glut_window > 0) glutPostWindowRedisplay(glut_window);
}

void GLUI::RunChange(GLUI_Control* control) {
  if (GLUI_Master.change_listener)
    GLUI_Master.change_listener(control, GLUI_Control::Change::kValue);
  // GLUI's order: variable, redisplay, then the callback with the main
  // graphics window current.
  control->WriteLive();
  if (main_gfx_window > 0) glutPostWindowRedisplay(main_gfx_window);
  if (!control->callback) return;
  int target = main_gfx_window > 0 ? main_gfx_window : glut_window;
  WithWindow(target, [&] { control->callback(control->user_id); });
}

void GLUI::RunActivation(GLUI_Control* control, GLUI_Object_CB cb, GLUI_Control* object) {
  if (GLUI_Master.change_listener)
    GLUI_Master.change_listener(control, GLUI_Control::Change::kActivation);
  if (main_gfx_window > 0) glutPostWindowRedisplay(main_gfx_window);
  if (!cb) return;
  int target = main_gfx_window > 0 ? main_gfx_window : glut_window;
  WithWindow(target, [&] { cb(object); });
}

GLUI_Control* GLUI::Adopt(GLUI_Panel* panel, GLUI_Control* control) {
  GLUI_Panel* into = panel ? panel : &root;
  control->parent = into;
  into->children.emplace_back(control);
  if (control->ShowsNames() && engine) engine->wants_text_font = true;
  Relayout();
  RequestFrame();
  return control;
}

GLUI_StaticText* GLUI::add_statictext(const char* name) {
  return add_statictext_to_panel(nullptr, name);
}

GLUI_StaticText* GLUI::add_statictext_to_panel(GLUI_Panel* panel, const char* name) {
  return static_cast<GLUI_StaticText*>(Adopt(panel, new GLUI_StaticText(this, name)));
}

GLUI_Panel* GLUI::add_panel(const char* name, int type) {
  return add_panel_to_panel(nullptr, name, type);
}
GLUI_Panel* GLUI::add_panel_to_panel(GLUI_Panel* panel, const char* name, int type) {
  return static_cast<GLUI_Panel*>(Adopt(panel, new GLUI_Panel(this, name, type)));
}
GLUI_Button* GLUI::add_button(const char* name, int id, GLUI_Update_CB cb) {
  return add_button_to_panel(nullptr, name, id, cb);
}
GLUI_Button* GLUI::add_button_to_panel(GLUI_Panel* panel, const char* name, int id,
                                       GLUI_Update_CB cb) {
  return static_cast<GLUI_Button*>(Adopt(panel, new GLUI_Button(this, name, id, cb)));
}
void GLUI::add_separator() { add_separator_to_panel(nullptr); }
void GLUI::add_separator_to_panel(GLUI_Panel* panel) { Adopt(panel, new GLUI_Separator(this)); }
void GLUI::add_column(int draw_bar) { add_column_to_panel(nullptr, draw_bar); }
void GLUI::add_column_to_panel(GLUI_Panel* panel, int draw_bar) {
  Adopt(panel, new GLUI_Column(this, draw_bar));
}
GLUI_Checkbox* GLUI::add_checkbox(const char* name, int* live_var, int id, GLUI_Update_CB cb) {
  return add_checkbox_to_panel(nullptr, name, live_var, id, cb);
}
GLUI_Checkbox* GLUI::add_checkbox_to_panel(GLUI_Panel* panel, const char* name, int* live_var,
                                           int id, GLUI_Update_CB cb) {
  return static_cast<GLUI_Checkbox*>(Adopt(panel, new GLUI_Checkbox(this, name, live_var, id, cb)));
}
GLUI_Spinner* GLUI::add_spinner(const char* name, int data_type, void* live_var, int id,
                                GLUI_Update_CB cb) {
  return add_spinner_to_panel(nullptr, name, data_type, live_var, id, cb);
}
GLUI_Spinner* GLUI::add_spinner_to_panel(GLUI_Panel* panel, const char* name, int data_type,
                                         void* live_var, int id, GLUI_Update_CB cb) {
  return static_cast<GLUI_Spinner*>(
      Adopt(panel, new GLUI_Spinner(this, name, data_type, live_var, id, cb)));
}
GLUI_Rotation* GLUI::add_rotation(const char* name, float* live_var, int id, GLUI_Update_CB cb) {
  return add_rotation_to_panel(nullptr, name, live_var, id, cb);
}
GLUI_Rotation* GLUI::add_rotation_to_panel(GLUI_Panel* panel, const char* name, float* live_var,
                                           int id, GLUI_Update_CB cb) {
  return static_cast<GLUI_Rotation*>(Adopt(panel, new GLUI_Rotation(this, name, live_var, id, cb)));
}

GLUI_EditText* GLUI::add_edittext(const char* name, int data_type, std::string* live_var, int id,
                                  GLUI_Update_CB cb) {
  return add_edittext_to_panel(nullptr, name, data_type, live_var, id, cb);
}
GLUI_EditText* GLUI::add_edittext_to_panel(GLUI_Panel* panel, const char* name, int data_type,
                                           std::string* live_var, int id, GLUI_Update_CB cb) {
  if (data_type != GLUI_EDITTEXT_TEXT) return nullptr;
  // Letters of other scripts are read only where a name can be typed.
  WithWindow(glut_window, [] { glui_internal::TypedText::Watch(); });
  return static_cast<GLUI_EditText*>(Adopt(panel, new GLUI_EditText(this, name, live_var, id, cb)));
}
GLUI_List* GLUI::add_list(int scroll, int id, GLUI_Update_CB cb) {
  return add_list_to_panel(nullptr, scroll, id, cb);
}
GLUI_List* GLUI::add_list_to_panel(GLUI_Panel* panel, int scroll, int id, GLUI_Update_CB cb) {
  return static_cast<GLUI_List*>(Adopt(panel, new GLUI_List(this, scroll, id, cb)));
}

void GLUI::sync_live() {
  bool changed = false;
  root.ForEachControl([&changed](GLUI_Control& control) {
    if (control.SyncLive()) changed = true;
  });
  if (changed || GLUI_Master.redraw_every_sync) RequestFrame();
}

// ---------------------------------------------------------------------------
// GLUI_Master_Object
// ---------------------------------------------------------------------------
GLUI* GLUI_Master_Object::create_glui_subwindow(int parent_window, int position) {
  if (parent_window <= 0) return nullptr;
  guis.push_back(std::make_unique<GLUI>(parent_window, position));
  GLUI* gui = guis.back().get();

  int pw, ph;
  ParentSize(parent_window, &pw, &ph);
  int sx, sy, sw, sh;
  gui->SubwindowRect(pw, ph, &sx, &sy, &sw, &sh);
  gui->glut_window = glutCreateSubWindow(parent_window, sx, sy, std::max(1, sw), std::max(1, sh));
  glui_internal::Layer::InstallSubwindowCallbacks();
  gui->engine = std::make_unique<GluiEngine>();

  // The parent gets the layer's reshape handler so the subwindows follow
  // its size even if the program never sets a reshape function.
  glutSetWindow(parent_window);
  CallbacksOf(parent_window);
  glutReshapeFunc(glui_internal::Layer::ParentReshape);
  EnsureIdleInstalled();
  return gui;
}

GLUI_Master_Object::WindowCallbacks& GLUI_Master_Object::CallbacksOf(int window) {
  for (auto& entry : callbacks)
    if (entry.window == window) return entry;
  callbacks.push_back(WindowCallbacks{});
  callbacks.back().window = window;
  return callbacks.back();
}

GLUI* GLUI_Master_Object::FindByWindow(int window) {
  for (auto& gui : guis)
    if (gui->glut_window == window) return gui.get();
  return nullptr;
}

void GLUI_Master_Object::set_glutKeyboardFunc(void (*f)(unsigned char, int, int)) {
  CallbacksOf(glutGetWindow()).keyboard = f;
  glutKeyboardFunc(glui_internal::Layer::ParentKeyboard);
}

void GLUI_Master_Object::set_glutMouseFunc(void (*f)(int, int, int, int)) {
  CallbacksOf(glutGetWindow()).mouse = f;
  glutMouseFunc(glui_internal::Layer::ParentMouse);
}

void GLUI_Master_Object::set_glutSpecialFunc(void (*f)(int, int, int)) {
  CallbacksOf(glutGetWindow()).special = f;
  glutSpecialFunc(glui_internal::Layer::ParentSpecial);
}

void GLUI_Master_Object::set_glutReshapeFunc(void (*f)(int, int)) {
  CallbacksOf(glutGetWindow()).reshape = f;
  glutReshapeFunc(glui_internal::Layer::ParentReshape);
}

void GLUI_Master_Object::set_glutIdleFunc(void (*f)()) {
  user_idle = f;
  EnsureIdleInstalled();
}

void GLUI_Master_Object::EnsureIdleInstalled() {
  if (idle_installed) return;
  glutIdleFunc(glui_internal::Layer::Idle);
  idle_installed = true;
}

void GLUI_Master_Object::sync_live_all() {
  for (auto& gui : guis) gui->sync_live();
}

// Height taken from the parent's bottom edge by its BOTTOM subwindows.
int GLUI_Master_Object::BottomHeightOf(int parent) {
  int taken = 0;
  for (auto& gui : guis)
    if (gui->parent_window == parent && gui->side == GLUI_SUBWINDOW_BOTTOM) taken += gui->root.h;
  return taken;
}

void GLUI_Master_Object::PlaceSubwindowsOf(int parent, int parent_w, int parent_h) {
  for (auto& gui : guis) {
    if (gui->parent_window != parent || gui->glut_window <= 0) continue;
    int sx, sy, sw, sh;
    gui->SubwindowRect(parent_w, parent_h, &sx, &sy, &sw, &sh);
    WithWindow(gui->glut_window, [&] {
      glutPositionWindow(sx, sy);
      glutReshapeWindow(sw, sh);
      glutPostRedisplay();
    });
  }
}

void GLUI_Master_Object::DropFocus(GLUI* clicked) {
  for (auto& gui : guis) {
    if (gui.get() == clicked) {
      gui->root.ForEachControl([](GLUI_Control& control) { control.StopMotion(); });
      continue;
    }
    gui->root.ForEachControl([](GLUI_Control& control) { control.LoseFocus(); });
    if (gui->engine) gui->engine->drop_focus = true;
    gui->RequestFrame();
  }
}

void GLUI_Master_Object::ForEachControl(int window, const std::function<void(GLUI_Control&)>& fn) {
  for (auto& gui : guis)
    if (window == 0 || gui->parent_window == window) gui->root.ForEachControl(fn);
}

bool GLUI_Master_Object::PlaceOfSubwindow(int subwindow, int parent_w, int parent_h, int* x, int* y,
                                          int* w, int* h) {
  const GLUI* gui = FindByWindow(subwindow);
  if (gui) gui->SubwindowRect(parent_w, parent_h, x, y, w, h);
  return gui != nullptr;
}

void GLUI_Master_Object::FocusLeavesForPressIn(int window) {
  for (const WindowCallbacks& entry : callbacks)
    if (entry.window == window && entry.mouse) {
      DropFocus();
      return;
    }
}

void GLUI_Master_Object::get_viewport_area(int* x, int* y, int* w, int* h) {
  int window = glutGetWindow();
  int left = 0, bottom = 0;
  int width = window > 0 ? glutGet(GLUT_WINDOW_WIDTH) : 0;
  int height = window > 0 ? glutGet(GLUT_WINDOW_HEIGHT) : 0;
  for (auto& gui : guis) {
    if (gui->parent_window != window) continue;
    switch (gui->side) {
      case GLUI_SUBWINDOW_LEFT:
        left += gui->root.w;
        width -= gui->root.w;
        break;
      case GLUI_SUBWINDOW_RIGHT:
        width -= gui->root.w;
        break;
      case GLUI_SUBWINDOW_TOP:
        height -= gui->root.h;
        break;
      default:
        bottom += gui->root.h;
        height -= gui->root.h;
        break;
    }
  }
  if (x) *x = left;
  if (y) *y = bottom;
  if (w) *w = std::max(0, width);
  if (h) *h = std::max(0, height);
}

void GLUI_Master_Object::auto_set_viewport() {
  int x, y, w, h;
  get_viewport_area(&x, &y, &w, &h);
  glViewport(x, y, w, h);
}

// ---------------------------------------------------------------------------
// Handlers on parent windows, and idle
// ---------------------------------------------------------------------------
namespace glui_internal {

void Layer::ParentReshape(int width, int height) {
  int window = glutGetWindow();
  auto reshape = GLUI_Master.CallbacksOf(window).reshape;
  if (reshape)
    reshape(width, height);
  else
    glViewport(0, 0, width, height);
  // The subwindows follow after the program has seen the full size.
  GLUI_Master.PlaceSubwindowsOf(window, width, height);
  glutSetWindow(window);
}

void Layer::ParentMouse(int button, int state, int x, int y) {
  int window = glutGetWindow();
  // A click in the graphics window takes focus from the controls first.
  if (state == GLUT_DOWN) GLUI_Master.DropFocus();
  glutSetWindow(window);
  auto mouse = GLUI_Master.CallbacksOf(window).mouse;
  if (mouse) mouse(button, state, x, y);
}

void Layer::ParentKeyboard(unsigned char key, int x, int y) {
  auto keyboard = GLUI_Master.CallbacksOf(glutGetWindow()).keyboard;
  if (keyboard) keyboard(key, x, y);
}

void Layer::ParentSpecial(int key, int x, int y) {
  auto special = GLUI_Master.CallbacksOf(glutGetWindow()).special;
  if (special) special(key, x, y);
}

void Layer::Idle() {
  QueueTypedLetters(false);
  for (auto& gui : GLUI_Master.guis) {
    bool turned = false;
    gui->root.ForEachControl([&](GLUI_Control& control) {
      if (control.Tick()) turned = true;
    });
    if (turned && gui->main_gfx_window > 0) glutPostWindowRedisplay(gui->main_gfx_window);
    if (turned || (gui->engine && gui->engine->wants_frames)) gui->RequestFrame();
  }
  if (GLUI_Master.user_idle) GLUI_Master.user_idle();
}

}  // namespace glui_internal
