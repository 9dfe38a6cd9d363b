#include "play/controls.h"

#include <cstdlib>
#include <vector>

namespace {

using Form = GLUI_Control::ScriptForm;

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
  std::vector<std::string> enclosing = control.LabelPath();
  const std::string name = enclosing.back();
  enclosing.pop_back();
  // The label may itself hold slashes: try it as the last one, two, … parts.
  for (std::size_t tail = 1; tail <= parts.size(); ++tail) {
    std::string label;
    for (std::size_t i = parts.size() - tail; i < parts.size(); ++i)
      label += (label.empty() && i == parts.size() - tail ? "" : "/") + parts[i];
    if (label == name && EnclosedBy(enclosing, parts, parts.size() - tail)) return true;
  }
  return false;
}

// Controls a script can change: panels, columns and separators are none.
std::vector<GLUI_Control*> Candidates(int window, const std::vector<std::string>& parts) {
  std::vector<GLUI_Control*> found;
  GLUI_Master.ForEachControl(window, [&](GLUI_Control& control) {
    if (control.Form() != Form::kNone && Matches(control, parts)) found.push_back(&control);
  });
  return found;
}

// A set line's value as the control reads it: the quoted text, or the
// numbers as their shortest exact text, separated by blanks.
std::string ValueTextOf(const Event& event) {
  if (event.valueText) return *event.valueText;
  std::string text;
  for (double value : event.values) text += (text.empty() ? "" : " ") + FormatNumber(value);
  return text;
}

std::vector<double> NumbersOf(const std::string& text) {
  std::vector<double> numbers;
  const char* at = text.c_str();
  for (char* end = nullptr;; at = end) {
    const double number = std::strtod(at, &end);
    if (end == at) return numbers;
    numbers.push_back(number);
  }
}

}  // namespace

std::string ControlPath(const GLUI_Control& control) {
  std::string path;
  for (const std::string& label : control.LabelPath()) path += (path.empty() ? "" : "/") + label;
  return path;
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
  switch (event.kind) {
    case EventKind::kSet:
      return control.SetValueText(ValueTextOf(event));
    case EventKind::kToggle:
      if (control.Form() != Form::kCheckbox) return "only a checkbox is toggled";
      return control.SetValueText(control.ValueText() == "0" ? "1" : "0");
    case EventKind::kClick:
      if (control.Form() == Form::kList) return "a list is set to an item or activated";
      return control.Activate();
    case EventKind::kActivate:
      if (control.Form() != Form::kList && control.Form() != Form::kText)
        return "only a list or a text field is activated";
      return control.Activate();
    default:
      return "\"" + ControlPath(control) + "\" is set, toggled, clicked or activated";
  }
}

Event ControlEvent(const GLUI_Control& control, GLUI_Control::Change change) {
  Event event;
  event.text = ControlPath(control);
  event.kind = EventKind::kSet;
  const Form form = control.Form();
  if (form == Form::kButton)
    event.kind = EventKind::kClick;
  else if (change == GLUI_Control::Change::kActivation)
    event.kind = EventKind::kActivate;
  else if (form == Form::kText || form == Form::kList)
    event.valueText = control.ValueText();
  else
    event.values = NumbersOf(control.ValueText());
  return event;
}
