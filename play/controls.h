#pragma once
// Panel controls by label, as session scripts name them: "Panel/Control",
// with as many enclosing panel labels in front as it takes to tell equal
// labels apart ("Path Curve/LOD:", "Normal Nodes/Width/Start:").

#include <string>

#include "glui/glui.h"
#include "play/script.h"

// Every named enclosing panel, outermost first, then the control's label.
std::string ControlPath(const GLUI_Control& control);

// The one control of `window`'s GLUI subwindows (of every window when
// `window` has none that fits) whose label is the path's last part and
// whose enclosing panels hold the earlier parts in order. nullptr, with
// `error` set, when none or several fit.
GLUI_Control* FindControl(int window, const std::string& path, std::string* error);

// Applies a set, toggle, click or activate event as a person's change of
// the control: focus leaves the other controls, the value is written, the
// callback runs. Returns what did not fit, or an empty text.
std::string ApplyControlEvent(GLUI_Control& control, const Event& event);

// The event that repeats `change` just made to `control`: the value a
// spinner or checkbox now holds, a button's click, a rotation's matrix (and
// its spin, while spinning), a text field's text, a list's chosen item or
// its activation.
Event ControlEvent(const GLUI_Control& control, GLUI_Control::Change change);
