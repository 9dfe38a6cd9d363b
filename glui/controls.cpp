// The retained control tree: construction, values, live variables and the
// layout arithmetic. Nothing here draws; see draw.cpp for that.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "glui/arcball.h"
#include "glui/glui.h"
#include "glui/metrics.h"

using namespace glui_metrics;

namespace {

// The text of a number that strtod reads back as exactly the same double.
std::string ExactNumber(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.17g", value);
  return text;
}

// The blank-separated numbers of `text`; false when a word is not a finite
// number.
bool ReadNumbers(const std::string& text, std::vector<double>* numbers) {
  const char* at = text.c_str();
  for (;;) {
    while (*at == ' ' || *at == '\t') ++at;
    if (!*at) return true;
    char* end = nullptr;
    const double number = std::strtod(at, &end);
    if (end == at || (*end && *end != ' ' && *end != '\t') || !std::isfinite(number)) return false;
    numbers->push_back(number);
    at = end;
  }
}

// What a script's value must be, said when it is not.
constexpr const char* kSpinnerValue = "a spinner is set to one value";
constexpr const char* kRotationValue =
    "a rotation is set to 16 matrix numbers (and 4 more to keep it spinning)";

// The one number of `text`; false when it holds anything else.
bool ReadOneNumber(const std::string& text, double* number) {
  std::vector<double> numbers;
  if (!ReadNumbers(text, &numbers) || numbers.size() != 1) return false;
  *number = numbers[0];
  return true;
}

}  // namespace

// ---------------------------------------------------------------------------
// GLUI_Control
// ---------------------------------------------------------------------------
GLUI_Control::GLUI_Control(GLUI* owner, const char* label, int id, GLUI_Update_CB cb,
                           int default_alignment)
    : glui(owner),
      name(label ? label : ""),
      user_id(id),
      callback(cb),
      alignment(default_alignment) {}

GLUI_Control::~GLUI_Control() = default;

void GLUI_Control::set_alignment(int new_alignment) {
  if (new_alignment != GLUI_ALIGN_LEFT && new_alignment != GLUI_ALIGN_RIGHT &&
      new_alignment != GLUI_ALIGN_CENTER)
    return;
  alignment = new_alignment;
  if (glui) glui->Relayout();
}

void GLUI_Control::set_name(const char* new_name) {
  name = new_name ? new_name : "";
  RelayoutGlui();
}

void GLUI_Control::Place(int px, int py) {
  x = px;
  y = py;
}

void GLUI_Control::ReportChange() {
  if (glui) glui->RunChange(this);
}

void GLUI_Control::ReportActivation(GLUI_Object_CB cb, GLUI_Control* object) {
  if (glui) glui->RunActivation(this, cb, object);
}

void GLUI_Control::RelayoutGlui() {
  if (glui) glui->Relayout();
}

void GLUI_Control::RequestFrame() {
  if (glui) glui->RequestFrame();
}

std::vector<std::string> GLUI_Control::LabelPath() const {
  std::vector<std::string> labels{name};
  for (const GLUI_Panel* panel = parent; panel; panel = panel->parent)
    if (!panel->name.empty()) labels.insert(labels.begin(), panel->name);
  return labels;
}

void GLUI_Control::PrepareScriptedChange() {
  GLUI_Master.DropFocus(glui);
  RequestFrame();
}

std::string GLUI_Control::SetValueText(const std::string& text) {
  PrepareScriptedChange();
  return AcceptValueText(text);
}

std::string GLUI_Control::Activate() {
  PrepareScriptedChange();
  return AcceptActivation();
}

std::string GLUI_Control::AcceptValueText(const std::string&) {
  return "\"" + name + "\" cannot be changed";
}

std::string GLUI_Control::AcceptActivation() { return "\"" + name + "\" cannot be changed"; }

// ---------------------------------------------------------------------------
// GLUI_Panel: columns of stacked children
// ---------------------------------------------------------------------------
GLUI_Panel::GLUI_Panel(GLUI* owner, const char* label, int panel_type)
    : GLUI_Control(owner, label, -1, nullptr, GLUI_ALIGN_CENTER), type(panel_type) {}

void GLUI_Panel::Measure() {
  const bool titled = type != GLUI_PANEL_NONE && !name.empty();
  inner_top = titled ? kTitledPanelTop : kMargin;
  columns.assign(1, Column{});
  bar_x.clear();
  std::vector<int> heights(1, 0);

  // Widths and heights of every column; a column marker opens the next.
  for (auto& child : children) {
    child->Measure();
    if (auto* column = dynamic_cast<GLUI_Column*>(child.get())) {
      columns.push_back(Column{});
      heights.push_back(0);
      bar_x.push_back(column->bar ? 0 : -1);
      continue;
    }
    Column& current = columns.back();
    current.width = std::max(current.width, child->w);
    int& height = heights.back();
    height += (height > 0 ? kItemGap : 0) + child->h;
  }

  // Columns side by side: the next one starts past the widest control, with
  // an etched bar in the gap when asked.
  int cursor = kMargin;
  for (size_t i = 0; i < columns.size(); ++i) {
    columns[i].x = cursor;
    cursor += columns[i].width;
    if (i + 1 < columns.size()) {
      cursor += kColumnGap;
      if (bar_x[i] >= 0) {
        bar_x[i] = cursor;
        cursor += kBarWidth + kColumnGap;
      }
    }
  }
  int content_height = *std::max_element(heights.begin(), heights.end());
  w = cursor + kMargin;
  if (titled) w = std::max(w, TextWidth(name.c_str()) + kTitleMinExtra);
  h = inner_top + content_height + kMargin;
  inner_bottom = inner_top + content_height;
}

void GLUI_Panel::Place(int px, int py) {
  x = px;
  y = py;
  size_t column_index = 0;
  int cursor_y = inner_top;
  for (auto& child : children) {
    if (dynamic_cast<GLUI_Column*>(child.get())) {
      ++column_index;
      cursor_y = inner_top;
      continue;
    }
    const Column& column = columns[column_index];
    // Separators run across their whole column.
    if (dynamic_cast<GLUI_Separator*>(child.get())) child->w = column.width;
    int offset = 0;
    if (child->alignment == GLUI_ALIGN_CENTER)
      offset = (column.width - child->w) / 2;
    else if (child->alignment == GLUI_ALIGN_RIGHT)
      offset = column.width - child->w;
    child->Place(px + column.x + offset, py + cursor_y);
    cursor_y += child->h + kItemGap;
  }
}

// ---------------------------------------------------------------------------
// Columns, separators, buttons
// ---------------------------------------------------------------------------
GLUI_Column::GLUI_Column(GLUI* owner, int draw_bar)
    : GLUI_Control(owner, "", -1, nullptr, GLUI_ALIGN_LEFT), bar(draw_bar) {}

void GLUI_Column::Measure() {
  w = 0;
  h = 0;
}

GLUI_Separator::GLUI_Separator(GLUI* owner)
    : GLUI_Control(owner, "", -1, nullptr, GLUI_ALIGN_LEFT) {}

void GLUI_Separator::Measure() {
  w = 0;  // takes its column's width when placed
  h = kSeparatorHeight;
}

GLUI_Button::GLUI_Button(GLUI* owner, const char* label, int id, GLUI_Update_CB cb)
    : GLUI_Control(owner, label, id, cb, GLUI_ALIGN_CENTER) {}

void GLUI_Button::Measure() {
  w = std::max(kButtonMinWidth, TextWidth(name.c_str()) + kButtonTextExtra);
  h = kButtonHeight;
}

std::string GLUI_Button::AcceptValueText(const std::string&) {
  return "a button is clicked, not set or toggled";
}

std::string GLUI_Button::AcceptActivation() {
  ReportChange();
  return {};
}

// ---------------------------------------------------------------------------
// GLUI_Checkbox
// ---------------------------------------------------------------------------
GLUI_Checkbox::GLUI_Checkbox(GLUI* owner, const char* label, int* live_var, int id,
                             GLUI_Update_CB cb)
    : GLUI_Control(owner, label, id, cb, GLUI_ALIGN_LEFT),
      live(live_var),
      value(live_var ? *live_var : 0),
      last_live(value) {}

void GLUI_Checkbox::set_int_val(int new_value) {
  value = new_value;
  if (live) *live = value;
  last_live = value;
}

void GLUI_Checkbox::Measure() {
  w = kCheckboxSquare + kCheckboxTextGap + TextWidth(name.c_str());
  h = kCheckboxSquare;
}

bool GLUI_Checkbox::SyncLive() {
  if (!live || held || *live == last_live) return false;
  const bool shown = value != 0;
  value = *live;
  last_live = value;
  return shown != (value != 0);
}

void GLUI_Checkbox::WriteLive() {
  if (live) *live = value;
  last_live = value;
}

std::string GLUI_Checkbox::ValueText() const { return value ? "1" : "0"; }

std::string GLUI_Checkbox::AcceptValueText(const std::string& text) {
  double number = 0;
  if (!ReadOneNumber(text, &number)) return "a checkbox takes one value, 0 or 1";
  value = number != 0 ? 1 : 0;
  ReportChange();
  return {};
}

std::string GLUI_Checkbox::AcceptActivation() {
  return "a checkbox is set or toggled, not clicked";
}

// ---------------------------------------------------------------------------
// GLUI_Spinner
// ---------------------------------------------------------------------------
namespace {

double ReadLive(int data_type, const void* live) {
  if (!live) return 0;
  if (data_type == GLUI_SPINNER_INT) return *static_cast<const int*>(live);
  return *static_cast<const float*>(live);
}

}  // namespace

GLUI_Spinner::GLUI_Spinner(GLUI* owner, const char* label, int type, void* live_var, int id,
                           GLUI_Update_CB cb)
    : GLUI_Control(owner, label, id, cb, GLUI_ALIGN_LEFT),
      data_type(type == GLUI_SPINNER_FLOAT ? GLUI_SPINNER_FLOAT : GLUI_SPINNER_INT),
      live(live_var) {
  value = ReadLive(data_type, live);
  last_live = value;
  RefreshText();
}

double GLUI_Spinner::Constrain(double candidate) const {
  if (!std::isfinite(candidate)) candidate = 0;
  if (limit_type == GLUI_LIMIT_CLAMP) candidate = std::min(std::max(candidate, low), high);
  if (data_type == GLUI_SPINNER_INT) {
    // Keep the rounded value inside what an int holds.
    candidate = std::min(std::max(candidate, -2147483648.0), 2147483647.0);
    candidate = std::round(candidate);
  } else {
    candidate = static_cast<float>(candidate);
  }
  return candidate;
}

bool GLUI_Spinner::Assign(double candidate) {
  double constrained = Constrain(candidate);
  bool changed = constrained != value;
  value = constrained;
  RefreshText();
  return changed;
}

void GLUI_Spinner::RefreshText() {
  if (data_type == GLUI_SPINNER_INT) {
    std::snprintf(text, sizeof text, "%d", static_cast<int>(value));
    return;
  }
  // Six significant digits, trailing zeros dropped, at least one decimal.
  std::snprintf(text, sizeof text, "%.6g", value);
  if (!std::strpbrk(text, ".eEn")) std::strncat(text, ".0", sizeof text - std::strlen(text) - 1);
}

void GLUI_Spinner::CommitText() {
  // An empty or unparsable box reads as 0.
  double typed = std::strtod(text, nullptr);
  if (Assign(typed)) ReportChange();
}

void GLUI_Spinner::set_int_limits(int lo, int hi, int type) {
  set_float_limits(static_cast<float>(lo), static_cast<float>(hi), type);
}

void GLUI_Spinner::set_float_limits(float lo, float hi, int type) {
  low = std::min(lo, hi);
  high = std::max(lo, hi);
  limit_type = type == GLUI_LIMIT_CLAMP ? GLUI_LIMIT_CLAMP : GLUI_LIMIT_NONE;
  if (limit_type == GLUI_LIMIT_CLAMP && (value < low || value > high)) {
    value = data_type == GLUI_SPINNER_INT ? std::round(low) : low;
    WriteLive();
  }
  RefreshText();
}

int GLUI_Spinner::get_int_val() const { return static_cast<int>(value); }
float GLUI_Spinner::get_float_val() const { return static_cast<float>(value); }

void GLUI_Spinner::set_int_val(int new_value) {
  Assign(new_value);
  WriteLive();
}

void GLUI_Spinner::set_float_val(float new_value) {
  Assign(new_value);
  WriteLive();
}

void GLUI_Spinner::Measure() {
  w = TextWidth(name.c_str()) + kSpinnerLabelGap + kSpinnerBoxWidth + kSpinnerArrowWidth;
  h = kSpinnerHeight;
}

bool GLUI_Spinner::SyncLive() {
  if (!live || IsHeld()) return false;
  double current = ReadLive(data_type, live);
  if (current == last_live) return false;
  const bool changed = Assign(current);
  // The clamped value goes back into the variable.
  WriteLive();
  return changed;
}

void GLUI_Spinner::LoseFocus() {
  if (!editing) return;
  editing = false;
  CommitText();
}

void GLUI_Spinner::WriteLive() {
  if (live) {
    if (data_type == GLUI_SPINNER_INT)
      *static_cast<int*>(live) = static_cast<int>(value);
    else
      *static_cast<float*>(live) = static_cast<float>(value);
  }
  last_live = ReadLive(data_type, live ? live : nullptr);
  if (!live) last_live = value;
}

std::string GLUI_Spinner::ValueText() const { return ExactNumber(value); }

std::string GLUI_Spinner::AcceptValueText(const std::string& typed) {
  double number = 0;
  if (!ReadOneNumber(typed, &number)) return kSpinnerValue;
  // As typed text is committed: only a change reaches the callback.
  if (Assign(number)) ReportChange();
  return {};
}

std::string GLUI_Spinner::AcceptActivation() { return kSpinnerValue; }

// ---------------------------------------------------------------------------
// GLUI_Rotation
// ---------------------------------------------------------------------------
namespace {

// A spin stops once a tick turns by less than this many degrees.
constexpr float kSpinRestDegrees = 0.16f;

}  // namespace

GLUI_Rotation::GLUI_Rotation(GLUI* owner, const char* label, float* live_var, int id,
                             GLUI_Update_CB cb)
    : GLUI_Control(owner, label, id, cb, GLUI_ALIGN_CENTER), live(live_var) {
  if (live)
    std::memcpy(matrix, live, sizeof matrix);
  else
    arcball::SetIdentity(matrix);
  std::memcpy(last_live, matrix, sizeof matrix);
}

void GLUI_Rotation::set_spin(float damping) {
  spin_damping = std::max(0.0f, damping);
  if (spin_damping == 0) spinning = false;
}

void GLUI_Rotation::reset() {
  spinning = false;
  arcball::SetIdentity(matrix);
  WriteLive();
}

void GLUI_Rotation::Measure() {
  w = kRotationWidth;
  h = kRotationHeight;
}

bool GLUI_Rotation::SyncLive() {
  if (!live || held) return false;
  if (std::memcmp(live, last_live, sizeof last_live) == 0) return false;
  std::memcpy(matrix, live, sizeof matrix);
  std::memcpy(last_live, matrix, sizeof matrix);
  return true;
}

bool GLUI_Rotation::Tick() {
  if (!spinning) return false;
  arcball::Quat step =
      arcball::ScaleAngle({spin_quat[0], spin_quat[1], spin_quat[2], spin_quat[3]}, spin_damping);
  if (arcball::AngleDegrees(step) < kSpinRestDegrees) {
    spinning = false;
    return false;
  }
  spin_quat[0] = step.x;
  spin_quat[1] = step.y;
  spin_quat[2] = step.z;
  spin_quat[3] = step.w;
  arcball::TurnOnViewerSide(step, matrix);
  arcball::Orthonormalize(matrix);
  // A spin writes the variable but calls no callback.
  WriteLive();
  return true;
}

void GLUI_Rotation::WriteLive() {
  if (live) std::memcpy(live, matrix, sizeof matrix);
  std::memcpy(last_live, matrix, sizeof matrix);
}

std::string GLUI_Rotation::ValueText() const {
  std::string text;
  for (float number : matrix) text += (text.empty() ? "" : " ") + ExactNumber(number);
  if (spinning)
    for (float number : spin_quat) text += " " + ExactNumber(number);
  return text;
}

std::string GLUI_Rotation::AcceptValueText(const std::string& text) {
  std::vector<double> numbers;
  if (!ReadNumbers(text, &numbers) || (numbers.size() != 16 && numbers.size() != 20))
    return kRotationValue;
  for (int i = 0; i < 16; ++i) matrix[i] = static_cast<float>(numbers[i]);
  spinning = false;
  if (numbers.size() == 16) {
    ReportChange();
    return {};
  }
  // A ball set spinning turns on from here without a callback, as after a
  // flick.
  for (int i = 0; i < 4; ++i) spin_quat[i] = static_cast<float>(numbers[16 + i]);
  spinning = spin_damping > 0;
  WriteLive();
  return {};
}

std::string GLUI_Rotation::AcceptActivation() { return kRotationValue; }

// ---------------------------------------------------------------------------
// GLUI_EditText
// ---------------------------------------------------------------------------
GLUI_EditText::GLUI_EditText(GLUI* owner, const char* label, std::string* live_var, int id,
                             GLUI_Update_CB cb)
    : GLUI_Control(owner, label, id, cb, GLUI_ALIGN_LEFT),
      live(live_var),
      text(live_var ? *live_var : std::string()),
      committed(text),
      last_live(text) {}

void GLUI_EditText::set_text(const char* new_text) {
  text = committed = new_text ? new_text : "";
  WriteLive();
  RequestFrame();
}

void GLUI_EditText::set_object_callback(GLUI_Object_CB cb, GLUI_Control* object) {
  object_callback = cb;
  associated_object = object;
}

void GLUI_EditText::set_w(int new_w) {
  width = new_w;
  RelayoutGlui();
}

void GLUI_EditText::Measure() {
  const int label = name.empty() ? 0 : TextWidth(name.c_str()) + kEditTextLabelGap;
  w = width > 0 ? std::max(width, label + kEditTextMinBox) : label + kEditTextBoxWidth;
  h = kEditTextHeight;
}

bool GLUI_EditText::SyncLive() {
  if (!live || editing || *live == last_live) return false;
  const bool changed = *live != text;
  text = committed = last_live = *live;
  return changed;
}

void GLUI_EditText::LoseFocus() {
  if (!editing) return;
  editing = false;
  CommitText();
}

void GLUI_EditText::CommitText() {
  if (text == committed) return;
  committed = text;
  ReportChange();
}

void GLUI_EditText::WriteLive() {
  if (live) *live = text;
  last_live = text;
}

std::string GLUI_EditText::AcceptValueText(const std::string& typed) {
  text = typed;
  CommitText();
  return {};
}

// Enter: the text is committed first, so the callback sees it.
std::string GLUI_EditText::AcceptActivation() {
  CommitText();
  ReportActivation(object_callback, associated_object ? associated_object : this);
  return {};
}

// ---------------------------------------------------------------------------
// GLUI_StaticText
// ---------------------------------------------------------------------------
GLUI_StaticText::GLUI_StaticText(GLUI* owner, const char* text)
    : GLUI_Control(owner, text, -1, nullptr, GLUI_ALIGN_LEFT) {}

void GLUI_StaticText::set_text(const char* new_text) {
  name = new_text ? new_text : "";
  RequestFrame();
}

void GLUI_StaticText::set_w(int new_w) {
  width = new_w;
  RelayoutGlui();
}

void GLUI_StaticText::Measure() {
  w = width > 0 ? width : TextWidth(name.c_str());
  h = kListRowHeight;
}

// ---------------------------------------------------------------------------
// GLUI_List
// ---------------------------------------------------------------------------
GLUI_List::GLUI_List(GLUI* owner, int scroll, int id, GLUI_Update_CB cb)
    : GLUI_Control(owner, "", id, cb, GLUI_ALIGN_LEFT), scrollbar(scroll != 0) {}

void GLUI_List::add_item(int id, const char* item_text) { add_item(id, item_text, ""); }

void GLUI_List::add_item(int, const char* item_text, const std::string& detail) {
  items.push_back({item_text ? item_text : "", detail});
  RequestFrame();
}

void GLUI_List::delete_all() {
  items.clear();
  current = first = 0;
  RequestFrame();
}

void GLUI_List::set_current_item(int line) {
  current = std::clamp(line, 0, std::max(0, static_cast<int>(items.size()) - 1));
  ClampScroll(true);
  RequestFrame();
}

void GLUI_List::set_object_callback(GLUI_Object_CB cb, GLUI_Control* object) {
  object_callback = cb;
  associated_object = object;
}

void GLUI_List::set_w(int new_w) {
  width = new_w;
  RelayoutGlui();
}

void GLUI_List::set_h(int new_h) {
  height = new_h;
  RelayoutGlui();
}

void GLUI_List::Measure() {
  const int least = 2 * kListInset + kListRowHeight;
  w = std::max(width > 0 ? width : kListWidth, least + (scrollbar ? kScrollbarWidth : 0));
  h = std::max(height > 0 ? height : 2 * kListInset + kListRows * kListRowHeight, least);
}

int GLUI_List::VisibleRows() const { return (h - 2 * kListInset) / kListRowHeight; }

void GLUI_List::ClampScroll(bool follow_current) {
  const int rows = VisibleRows();
  if (follow_current) {
    if (current < first) first = current;
    if (current >= first + rows) first = current - rows + 1;
  }
  first = std::clamp(first, 0, std::max(0, static_cast<int>(items.size()) - rows));
}

void GLUI_List::Choose(int line) {
  current = line;
  ClampScroll(true);
  ReportChange();
}

std::string GLUI_List::ValueText() const {
  return current < static_cast<int>(items.size()) ? items[current].text : std::string();
}

std::string GLUI_List::AcceptValueText(const std::string& item_text) {
  const auto found = std::find_if(items.begin(), items.end(),
                                  [&](const Item& item) { return item.text == item_text; });
  if (found == items.end()) return "no item \"" + item_text + "\" in the list";
  Choose(static_cast<int>(found - items.begin()));
  return {};
}

std::string GLUI_List::AcceptActivation() {
  if (items.empty()) return "the list has no item to activate";
  ReportActivation(object_callback, associated_object ? associated_object : this);
  return {};
}
