#pragma once
// Session scripts: a painting session as plain text, one event a line, in
// the windows' own terms. A script is read whole into a list of events
// before any of it runs; a line that cannot be read stops the reading with
// "SCRIPT:LINE: what was expected".
//
//   window main|stroke|camera|filter|size|paintings|brushes
//                                           the following events go there
//   press left|middle|right|N X Y           a mouse button at window pixel (X, Y),
//   release left|middle|right|N X Y           origin top-left
//   move X Y                                pointer motion (a drag while a button is down)
//   move X Y pressure P                     a pen's motion over the main view, pressing
//                                             with P (0 to 1)
//   wheel up|down|left|right X Y [shift|ctrl]
//                                           one notch of the wheel at (X, Y), with a
//                                             modifier held
//   mode paint-under-pointer on|off         painting under the pointer, on or off
//   key C                                   one printable character, or Esc, Enter,
//                                             Tab, Backspace, Delete, Space, with
//                                             Ctrl+ / Alt+ / Shift+ in front
//   special NAME                            left right up down f1…f12 page_up page_down
//                                             home end insert delete begin num_lock,
//                                             shift_l … super_r, or a number
//   menu "Label/Sub label/Entry"            a right-button menu entry by its labels
//   set "Panel/Control" VALUE…              a spinner's value, a checkbox's 0 or 1, a
//                                             rotation's 16 matrix numbers (and 4 more:
//                                             the turn it keeps spinning by)
//   set "Panel/Control" "TEXT"              a text field's text, typed and committed;
//                                             a list's item with that text, chosen
//   toggle "Panel/Control"                  flips a checkbox
//   click "Panel/Control"                   presses and releases a button
//   activate "Panel/List"                   activates a list's current item, as a
//                                             double click on it
//   resize W H                              the window's size
//   frames N                                N idle steps
//   wait MS                                 with --realtime, a pause of MS milliseconds
//                                             after the event before it
//   screenshot FILE.png                     a PNG of the current window
//   undo, redo                              one step of the painting back or forward
//   export FILE                             the visible strokes (.glb .obj .ply .stl .png)
//   open FILE                               the painting in FILE, in place of the canvas
//   save FILE                               the painting into FILE (a .kelvra document)
//   brush "Name"                            applies the brush of that name, as the
//                                             Brushes window's Apply does
//   film FILE                               a film of the painting as it stands, its
//                                             strokes appearing one by one (.mp4 .webm,
//                                             or a folder of PNG pictures: DIR/)
//
// A line whose first non-blank character is '#' is a comment; blank lines
// are allowed. Words are separated by blanks; quoted texts may hold blanks,
// and \" and \\ inside them.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum class EventKind {
  kWindow,
  kPress,
  kRelease,
  kMove,
  kKey,
  kSpecial,
  kMenu,
  kSet,
  kToggle,
  kClick,
  kActivate,
  kResize,
  kFrames,
  kWait,
  kScreenshot,
  kUndo,
  kRedo,
  kExport,
  kOpen,
  kSave,
  kFilm,
  kWheel,
  kMode,
  kBrush,
};

// Modifier bits, GLUT's own values (GLUT_ACTIVE_SHIFT, _CTRL, _ALT).
constexpr int kShiftKey = 1, kCtrlKey = 2, kAltKey = 4;

struct Event {
  EventKind kind = EventKind::kFrames;
  int line = 0;       // 1-based line of the script it came from; 0 when made in code
  std::string text;   // window name, menu or control path, file name
  int button = 0;     // GLUT button number (a wheel's: 3 up, 4 down, 5 left, 6 right)
  int x = 0, y = 0;   // pointer position; width and height for resize
  int key = 0;        // character code for key, GLUT key code for special
  int modifiers = 0;  // kShiftKey | kCtrlKey | kAltKey
  long count = 0;     // frames N, wait MS, a mode's 1 (on) or 0 (off)
  std::vector<double> values;            // set to numbers; a pen move's pressure
  std::optional<std::string> valueText;  // set to a quoted text instead

  bool operator==(const Event& other) const;
};

// The window names of `window` lines, in the order main, stroke, camera,
// filter, size, paintings, brushes.
const std::vector<std::string>& ScriptWindowNames();

// Reads a whole script. On the first line that cannot be read returns
// nullopt and sets `error` to "NAME:LINE: what was expected".
std::optional<std::vector<Event>> ParseScript(std::string_view text, const std::string& name,
                                              std::string* error);

// The line that reads back as `event` (without a line end).
std::string FormatEvent(const Event& event);

// The shortest text that reads back (strtod) as the same number, as `set`
// lines write their values.
std::string FormatNumber(double value);

// A menu or control path split at its slashes.
std::vector<std::string> SplitPath(const std::string& path);
