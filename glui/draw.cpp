// Drawing and input of each control with ImGui, at the box the layout gave
// it. Panels, bars and separators are drawn with the draw list in GLUI's
// etched look; the rest are ImGui widgets in a light grey style.
#include <imgui.h>
#include <imgui_stdlib.h>

#include <algorithm>
#include <cfloat>
#include <cmath>

#include "glui/arcball.h"
#include "glui/engine.h"
#include "glui/glui.h"
#include "glui/metrics.h"

using namespace glui_metrics;

namespace {

const ImU32 kShadow = IM_COL32(128, 128, 128, 255);
const ImU32 kHighlight = IM_COL32(255, 255, 255, 255);
const ImU32 kText = IM_COL32(0, 0, 0, 255);
const ImU32 kBackground = IM_COL32(200, 200, 200, 255);
const ImU32 kFace = IM_COL32(212, 208, 200, 255);
const ImU32 kBox = IM_COL32(255, 255, 255, 255);
const ImU32 kBoxBorder = IM_COL32(90, 90, 90, 255);
const ImU32 kSelection = IM_COL32(51, 94, 168, 255);
const ImU32 kSelectionText = IM_COL32(255, 255, 255, 255);

// Arrow auto-repeat: first repeat after the delay, then every interval.
constexpr double kRepeatDelay = 0.4;
constexpr double kRepeatInterval = 0.05;
// A release within this long after the last motion counts as a flick.
constexpr double kFlickWindow = 0.1;
constexpr float kSpinStartDegrees = 0.16f;

ImVec2 At(float x, float y) { return ImVec2(x, y); }

// A 1-px etched line (shadow then highlight) from a to b.
void EtchedLine(ImDrawList* list, ImVec2 a, ImVec2 b, bool vertical) {
  ImVec2 step = vertical ? ImVec2(1, 0) : ImVec2(0, 1);
  list->AddLine(a, b, kShadow);
  list->AddLine(ImVec2(a.x + step.x, a.y + step.y),
                ImVec2(b.x + step.x, b.y + step.y), kHighlight);
}

void EtchedRect(ImDrawList* list, float x0, float y0, float x1, float y1) {
  list->AddRect(At(x0 + 1.5f, y0 + 1.5f), At(x1 - 0.5f, y1 - 0.5f), kHighlight);
  list->AddRect(At(x0 + 0.5f, y0 + 0.5f), At(x1 - 1.5f, y1 - 1.5f), kShadow);
}

// Digits and '-', and '.' when UserData points at GLUI_SPINNER_FLOAT.
int SpinnerCharFilter(ImGuiInputTextCallbackData* data) {
  const int data_type = *static_cast<const int*>(data->UserData);
  ImWchar c = data->EventChar;
  if (c >= '0' && c <= '9') return 0;
  if (c == '-') return 0;
  if (c == '.' && data_type == GLUI_SPINNER_FLOAT) return 0;
  return 1;
}

}  // namespace

// ---------------------------------------------------------------------------
void GLUI_Panel::Draw(GluiFrame& frame) {
  ImDrawList* list = ImGui::GetWindowDrawList();
  const float fx = static_cast<float>(x), fy = static_cast<float>(y);
  if (type != GLUI_PANEL_NONE) {
    const bool titled = !name.empty();
    const float top = titled ? fy + kPanelBorderTop : fy;
    EtchedRect(list, fx, top, fx + w, fy + h);
    if (titled) {
      // The title sits on a patch of background that interrupts the border.
      float tx = fx + kTitleInset;
      list->AddRectFilled(At(tx - 2, fy), At(tx + TextWidth(name.c_str()) + 2, fy + kFontHeight),
                          kBackground);
      list->AddText(At(tx, fy), kText, name.c_str());
    }
  }
  for (int bar : bar_x) {
    if (bar < 0) continue;
    const float bx = fx + bar + 0.5f;
    EtchedLine(list, At(bx, fy + inner_top), At(bx, fy + inner_bottom), true);
  }
  for (auto& child : children) child->Draw(frame);
}

void GLUI_Separator::Draw(GluiFrame&) {
  ImDrawList* list = ImGui::GetWindowDrawList();
  const float inset = w * 0.05f;
  const float ly = y + h / 2 - 0.5f;
  EtchedLine(list, At(x + inset, ly), At(x + w - inset, ly), false);
}

// ---------------------------------------------------------------------------
void GLUI_Button::Draw(GluiFrame&) {
  ImGui::PushID(this);
  ImGui::SetCursorPos(At(static_cast<float>(x), static_cast<float>(y)));
  // ImGui buttons fire on release inside and cancel when released outside.
  bool pressed = ImGui::Button(name.c_str(), At(static_cast<float>(w), static_cast<float>(h)));
  held = ImGui::IsItemActive();
  ImGui::PopID();
  if (pressed) ReportChange();
}

void GLUI_Checkbox::Draw(GluiFrame&) {
  ImGui::PushID(this);
  ImGui::SetCursorPos(At(static_cast<float>(x), static_cast<float>(y)));
  ImGui::PushStyleVar(ImGuiStyleVar_FramePadding,
                      At(1, (kCheckboxSquare - kFontHeight) / 2.0f));
  ImGui::PushStyleVar(ImGuiStyleVar_ItemInnerSpacing, At(kCheckboxTextGap, 0));
  bool checked = value != 0;
  bool toggled = ImGui::Checkbox(name.c_str(), &checked);
  held = ImGui::IsItemActive();
  ImGui::PopStyleVar(2);
  ImGui::PopID();
  if (toggled) {
    value = checked ? 1 : 0;
    ReportChange();
  }
}

// ---------------------------------------------------------------------------
void GLUI_Spinner::Draw(GluiFrame& frame) {
  ImGuiIO& io = ImGui::GetIO();
  ImDrawList* list = ImGui::GetWindowDrawList();
  ImGui::PushID(this);
  const float fx = static_cast<float>(x), fy = static_cast<float>(y);
  list->AddText(At(fx, fy + (h - kFontHeight) / 2.0f), kText, name.c_str());

  // Text box: edited freely, committed when ImGui deactivates it (Enter,
  // Tab, a click elsewhere, or the layer dropping focus). Escape restores
  // the old text, which then commits as no change.
  const float box_x = fx + TextWidth(name.c_str()) + kSpinnerLabelGap;
  ImGui::SetCursorPos(At(box_x, fy));
  ImGui::SetNextItemWidth(kSpinnerBoxWidth);
  ImGui::PushStyleVar(ImGuiStyleVar_FramePadding,
                      At(3, (kSpinnerHeight - kFontHeight) / 2.0f));
  ImGui::InputText("##value", text, sizeof text,
                   ImGuiInputTextFlags_CallbackCharFilter | ImGuiInputTextFlags_AutoSelectAll,
                   SpinnerCharFilter, &data_type);
  ImGui::PopStyleVar();
  editing = ImGui::IsItemActive();
  if (ImGui::IsItemDeactivated()) CommitText();

  // Arrows: a click steps, holding repeats, a vertical drag slides.
  const float arrow_x = box_x + kSpinnerBoxWidth;
  const float half = kSpinnerHeight / 2.0f;
  bool any_held = false;
  for (int direction : {+1, -1}) {
    const float ay = direction > 0 ? fy : fy + half;
    ImGui::SetCursorPos(At(arrow_x, ay));
    ImGui::InvisibleButton(direction > 0 ? "##up" : "##down",
                           At(kSpinnerArrowWidth, half));
    const bool active = ImGui::IsItemActive();
    double step = data_type == GLUI_SPINNER_INT ? 1.0
                  : limit_type == GLUI_LIMIT_CLAMP ? (high - low) / 100.0
                                                   : 0.01;
    if (ImGui::IsItemActivated()) {
      dragged = false;
      drag_accum = 0;
      hold_started = last_repeat = frame.time;
      if (Assign(value + direction * step)) ReportChange();
    } else if (active && io.MouseDelta.y != 0) {
      dragged = true;
      double per_pixel = limit_type == GLUI_LIMIT_CLAMP ? (high - low) / 800.0
                         : data_type == GLUI_SPINNER_INT
                             ? 0.4
                             : 0.05 * std::sqrt(std::max(std::fabs(value), 0.01));
      if (io.KeyShift) per_pixel *= 100.0;
      if (io.KeyCtrl) per_pixel *= 0.01;
      drag_accum += -io.MouseDelta.y * per_pixel;  // up increases
      double whole = data_type == GLUI_SPINNER_INT ? std::trunc(drag_accum) : drag_accum;
      if (whole != 0) {
        drag_accum -= whole;
        if (Assign(value + whole)) ReportChange();
      }
    } else if (active && !dragged && frame.time - hold_started > kRepeatDelay &&
               frame.time - last_repeat > kRepeatInterval) {
      last_repeat = frame.time;
      if (Assign(value + direction * step)) ReportChange();
    }
    any_held = any_held || active;

    // Drawn as a small raised button with a triangle.
    const ImVec2 a0 = At(arrow_x, ay), a1 = At(arrow_x + kSpinnerArrowWidth, ay + half);
    list->AddRectFilled(a0, a1, active ? kShadow : kFace);
    list->AddRect(a0, a1, kBoxBorder);
    const float mx = arrow_x + kSpinnerArrowWidth / 2.0f, my = ay + half / 2.0f;
    if (direction > 0)
      list->AddTriangleFilled(At(mx - 3, my + 2), At(mx + 3, my + 2), At(mx, my - 2), kText);
    else
      list->AddTriangleFilled(At(mx - 3, my - 2), At(mx + 3, my - 2), At(mx, my + 2), kText);
  }
  held = any_held;
  ImGui::PopID();
}

// ---------------------------------------------------------------------------
void GLUI_Rotation::Draw(GluiFrame& frame) {
  ImGuiIO& io = ImGui::GetIO();
  ImDrawList* list = ImGui::GetWindowDrawList();
  ImGui::PushID(this);
  const float cx = x + w / 2.0f;
  const float cy = y + kRotationBall / 2.0f + 2;
  ImGui::SetCursorPos(At(static_cast<float>(x), static_cast<float>(y)));
  ImGui::InvisibleButton("##ball", At(static_cast<float>(w), kRotationBall + 4.0f));
  static ImVec2 previous;  // one ball can be held at a time
  if (ImGui::IsItemActivated()) {
    held = true;
    spinning = false;
    previous = io.MousePos;
  }
  const bool released = ImGui::IsItemDeactivated();
  if (held && (ImGui::IsItemActive() || released) && io.MousePos.x > -1e6f) {
    ImVec2 now = io.MousePos;
    if (io.KeyCtrl) now.y = previous.y;  // horizontal only
    if (io.KeyAlt) now.x = previous.x;   // vertical only
    if (now.x != previous.x || now.y != previous.y) {
      arcball::Quat turn = arcball::TurnBetween(
          arcball::SpherePoint(previous.x - cx, cy - previous.y),
          arcball::SpherePoint(now.x - cx, cy - now.y));
      arcball::TurnOnViewerSide(turn, matrix);
      arcball::Orthonormalize(matrix);
      spin_quat[0] = turn.x;
      spin_quat[1] = turn.y;
      spin_quat[2] = turn.z;
      spin_quat[3] = turn.w;
      last_motion_time = frame.time;
      ReportChange();
    }
    previous = io.MousePos;
  }
  if (released) {
    held = false;
    arcball::Quat last{spin_quat[0], spin_quat[1], spin_quat[2], spin_quat[3]};
    // Only a flick spins: a pause before the release leaves the ball still.
    spinning = spin_damping > 0 && frame.time - last_motion_time < kFlickWindow &&
               arcball::AngleDegrees(last) >= kSpinStartDegrees;
    if (spinning && GLUI_Master.change_listener) GLUI_Master.change_listener(this, Change::kValue);
  }

  // A shaded ball with the three rotated axes; the near half of each axis
  // is drawn thicker so the turn reads in depth.
  const float radius = kRotationBall / 2.0f;
  list->AddCircleFilled(At(cx, cy), radius, IM_COL32(120, 120, 130, 255), 32);
  for (int ring = 1; ring <= 5; ++ring) {
    float r = radius * (1.0f - ring * 0.15f);
    int shade = 120 + ring * 22;
    list->AddCircleFilled(At(cx - ring * 1.6f, cy - ring * 1.6f), r,
                          IM_COL32(shade, shade, shade + 8, 255), 32);
  }
  list->AddCircle(At(cx, cy), radius, IM_COL32(60, 60, 60, 255), 32);
  const ImU32 axis_colours[3] = {IM_COL32(200, 30, 30, 255), IM_COL32(20, 150, 20, 255),
                                 IM_COL32(30, 30, 200, 255)};
  for (int axis = 0; axis < 3; ++axis) {
    const float* column = matrix + axis * 4;
    const float r = radius * 0.85f;
    const float thickness = column[2] >= 0 ? 2.5f : 1.2f;
    list->AddLine(At(cx, cy), At(cx + column[0] * r, cy - column[1] * r),
                  axis_colours[axis], thickness);
  }
  const float text_x = cx - TextWidth(name.c_str()) / 2.0f;
  list->AddText(At(text_x, y + kRotationBall + 6.0f), kText, name.c_str());
  ImGui::PopID();
}

// ---------------------------------------------------------------------------
void GLUI_EditText::Draw(GluiFrame&) {
  ImGui::PushID(this);
  const float fx = static_cast<float>(x), fy = static_cast<float>(y);
  const int label = name.empty() ? 0 : TextWidth(name.c_str()) + kEditTextLabelGap;
  if (label > 0)
    ImGui::GetWindowDrawList()->AddText(At(fx, fy + (h - kFontHeight) / 2.0f), kText, name.c_str());
  // Edited freely, committed when ImGui deactivates the box (Enter, Tab, a
  // click elsewhere, or the layer dropping focus). Escape gives the old
  // text back, which then commits as no change.
  ImGui::SetCursorPos(At(fx + label, fy));
  ImGui::SetNextItemWidth(static_cast<float>(w - label));
  ImGui::PushStyleVar(ImGuiStyleVar_FramePadding, At(3, (kEditTextHeight - kFontHeight) / 2.0f));
  ImGui::PushFont(glui_internal::TextFont());
  const bool entered = ImGui::InputText("##text", &text, ImGuiInputTextFlags_EnterReturnsTrue);
  ImGui::PopFont();
  ImGui::PopStyleVar();
  editing = ImGui::IsItemActive();
  if (ImGui::IsItemDeactivated() || entered) CommitText();
  ImGui::PopID();
  if (entered) AcceptActivation();
}

// ---------------------------------------------------------------------------
void GLUI_List::Draw(GluiFrame&) {
  ImGuiIO& io = ImGui::GetIO();
  ImGui::PushID(this);
  const float left = static_cast<float>(x), top = static_cast<float>(y);
  const float rows_right = static_cast<float>(x + w - (scrollbar ? kScrollbarWidth : 0));
  const float bottom = static_cast<float>(y + h);
  ImGui::SetCursorPos(At(left, top));
  ImGui::InvisibleButton("##list", At(static_cast<float>(w), static_cast<float>(h)));
  const bool hovered = ImGui::IsItemHovered();

  if (ImGui::IsItemActivated()) {
    focused = true;
    const float py = io.MousePos.y - top - kListInset;
    if (io.MousePos.x >= rows_right) {
      // The scrollbar: the thumb is dragged, a press above or below it pages.
      const Thumb thumb = ScrollThumb(top, bottom);
      if (io.MousePos.y >= thumb.top && io.MousePos.y < thumb.top + thumb.length) {
        thumb_grab = io.MousePos.y - thumb.top;
      } else {
        first += io.MousePos.y < thumb.top ? -VisibleRows() : VisibleRows();
        ClampScroll(false);
      }
    } else if (py >= 0) {
      const int line = first + static_cast<int>(py) / kListRowHeight;
      if (line < static_cast<int>(items.size())) {
        if (ImGui::IsMouseDoubleClicked(0) && line == current)
          AcceptActivation();
        else
          Choose(line);
      }
    }
  } else if (ImGui::IsMouseClicked(0) && !hovered) {
    focused = false;  // a press elsewhere in this subwindow
  }
  if (!ImGui::IsItemActive()) thumb_grab = -1;
  if (thumb_grab >= 0) DragThumb(io.MousePos.y, top, bottom);
  if (hovered && io.MouseWheel != 0) {
    first -= static_cast<int>(io.MouseWheel);
    ClampScroll(false);
  }
  if (focused && !items.empty()) {
    const int last = static_cast<int>(items.size()) - 1;
    if (ImGui::IsKeyPressed(ImGui::GetKeyIndex(ImGuiKey_UpArrow)) && current > 0)
      Choose(current - 1);
    if (ImGui::IsKeyPressed(ImGui::GetKeyIndex(ImGuiKey_DownArrow)) && current < last)
      Choose(current + 1);
    if (ImGui::IsKeyPressed(ImGui::GetKeyIndex(ImGuiKey_Enter))) AcceptActivation();
  }

  ImDrawList* list = ImGui::GetWindowDrawList();
  list->AddRectFilled(At(left, top), At(rows_right, bottom), kBox);
  list->AddRect(At(left, top), At(rows_right, bottom), kBoxBorder);
  DrawRows(left, top, rows_right);
  if (scrollbar) DrawScrollbar(rows_right, top, bottom);
  ImGui::PopID();
}

void GLUI_List::DrawRows(float left, float top, float right) {
  ImDrawList* list = ImGui::GetWindowDrawList();
  // Rows end at the list's inner edge: a long item is cut there.
  list->PushClipRect(At(left + 1, top + 1), At(right - 1, top + h - 1), true);
  ImFont* font = glui_internal::TextFont();
  const int end = std::min(static_cast<int>(items.size()), first + VisibleRows());
  for (int line = first; line < end; ++line) {
    const float row_top = top + kListInset + (line - first) * kListRowHeight;
    const bool chosen = line == current;
    if (chosen)
      list->AddRectFilled(At(left + kListInset, row_top),
                          At(right - kListInset, row_top + kListRowHeight), kSelection);
    const ImU32 colour = chosen ? kSelectionText : kText;
    const float text_top = row_top + (kListRowHeight - kFontHeight) / 2.0f;
    // The detail at the row's right end; the text is cut before it.
    float text_right = right - kListInset;
    if (!items[line].detail.empty()) {
      const char* detail = items[line].detail.c_str();
      const float detail_x =
          text_right - 2 - font->CalcTextSizeA(kFontHeight, FLT_MAX, 0, detail).x;
      list->AddText(font, kFontHeight, At(detail_x, text_top), colour, detail);
      text_right = detail_x - 8;
    }
    list->PushClipRect(At(left, top), At(text_right, top + h), true);
    list->AddText(font, kFontHeight, At(left + kListInset + 2, text_top), colour,
                  items[line].text.c_str());
    list->PopClipRect();
  }
  list->PopClipRect();
}

void GLUI_StaticText::Draw(GluiFrame&) {
  ImDrawList* list = ImGui::GetWindowDrawList();
  const float fx = static_cast<float>(x), fy = static_cast<float>(y);
  list->PushClipRect(At(fx, fy), At(fx + w, fy + h), true);
  list->AddText(glui_internal::TextFont(), kFontHeight, At(fx, fy + (h - kFontHeight) / 2.0f), kText,
                name.c_str());
  list->PopClipRect();
}

void GLUI_List::DrawScrollbar(float left, float top, float bottom) {
  ImDrawList* list = ImGui::GetWindowDrawList();
  const float right = left + kScrollbarWidth;
  list->AddRectFilled(At(left, top), At(right, bottom), kFace);
  list->AddRect(At(left, top), At(right, bottom), kBoxBorder);
  const Thumb thumb = ScrollThumb(top, bottom);
  list->AddRectFilled(At(left + 2, thumb.top + 2), At(right - 2, thumb.top + thumb.length - 2),
                      kShadow);
}

GLUI_List::Thumb GLUI_List::ScrollThumb(float top, float bottom) const {
  const int count = std::max(1, static_cast<int>(items.size()));
  const float track = bottom - top;
  return {top + track * first / count,
          track * std::min(1.0f, static_cast<float>(VisibleRows()) / count)};
}

void GLUI_List::DragThumb(float pointer_y, float top, float bottom) {
  const float track = bottom - top;
  const float thumb_top = pointer_y - thumb_grab - top;
  first = static_cast<int>(std::lround(thumb_top * static_cast<float>(items.size()) / track));
  ClampScroll(false);
}
