#pragma once
// GLUI 2.x-compatible control layer: the subset of GLUI the program uses
// (subwindows, panels, buttons, checkboxes, spinners, separators, columns,
// the rotation ball, text fields and lists), under GLUI's own names and
// signatures. Drawing and input are done by Dear ImGui, which never shows
// through this header.
//
// Coordinates of controls are subwindow pixels, origin top-left, y down.
// Live variables are read when a control is created and written whenever the
// user changes the control; code that changes a variable later makes the
// control show it with GLUI::sync_live() or GLUI_Master.sync_live_all().
//
// What only the layer itself uses is private: the layer's own functions
// (glui/engine.h) reach it through glui_internal::Layer.

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

typedef void (*GLUI_Update_CB)(int id);
class GLUI_Control;
// A list's activation callback (GLUI's object callback).
typedef void (*GLUI_Object_CB)(GLUI_Control* object);

enum {
  GLUI_SUBWINDOW_RIGHT = 1,
  GLUI_SUBWINDOW_LEFT = 2,
  GLUI_SUBWINDOW_TOP = 3,
  GLUI_SUBWINDOW_BOTTOM = 4,
};

enum {
  GLUI_PANEL_NONE = 0,
  GLUI_PANEL_EMBOSSED = 1,
  GLUI_PANEL_RAISED = 2,
};

enum {
  GLUI_SPINNER_INT = 1,
  GLUI_SPINNER_FLOAT = 2,
};

// Text fields hold text only: int and float values are the spinners' here.
enum {
  GLUI_EDITTEXT_TEXT = 1,
};

enum {
  GLUI_LIMIT_NONE = 0,
  GLUI_LIMIT_CLAMP = 1,
};

enum {
  GLUI_ALIGN_CENTER = 1,
  GLUI_ALIGN_RIGHT = 2,
  GLUI_ALIGN_LEFT = 3,
};

class GLUI;
class GLUI_Panel;
struct GluiFrame;   // per-frame drawing state, private to the layer
struct GluiEngine;  // a subwindow's ImGui side, private to the layer
namespace glui_internal {
struct Layer;  // the layer's own functions (glui/engine.h)
}

// ---------------------------------------------------------------------------
// Controls
// ---------------------------------------------------------------------------

// Base of every control. Controls are created and owned by their GLUI; the
// pointers handed out stay valid for the life of the program.
class GLUI_Control {
 public:
  virtual ~GLUI_Control();
  GLUI_Control(const GLUI_Control&) = delete;
  GLUI_Control& operator=(const GLUI_Control&) = delete;

  // GLUI_ALIGN_LEFT, _CENTER or _RIGHT within the control's column.
  void set_alignment(int new_alignment);
  int get_id() const { return user_id; }
  const char* get_name() const { return name.c_str(); }
  // A new label; the subwindow is laid out again.
  void set_name(const char* new_name);
  GLUI* get_glui() const { return glui; }

  // --- What a session script reaches (kelvra-play). Not part of GLUI. ---

  // How a script changes the control.
  enum class ScriptForm {
    kNone,      // panels, columns, separators: nothing to change
    kButton,    // clicked, never set
    kCheckbox,  // toggled, or set to 0 or 1
    kNumbers,   // set to numbers: spinners, the rotation ball
    kText,      // set to a text: text fields
    kList,      // set to an item's text, selecting it; activated
  };
  // What a change heard by GLUI_Master.change_listener was.
  enum class Change {
    kValue,       // a new value, or a button's click
    kActivation,  // a list's current item activated
  };
  virtual ScriptForm Form() const { return ScriptForm::kNone; }
  // The labels that name the control in a script: every named enclosing
  // panel, outermost first, then the control's own label.
  std::vector<std::string> LabelPath() const;
  // The value as a script gives it: numbers separated by blanks, each of
  // which reads back (strtod) as exactly the number held; a text field's
  // text; a list's current item. Empty for a button.
  virtual std::string ValueText() const { return std::string(); }
  // Changes the value as a person's change would: focus leaves the other
  // controls (committing their typed text), the value is constrained as
  // typed text is, the variable written and the callback run, in GLUI's
  // order. Returns what does not fit the control, or an empty text.
  std::string SetValueText(const std::string& text);
  // A button's click (a press and release inside it), or a list's current
  // item activated (a double click on it), with the same focus change.
  // Returns what does not fit the control, or an empty text.
  std::string Activate();

 protected:
  GLUI_Control(GLUI* owner, const char* label, int id, GLUI_Update_CB cb, int default_alignment);
  // Runs GLUI's change sequence: WriteLive, redisplay, callback(id).
  void ReportChange();
  // Runs GLUI's activation sequence: redisplay, then cb(object).
  void ReportActivation(GLUI_Object_CB cb, GLUI_Control* object);
  // Lays the subwindow out again: a size or a label changed.
  void RelayoutGlui();
  // The subwindow shows the control's new state at its next frame.
  void RequestFrame();

  GLUI* glui;
  GLUI_Panel* parent = nullptr;
  std::string name;
  int user_id;
  GLUI_Update_CB callback;
  int alignment;
  int x = 0, y = 0, w = 0, h = 0;

 private:
  friend class GLUI;
  friend class GLUI_Panel;
  friend class GLUI_Master_Object;
  friend struct glui_internal::Layer;

  // Computes w and h from the control's content (containers lay out their
  // children first). Pure arithmetic on the layer's metrics; no GL.
  virtual void Measure() = 0;
  // Moves the control's top-left corner to (px, py); containers move their
  // children along.
  virtual void Place(int px, int py);
  // Draws the control at its laid-out box and handles its input (ImGui).
  virtual void Draw(GluiFrame& frame) = 0;
  // Picks up a live variable changed by code. No callback. Returns whether
  // the control now shows something else.
  virtual bool SyncLive() { return false; }
  // Idle work (a spinning rotation ball); returns true while more is needed.
  virtual bool Tick() { return false; }
  // Focus moved elsewhere: commit typed text, stop spinning.
  virtual void LoseFocus() {}
  // A press elsewhere in the control's own subwindow, whose ImGui context
  // moves text focus by itself: only stop moving (spinning).
  virtual void StopMotion() {}
  // True while the mouse holds the control (sync skips it).
  virtual bool IsHeld() const { return false; }
  // The live value was changed by the user: write the variable, redisplay
  // the main graphics window, call the callback there.
  virtual void WriteLive() {}
  // SetValueText and Activate, once the focus has moved.
  virtual std::string AcceptValueText(const std::string& text);
  virtual std::string AcceptActivation();
  // Focus leaves the other controls, and the control shows its new state
  // at its subwindow's next frame, as after a person's click.
  void PrepareScriptedChange();
  // Shows text a person typed or named (text fields, lists, static text):
  // drawn in the layer's text font, which has the letters of Latin, Greek
  // and Cyrillic scripts. Other controls keep GLUI's look.
  virtual bool ShowsNames() const { return false; }
};

// A container. Children are stacked top to bottom; a GLUI_Column child
// starts a new column to the right.
class GLUI_Panel : public GLUI_Control {
 private:
  friend class GLUI;
  friend class GLUI_Master_Object;
  friend struct glui_internal::Layer;

  GLUI_Panel(GLUI* owner, const char* label, int panel_type);
  void Measure() override;
  void Place(int px, int py) override;
  void Draw(GluiFrame& frame) override;

  // Every control inside, nested panels' contents included, in creation
  // order; not the panel itself.
  template <typename Fn>
  void ForEachControl(Fn&& fn) {
    for (auto& child : children) {
      fn(*child);
      if (auto* inner = dynamic_cast<GLUI_Panel*>(child.get())) inner->ForEachControl(fn);
    }
  }

  int type;
  std::vector<std::unique_ptr<GLUI_Control>> children;
  // Inner geometry found by Measure, relative to the panel's corner: the
  // x and width of each column, and the x of each bar between columns.
  struct Column {
    int x = 0;
    int width = 0;
  };
  std::vector<Column> columns;
  std::vector<int> bar_x;  // -1 where the column has no bar
  int inner_top = 0;       // first row of content
  int inner_bottom = 0;    // last row of content + 1
};

// Starts a new column in its panel; draws a vertical bar when asked.
class GLUI_Column : public GLUI_Control {
 private:
  friend class GLUI;
  friend class GLUI_Panel;

  GLUI_Column(GLUI* owner, int draw_bar);
  void Measure() override;
  void Draw(GluiFrame&) override {}

  int bar;
};

// A horizontal etched line across its column.
class GLUI_Separator : public GLUI_Control {
 private:
  friend class GLUI;

  explicit GLUI_Separator(GLUI* owner);
  void Measure() override;
  void Draw(GluiFrame& frame) override;
};

// Fires its callback on release inside; releasing outside cancels.
class GLUI_Button : public GLUI_Control {
 public:
  ScriptForm Form() const override { return ScriptForm::kButton; }

 private:
  friend class GLUI;

  GLUI_Button(GLUI* owner, const char* label, int id, GLUI_Update_CB cb);
  void Measure() override;
  void Draw(GluiFrame& frame) override;
  bool IsHeld() const override { return held; }
  std::string AcceptValueText(const std::string& text) override;
  std::string AcceptActivation() override;

  bool held = false;
};

// Writes 1 or 0 to its int live variable; any non-zero shows as checked.
class GLUI_Checkbox : public GLUI_Control {
 public:
  int get_int_val() const { return value; }
  void set_int_val(int new_value);

  ScriptForm Form() const override { return ScriptForm::kCheckbox; }
  // "1" when checked, "0" when not.
  std::string ValueText() const override;

 private:
  friend class GLUI;

  GLUI_Checkbox(GLUI* owner, const char* label, int* live_var, int id, GLUI_Update_CB cb);
  void Measure() override;
  void Draw(GluiFrame& frame) override;
  bool SyncLive() override;
  bool IsHeld() const override { return held; }
  void WriteLive() override;
  std::string AcceptValueText(const std::string& text) override;
  std::string AcceptActivation() override;

  int* live;
  int value;
  int last_live;
  bool held = false;
};

// An int or float value: label, text box and up/down arrows. The arrows step
// on click, repeat while held, and drag vertically; typed text is committed
// on Enter, Tab or loss of focus.
class GLUI_Spinner : public GLUI_Control {
 public:
  void set_int_limits(int low, int high, int limit_type = GLUI_LIMIT_CLAMP);
  void set_float_limits(float low, float high,
                        int limit_type = GLUI_LIMIT_CLAMP);
  int get_int_val() const;
  float get_float_val() const;
  void set_int_val(int new_value);
  void set_float_val(float new_value);

  ScriptForm Form() const override { return ScriptForm::kNumbers; }
  // The one number held.
  std::string ValueText() const override;

 private:
  friend class GLUI;
  friend struct glui_internal::Layer;

  GLUI_Spinner(GLUI* owner, const char* label, int data_type, void* live_var, int id,
               GLUI_Update_CB cb);
  void Measure() override;
  void Draw(GluiFrame& frame) override;
  bool SyncLive() override;
  void LoseFocus() override;
  bool IsHeld() const override { return held || editing; }
  void WriteLive() override;
  std::string AcceptValueText(const std::string& typed) override;
  std::string AcceptActivation() override;

  // Applies the limits (and int rounding) to a candidate value.
  double Constrain(double candidate) const;
  // Sets the value (constrained) and the text; returns true if it changed.
  bool Assign(double candidate);
  void RefreshText();
  // Parses the text box and commits it as a user change.
  void CommitText();

  int data_type;
  void* live;
  double value = 0;
  double last_live = 0;
  int limit_type = GLUI_LIMIT_NONE;
  double low = 0, high = 0;
  char text[64] = {};
  bool held = false;     // an arrow is pressed
  bool editing = false;  // the text box has keyboard focus
  double drag_accum = 0;   // sub-step drag movement of int spinners
  double hold_started = 0;  // time the arrow went down, for auto-repeat
  double last_repeat = 0;
  bool dragged = false;
};

// The rotation ball: an arcball turning a 16-float column-major matrix.
class GLUI_Rotation : public GLUI_Control {
 public:
  // Damping per idle tick after a flick; 0 turns spinning off.
  void set_spin(float damping);
  void reset();

  ScriptForm Form() const override { return ScriptForm::kNumbers; }
  // The 16 matrix numbers and, while the ball spins, the 4 of the turn
  // (x, y, z, w) it keeps spinning by.
  std::string ValueText() const override;

 private:
  friend class GLUI;
  friend struct glui_internal::Layer;

  GLUI_Rotation(GLUI* owner, const char* label, float* live_var, int id, GLUI_Update_CB cb);
  void Measure() override;
  void Draw(GluiFrame& frame) override;
  bool SyncLive() override;
  bool Tick() override;
  void LoseFocus() override { spinning = false; }
  void StopMotion() override { spinning = false; }
  bool IsHeld() const override { return held; }
  void WriteLive() override;
  std::string AcceptValueText(const std::string& text) override;
  std::string AcceptActivation() override;

  float* live;
  float matrix[16];
  float last_live[16];
  float spin_damping = 0;
  float spin_quat[4] = {0, 0, 0, 1};  // last motion's turn (x, y, z, w)
  bool spinning = false;
  bool held = false;
  double last_motion_time = 0;
};

// A one-line text field: its label, then a box to type in. Typed text is
// committed (the live variable written, the callback run) on Enter, Tab or
// loss of focus, and only when it changed; Esc gives the old text back.
// Every character the keyboard gives is taken (Latin-1 as GLUT delivers
// it) and held as UTF-8. Enter, once the text is committed, runs the
// object callback (not GLUI's: a window's main button answers it).
// The live variable is a std::string rather than GLUI's char buffer: a
// name of any length fits, and no write can run past the buffer's end.
class GLUI_EditText : public GLUI_Control {
 public:
  void set_text(const char* new_text);
  void set_text(const std::string& new_text) { set_text(new_text.c_str()); }
  const char* get_text() const { return text.c_str(); }
  // The whole width, label included; the box takes what the label leaves.
  void set_w(int new_w);
  // Enter's callback: it gets `object`, or the field itself when NULL.
  void set_object_callback(GLUI_Object_CB cb, GLUI_Control* object = NULL);

  ScriptForm Form() const override { return ScriptForm::kText; }
  // The text held.
  std::string ValueText() const override { return text; }

 private:
  friend class GLUI;

  GLUI_EditText(GLUI* owner, const char* label, std::string* live_var, int id, GLUI_Update_CB cb);
  bool ShowsNames() const override { return true; }
  void Measure() override;
  void Draw(GluiFrame& frame) override;
  bool SyncLive() override;
  void LoseFocus() override;
  bool IsHeld() const override { return editing; }
  void WriteLive() override;
  std::string AcceptValueText(const std::string& typed) override;
  std::string AcceptActivation() override;

  // Commits what the box holds: a change is written and called back.
  void CommitText();

  std::string* live;
  GLUI_Object_CB object_callback = nullptr;
  GLUI_Control* associated_object = nullptr;
  std::string text;       // what the box shows, typed text included
  std::string committed;  // the text as last committed or set
  std::string last_live;
  int width = 0;  // set_w's width, 0 until called
  bool editing = false;
};

// A list of text items, one per row, the current one highlighted. A click
// makes an item current and runs the callback; a double click on the
// current item, or Enter, activates it: the object callback runs. The wheel
// and the up and down keys scroll when the items do not fit; items wider
// than the list are cut at its edge. Lines count from 0 at the top.
class GLUI_List : public GLUI_Control {
 public:
  // GLUI keeps the id to find or delete an item by it; this list offers
  // neither, so only the text is kept.
  void add_item(int id, const char* item_text);
  // An item with a detail drawn at the row's right end (a date, a size):
  // not part of its text, which scripts and the callback see.
  void add_item(int id, const char* item_text, const std::string& detail);
  void delete_all();
  // The current item's line; 0 for an empty list.
  int get_current_item() const { return current; }
  // Makes `line` current (held within the items) and scrolls it into view;
  // no callback.
  void set_current_item(int line);
  // The activation callback gets `object`, or the list itself when NULL.
  void set_object_callback(GLUI_Object_CB cb, GLUI_Control* object = NULL);
  void set_w(int new_w);
  void set_h(int new_h);

  ScriptForm Form() const override { return ScriptForm::kList; }
  // The current item's text; empty for an empty list.
  std::string ValueText() const override;

 private:
  friend class GLUI;

  GLUI_List(GLUI* owner, int scroll, int id, GLUI_Update_CB cb);
  bool ShowsNames() const override { return true; }
  void Measure() override;
  void Draw(GluiFrame& frame) override;
  void LoseFocus() override { focused = false; }
  std::string AcceptValueText(const std::string& item_text) override;
  std::string AcceptActivation() override;

  int VisibleRows() const;
  // Keeps `first` within the items, and the current item in view when
  // `follow_current`.
  void ClampScroll(bool follow_current);
  // A person's choice of `line`: it becomes current, the callback runs.
  void Choose(int line);
  void DrawRows(float left, float top, float right);
  void DrawScrollbar(float left, float top, float bottom);
  // The scrollbar's thumb on a track from `top` to `bottom`: the share of
  // the items the rows show, where they stand among them.
  struct Thumb {
    float top, length;
  };
  Thumb ScrollThumb(float top, float bottom) const;
  // Follows the pointer while the thumb is dragged.
  void DragThumb(float pointer_y, float top, float bottom);

  struct Item {
    std::string text, detail;
  };
  std::vector<Item> items;
  int current = 0;
  int first = 0;  // line shown in the top row
  bool scrollbar;
  bool focused = false;  // keys go to the list
  float thumb_grab = -1;  // how far below the thumb's top it was grabbed; -1: not
  GLUI_Object_CB object_callback = nullptr;
  GLUI_Control* associated_object = nullptr;
  int width = 0, height = 0;  // set_w's and set_h's sizes, 0 until called
};

// A line of text, as GLUI's static text, drawn in the text font and cut at
// its width. Not a control a script changes.
class GLUI_StaticText : public GLUI_Control {
 public:
  void set_text(const char* new_text);
  void set_text(const std::string& new_text) { set_text(new_text.c_str()); }
  const char* get_text() const { return name.c_str(); }
  void set_w(int new_w);

 private:
  friend class GLUI;

  GLUI_StaticText(GLUI* owner, const char* text);
  bool ShowsNames() const override { return true; }
  void Measure() override;
  void Draw(GluiFrame& frame) override;

  int width = 0;  // set_w's width, 0 until called
};

// ---------------------------------------------------------------------------
// One GLUI subwindow and its controls
// ---------------------------------------------------------------------------
class GLUI {
 public:
  // GLUI_Master makes GLUIs (create_glui_subwindow). One made here with
  // parent 0 has no window and only lays its controls out, which is how
  // the layer's tests measure.
  GLUI(int parent, int side);
  ~GLUI();
  GLUI(const GLUI&) = delete;
  GLUI& operator=(const GLUI&) = delete;

  // The window redisplayed after every user change, and current during the
  // callbacks. Without it callbacks run with the subwindow current.
  void set_main_gfx_window(int window_id) { main_gfx_window = window_id; }
  int get_glut_window_id() const { return glut_window; }

  GLUI_Panel* add_panel(const char* name, int type = GLUI_PANEL_EMBOSSED);
  GLUI_Panel* add_panel_to_panel(GLUI_Panel* parent_panel, const char* name,
                                 int type = GLUI_PANEL_EMBOSSED);
  GLUI_Button* add_button(const char* name, int id = -1,
                          GLUI_Update_CB cb = NULL);
  GLUI_Button* add_button_to_panel(GLUI_Panel* panel, const char* name,
                                   int id = -1, GLUI_Update_CB cb = NULL);
  void add_separator();
  void add_separator_to_panel(GLUI_Panel* panel);
  void add_column(int draw_bar = true);
  void add_column_to_panel(GLUI_Panel* panel, int draw_bar = true);
  GLUI_Checkbox* add_checkbox(const char* name, int* live_var = NULL,
                              int id = -1, GLUI_Update_CB cb = NULL);
  GLUI_Checkbox* add_checkbox_to_panel(GLUI_Panel* panel, const char* name,
                                       int* live_var = NULL, int id = -1,
                                       GLUI_Update_CB cb = NULL);
  GLUI_Spinner* add_spinner(const char* name, int data_type,
                            void* live_var = NULL, int id = -1,
                            GLUI_Update_CB cb = NULL);
  GLUI_Spinner* add_spinner_to_panel(GLUI_Panel* panel, const char* name,
                                     int data_type, void* live_var = NULL,
                                     int id = -1, GLUI_Update_CB cb = NULL);
  GLUI_Rotation* add_rotation(const char* name, float* live_var = NULL,
                              int id = -1, GLUI_Update_CB cb = NULL);
  GLUI_Rotation* add_rotation_to_panel(GLUI_Panel* panel, const char* name,
                                       float* live_var = NULL, int id = -1,
                                       GLUI_Update_CB cb = NULL);
  GLUI_StaticText* add_statictext(const char* name);
  GLUI_StaticText* add_statictext_to_panel(GLUI_Panel* panel, const char* name);
  // data_type must be GLUI_EDITTEXT_TEXT; any other gives NULL.
  GLUI_EditText* add_edittext(const char* name, int data_type = GLUI_EDITTEXT_TEXT,
                              std::string* live_var = NULL, int id = -1, GLUI_Update_CB cb = NULL);
  GLUI_EditText* add_edittext_to_panel(GLUI_Panel* panel, const char* name,
                                       int data_type = GLUI_EDITTEXT_TEXT,
                                       std::string* live_var = NULL, int id = -1,
                                       GLUI_Update_CB cb = NULL);
  // A list with a scrollbar at its right when `scroll` is true.
  GLUI_List* add_list(int scroll = false, int id = -1, GLUI_Update_CB cb = NULL);
  GLUI_List* add_list_to_panel(GLUI_Panel* panel, int scroll = false, int id = -1,
                               GLUI_Update_CB cb = NULL);

  // Shows live variables changed by code in this GLUI's controls.
  void sync_live();

  // The size the controls take, in pixels: a RIGHT or LEFT subwindow is
  // this wide, a TOP or BOTTOM one this high. Not part of GLUI.
  int ContentWidth() const { return root.w; }
  int ContentHeight() const { return root.h; }

 private:
  friend class GLUI_Control;
  friend class GLUI_Master_Object;
  friend struct glui_internal::Layer;

  // Lays the tree out again and, once the subwindow exists, resizes and
  // moves it to match the parent's current size.
  void Relayout();
  // Size of the subwindow for a parent of the given size.
  void SubwindowRect(int parent_w, int parent_h, int* sx, int* sy, int* sw,
                     int* sh) const;
  void RunChange(GLUI_Control* control);
  // GLUI's sequence for a list's activation: redisplay, then the object
  // callback with the main graphics window current.
  void RunActivation(GLUI_Control* control, GLUI_Object_CB cb, GLUI_Control* object);
  GLUI_Control* Adopt(GLUI_Panel* panel, GLUI_Control* control);
  void RequestFrame();

  int glut_window = 0;
  int parent_window = 0;
  int side = GLUI_SUBWINDOW_BOTTOM;
  int main_gfx_window = 0;
  GLUI_Panel root;
  std::unique_ptr<GluiEngine> engine;
};

// ---------------------------------------------------------------------------
// The master object: subwindow creation, GLUT callback routing, idle
// ---------------------------------------------------------------------------
class GLUI_Master_Object {
 public:
  // A GLUI subwindow inside parent_window, at the given side. The current
  // GLUT window is the parent afterwards.
  GLUI* create_glui_subwindow(int parent_window,
                              int position = GLUI_SUBWINDOW_RIGHT);

  // Install the layer's handler on the current GLUT window and remember the
  // user's function for that window.
  void set_glutKeyboardFunc(void (*f)(unsigned char key, int x, int y));
  void set_glutMouseFunc(void (*f)(int button, int state, int x, int y));
  void set_glutSpecialFunc(void (*f)(int key, int x, int y));
  void set_glutReshapeFunc(void (*f)(int width, int height));
  // The one user idle function (the last set wins; NULL removes it). It runs
  // after the layer's own idle work.
  void set_glutIdleFunc(void (*f)());

  void sync_live_all();
  // The part of the current window not covered by its GLUI subwindows, in
  // glViewport terms (origin bottom-left).
  void get_viewport_area(int* x, int* y, int* w, int* h);
  void auto_set_viewport();

  // Not part of GLUI: a notice over the current window's own picture (a
  // window of the program, not a GLUI subwindow), one or more lines of
  // `text` in a dark box along its bottom edge. Drawn once into the back
  // buffer, after the window's own drawing and before its swap; the GL
  // state is left as it was.
  void draw_notice(const std::string& text);

  // --- Seams for kelvra-play. Not part of GLUI. ---

  // Hears every change made to a control before the control writes its
  // variable, and a rotation ball starting to spin after a flick: where
  // kelvra-play's recorder listens.
  void (*change_listener)(GLUI_Control* control, GLUI_Control::Change change) = nullptr;
  // Sync redraws a subwindow only when one of its controls shows a new
  // value; true redraws every subwindow at every sync, as GLUI does.
  bool redraw_every_sync = false;
  // Every control of the GLUI subwindows of `window` (of every window for
  // 0), nested panels' contents included, in creation order.
  void ForEachControl(int window, const std::function<void(GLUI_Control&)>& fn);
  // Where the GLUI subwindow `subwindow` lies in a parent of parent_w ×
  // parent_h, GLUT pixels from the parent's top-left; false for a window
  // that is no GLUI subwindow.
  bool PlaceOfSubwindow(int subwindow, int parent_w, int parent_h, int* x, int* y, int* w, int* h);
  // What a press in `window` does to the controls before the press itself:
  // when the layer handles that window's mouse, focus leaves every control
  // (committing typed text) and every spin stops.
  void FocusLeavesForPressIn(int window);

 private:
  friend class GLUI;
  friend class GLUI_Control;
  friend struct glui_internal::Layer;

  struct WindowCallbacks {
    int window = 0;
    void (*keyboard)(unsigned char, int, int) = nullptr;
    void (*mouse)(int, int, int, int) = nullptr;
    void (*special)(int, int, int) = nullptr;
    void (*reshape)(int, int) = nullptr;
  };
  WindowCallbacks& CallbacksOf(int window);
  GLUI* FindByWindow(int window);
  // Takes keyboard focus and spin away from every control. The controls of
  // `clicked` keep their text focus (their own ImGui context moves it) but
  // stop spinning.
  void DropFocus(GLUI* clicked = nullptr);
  void EnsureIdleInstalled();
  // Height taken from the parent's bottom edge by its BOTTOM subwindows.
  int BottomHeightOf(int parent);
  // Moves and resizes every subwindow of `parent` for a parent of w x h.
  void PlaceSubwindowsOf(int parent, int parent_w, int parent_h);

  std::vector<std::unique_ptr<GLUI>> guis;
  std::vector<WindowCallbacks> callbacks;
  // The ImGui side of each window draw_notice drew into (its GL context
  // holds the font texture).
  std::vector<std::pair<int, std::unique_ptr<GluiEngine>>> notice_engines;
  void (*user_idle)() = nullptr;
  bool idle_installed = false;
};

extern GLUI_Master_Object GLUI_Master;
