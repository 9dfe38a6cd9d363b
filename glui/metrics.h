#pragma once
// Sizes of the control layer, in pixels. They follow GLUI's metrics, made a
// little more compact where the panels' small windows need it (right margins
// of 6 instead of 12, spinner text boxes of 52). Text is measured with the
// default ImGui font (ProggyClean, 13 px, every glyph 7 px wide), so a layout
// is exact before anything is drawn.

namespace glui_metrics {

constexpr int kCharWidth = 7;
constexpr int kFontHeight = 13;

constexpr int kMargin = 6;          // container inner margin, every side
constexpr int kItemGap = 3;         // between stacked controls
constexpr int kColumnGap = 6;       // after a column, before a bar or the next
constexpr int kBarWidth = 2;        // etched column bar
constexpr int kTitledPanelTop = 16; // content below an embossed panel title
constexpr int kPanelBorderTop = 6;  // border line of a titled panel
constexpr int kTitleInset = 7;      // title x within its panel
constexpr int kTitleMinExtra = 20;  // titled panel is at least title + this

constexpr int kButtonHeight = 20;
constexpr int kButtonMinWidth = 100;
constexpr int kButtonTextExtra = 12;

constexpr int kCheckboxSquare = 15;
constexpr int kCheckboxTextGap = 4;

constexpr int kSpinnerHeight = 20;
constexpr int kSpinnerLabelGap = 4;
constexpr int kSpinnerBoxWidth = 52;
constexpr int kSpinnerArrowWidth = 12;

constexpr int kSeparatorHeight = 8;

constexpr int kEditTextHeight = 20;
constexpr int kEditTextLabelGap = 4;
constexpr int kEditTextBoxWidth = 120;  // until set_w says otherwise
constexpr int kEditTextMinBox = 20;

constexpr int kListWidth = 160;  // until set_w says otherwise
constexpr int kListRows = 6;     // rows shown until set_h says otherwise
constexpr int kListRowHeight = 15;
constexpr int kListInset = 2;  // border and padding around the rows
constexpr int kScrollbarWidth = 12;

constexpr int kRotationWidth = 50;
constexpr int kRotationBall = 46;
constexpr int kRotationHeight = 66;  // ball, gap, name

inline int TextWidth(const char* text) {
  int n = 0;
  while (text && text[n]) ++n;
  return n * kCharWidth;
}

}  // namespace glui_metrics
