#include "play/controls.h"

#include <cmath>
#include <vector>

#include "glui/arcball.h"

namespace {

// The labels of the named panels around `control`, outermost first.
std::vector<std::string> EnclosingLabels(const GLUI_Control& control) {
  std::vector<std::string> labels;
  for (const GLUI_Panel* panel = control.parent; panel; panel = panel->parent)
    if (!panel->name.empty()) labels.insert(labels.begin(), panel->name);
  return labels;
}

// True when `parts` (all but the last) appear among `labels` in order; a
// part may hold a slash of a label ("A/B" written as the parts A and B).
bool EnclosedBy(const std::vector<std::string>& labels, const std::vector<std::string>& parts,
                std::size_t count) {
  std::size_t label = 0;
  for (std::size_t part = 0; part < count;) {
    bool found = false;
    for (; label < labels.size() && !found; ++label) {
      std::string joined = parts[part];
      for (std::size_t end = part + 1;; ++end) {
        if (joined == labels[label]) {
          part = end;
          found = true;
          break;
        }
        if (end >= count) break;
        joined += "/" + parts[end];
      }
    }
    if (!found) return false;
  }
  return true;
}

bool Matches(const GLUI_Control& control, const std::vector<std::string>& parts) {
  // The label may itself hold slashes: try it as the last one, two, … parts.
  for (std::size_t tail = 1; tail <= parts.size(); ++tail) {
    std::string label;
    for (std::size_t i = parts.size() - tail; i < parts.size(); ++i)
      label += (label.empty() && i == parts.size() - tail ? "" : "/") + parts[i];
    if (label == control.name && EnclosedBy(EnclosingLabels(control), parts, parts.size() - tail))
      return true;
  }
  return false;
}

std::vector<GLUI_Control*> Candidates(int window, const std::vector<std::string>& parts) {
  std::vector<GLUI_Control*> found;
  for (auto& gui : GLUI_Master.guis) {
    if (window != 0 && gui->parent_window != window) continue;
    ForEachControl(gui->root, [&](GLUI_Control& control) {
      if (!dynamic_cast<GLUI_Column*>(&control) && !dynamic_cast<GLUI_Separator*>(&control) &&
          Matches(control, parts))
        found.push_back(&control);
    });
  }
  return found;
}

}  // namespace

std::string ControlPath(const GLUI_Control& control) {
  std::string path;
  for (const std::string& label : EnclosingLabels(control)) path += label + "/";
  return path + control.name;
}

GLUI_Control* FindControl(int window, const std::string& path, std::string* error) {
  const std::vector<std::string> parts = SplitPath(path);
  std::vector<GLUI_Control*> found = Candidates(window, parts);
  if (found.empty()) found = Candidates(0, parts);
  if (found.size() == 1) return found.front();
  if (error)
    *error = found.empty()
                 ? "no control \"" + path + "\""
                 : "more than one control \"" + path + "\": name an enclosing panel too, as in \"" +
                       ControlPath(*found.front()) + "\"";
  return nullptr;
}

std::string ApplyControlEvent(GLUI_Control& control, const Event& event) {
  GLUI_Master.DropFocus(control.glui);
  // The control shows its new state at the subwindow's next frame, as after
  // a person's click.
  if (control.glui) control.glui->RequestFrame();
  if (auto* button = dynamic_cast<GLUI_Button*>(&control)) {
    if (event.kind != EventKind::kClick) return "a button is clicked, not set or toggled";
    button->glui->RunChange(button);
    return {};
  }
  if (auto* checkbox = dynamic_cast<GLUI_Checkbox*>(&control)) {
    int value = checkbox->value ? 0 : 1;
    if (event.kind == EventKind::kSet) {
      if (event.values.size() != 1) return "a checkbox takes one value, 0 or 1";
      value = event.values[0] != 0 ? 1 : 0;
    } else if (event.kind != EventKind::kToggle) {
      return "a checkbox is set or toggled, not clicked";
    }
    checkbox->value = value;
    checkbox->glui->RunChange(checkbox);
    return {};
  }
  if (auto* spinner = dynamic_cast<GLUI_Spinner*>(&control)) {
    if (event.kind != EventKind::kSet || event.values.size() != 1)
      return "a spinner is set to one value";
    // As typed text is committed: only a change reaches the callback.
    if (spinner->Assign(event.values[0])) spinner->glui->RunChange(spinner);
    return {};
  }
  if (auto* ball = dynamic_cast<GLUI_Rotation*>(&control)) {
    if (event.kind != EventKind::kSet || event.values.size() < 16)
      return "a rotation is set to 16 matrix numbers (and 4 more to keep it spinning)";
    for (int i = 0; i < 16; ++i) ball->matrix[i] = static_cast<float>(event.values[i]);
    ball->spinning = false;
    if (event.values.size() == 20) {
      for (int i = 0; i < 4; ++i) ball->spin_quat[i] = static_cast<float>(event.values[16 + i]);
      ball->spinning = ball->spin_damping > 0;
      ball->WriteLive();
      return {};
    }
    ball->glui->RunChange(ball);
    return {};
  }
  return "\"" + control.name + "\" cannot be changed";
}

Event ControlEvent(const GLUI_Control& control) {
  Event event;
  event.text = ControlPath(control);
  event.kind = EventKind::kSet;
  if (dynamic_cast<const GLUI_Button*>(&control)) {
    event.kind = EventKind::kClick;
  } else if (auto* checkbox = dynamic_cast<const GLUI_Checkbox*>(&control)) {
    event.values = {checkbox->value ? 1.0 : 0.0};
  } else if (auto* spinner = dynamic_cast<const GLUI_Spinner*>(&control)) {
    event.values = {spinner->value};
  } else if (auto* ball = dynamic_cast<const GLUI_Rotation*>(&control)) {
    event.values.assign(ball->matrix, ball->matrix + 16);
    if (ball->spinning)
      event.values.insert(event.values.end(), ball->spin_quat, ball->spin_quat + 4);
  }
  return event;
}
