// Controls driven with real input under Xvfb: events go through the layer's
// own GLUT handlers (the queue the subwindow's mouse, motion and keyboard
// callbacks fill) and frames are drawn exactly as the display callback does.
#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <tuple>
#include <vector>

#include "glui/engine.h"
#include "glui/glui.h"
#include "glui/metrics.h"
#include "image/pixel_store.h"
#include "tests/support/gl_window.h"

using glui_internal::Layer;
using glui_internal::Now;

namespace {

// What a callback saw: its id, the live value of its control (the name
// field's text, the list's current line), the window.
struct Call {
  int id;
  double value;
  int window;
  std::string text = {};
};
std::vector<Call> calls;

int IntValue = 10;
float FloatValue = 0.5f;
int Flag = 0;
float Ball[16];
int NotUsed = 0;
std::string Name;
GLUI_List* List = nullptr;
// The objects the list's activation callback was given.
std::vector<GLUI_Control*> activations;

void Record(int id) {
  const double value = id == 1   ? IntValue
                       : id == 2 ? FloatValue
                       : id == 3 ? Flag
                       : id == 7 ? List->get_current_item()
                                 : 0;
  calls.push_back({id, value, glutGetWindow(), id == 6 ? Name : std::string()});
}

void RecordActivation(GLUI_Control* object) { activations.push_back(object); }
// The last callback's id and value; -1 when there was none.
std::pair<int, double> Last() {
  return calls.empty() ? std::pair{-1, 0.0} : std::pair{calls.back().id, calls.back().value};
}

// One RIGHT and one BOTTOM subwindow of an 800x600 window, built once.
int MainWindowId = 0;
GLUI* Right = nullptr;
GLUI* Bottom = nullptr;
GLUI_Spinner* IntSpinner = nullptr;
GLUI_Spinner* FloatSpinner = nullptr;
GLUI_Checkbox* Box = nullptr;
GLUI_Button* Button = nullptr;
GLUI_Rotation* BallControl = nullptr;
GLUI_EditText* NameField = nullptr;
// More paintings than the list's six rows; the last is wider than the list.
constexpr int kItems = 13;
const char* const kLongItem = "A painting whose name runs far past the list's right edge";

void BuildScene() {
  MainWindowId = EnsureHiddenGlWindow(800, 600);
  for (int i = 0; i < 16; ++i) Ball[i] = (i % 5 == 0) ? 1.0f : 0.0f;
  Right = GLUI_Master.create_glui_subwindow(MainWindowId, GLUI_SUBWINDOW_RIGHT);
  Right->set_main_gfx_window(MainWindowId);
  GLUI_Panel* panel = Right->add_panel("Values");
  IntSpinner = Right->add_spinner_to_panel(panel, "Int:", GLUI_SPINNER_INT, &IntValue, 1, Record);
  IntSpinner->set_int_limits(0, 100, GLUI_LIMIT_CLAMP);
  FloatSpinner =
      Right->add_spinner_to_panel(panel, "Float:", GLUI_SPINNER_FLOAT, &FloatValue, 2, Record);
  Box = Right->add_checkbox("Flag", &Flag, 3, Record);
  Button = Right->add_button("Press", 4, Record);
  BallControl = Right->add_rotation("Ball", Ball, 5, Record);
  BallControl->set_spin(0.9f);
  GLUI_Panel* open = Right->add_panel("Open");
  List = Right->add_list_to_panel(open, true, 7, Record);
  List->set_object_callback(RecordActivation, Button);
  for (int i = 0; i + 1 < kItems; ++i) List->add_item(i, ("Painting " + std::to_string(i)).c_str());
  List->add_item(kItems - 1, kLongItem);
  NameField = Right->add_edittext_to_panel(open, "Name:", GLUI_EDITTEXT_TEXT, &Name, 6, Record);
  NameField->set_object_callback(RecordActivation);
  Bottom = GLUI_Master.create_glui_subwindow(MainWindowId, GLUI_SUBWINDOW_BOTTOM);
  Bottom->add_checkbox("Unused", &NotUsed);
  glutMainLoopEvent();  // GLUT gives the subwindows their laid-out sizes
}

// Draws frames as the GLUT loop would: one for the input, more while
// events are queued, and then as long as the layer asks for them (a few
// at most: an active text box asks for frames all the time).
void Pump() {
  glutSetWindow(Right->get_glut_window_id());
  Layer::DrawFrame(*Right);
  const GluiEngine& engine = Layer::Engine(*Right);
  for (int i = 0; i < 200 && !engine.queue.empty(); ++i) Layer::DrawFrame(*Right);
  for (int i = 0; i < 3 && engine.wants_frames; ++i) Layer::DrawFrame(*Right);
}

// The subwindow's pixels as the last frame left them.
std::vector<unsigned char> Shown() {
  glutSetWindow(Right->get_glut_window_id());
  const int w = glutGet(GLUT_WINDOW_WIDTH), h = glutGet(GLUT_WINDOW_HEIGHT);
  std::vector<unsigned char> rgb(static_cast<size_t>(w) * h * 3);
  const PixelStoreScope tightRows;
  glReadBuffer(GL_BACK);
  glReadPixels(0, 0, w, h, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
  return rgb;
}

// When the layer stops asking for frames, the screen shows what the
// controls hold: one more frame would draw the same pixels.
bool ScreenIsSettled() {
  const std::vector<unsigned char> before = Shown();
  Layer::DrawFrame(*Right);
  return Shown() == before;
}

// The pointer moved to (x, y) and, unless `button` is -1, the left button
// pressed (GLUT_DOWN) or released (GLUT_UP) there.
void PointerAt(int x, int y, int button = -1) {
  Layer::QueueMotion(*Right, x, y);
  if (button >= 0) Layer::QueueMouse(*Right, GLUT_LEFT_BUTTON, button, x, y, 0);
  Pump();
}
// A press and release at (x, y) and keys after them, all queued before a
// frame is drawn, as they arrive from a fast hand.
void QueueClick(int x, int y) {
  Layer::QueueMotion(*Right, x, y);
  Layer::QueueMouse(*Right, GLUT_LEFT_BUTTON, GLUT_DOWN, x, y, 0);
  Layer::QueueMouse(*Right, GLUT_LEFT_BUTTON, GLUT_UP, x, y, 0);
}
void QueueKeys(const char* keys) {
  for (const char* k = keys; *k; ++k)
    Layer::QueueKey(*Right, static_cast<unsigned char>(*k), false, 0);
}
void ClickAt(int x, int y) {
  QueueClick(x, y);
  Pump();
}
void ClickMainWindow() {
  glutSetWindow(MainWindowId);
  Layer::ParentMouse(GLUT_LEFT_BUTTON, GLUT_DOWN, 100, 100);
  Pump();
}

void Type(const char* text) {
  QueueKeys(text);
  Pump();
}

Layer::Box BoxOf(const GLUI_Control* c) { return Layer::BoxOf(*c); }
int CentreX(const GLUI_Control* c) { return BoxOf(c).x + BoxOf(c).w / 2; }
int CentreY(const GLUI_Control* c) { return BoxOf(c).y + BoxOf(c).h / 2; }
int BallCentreY() { return BoxOf(BallControl).y + 25; }

// A point inside the text box of a spinner, from the layer's metrics.
int TextBoxX(const GLUI_Spinner* s) {
  return BoxOf(s).x + glui_metrics::TextWidth(s->get_name()) + glui_metrics::kSpinnerLabelGap + 20;
}
void QueueClickAndKeys(const GLUI_Spinner* s, const char* keys) {
  QueueClick(TextBoxX(s), CentreY(s));
  QueueKeys(keys);
}

// The list's rows from the layer's metrics: the middle of the row showing
// the given visible row (0 at the top), and a point over the list.
int ListRowY(int row) {
  return BoxOf(List).y + glui_metrics::kListInset + row * glui_metrics::kListRowHeight +
         glui_metrics::kListRowHeight / 2;
}
int ListX() { return BoxOf(List).x + 20; }

void QueueListClick(int row) { QueueClick(ListX(), ListRowY(row)); }

// freeglut's wheel buttons: 3 away from the person, 4 towards.
void TurnWheel(int notches) {
  for (int i = 0; i < std::abs(notches); ++i)
    Layer::QueueMouse(*Right, notches > 0 ? 3 : 4, GLUT_DOWN, ListX(), ListRowY(0), 0);
  Pump();
}

void PressSpecial(int key, int times = 1) {
  for (int i = 0; i < times; ++i) Layer::QueueKey(*Right, key, true, 0);
  Pump();
}

class GluiInput : public testing::Test {
 protected:
  static void SetUpTestSuite() { BuildScene(); }
  void SetUp() override {
    IntValue = 10;
    FloatValue = 0.5f;
    Name = "";
    GLUI_Master.sync_live_all();
    List->set_current_item(0);
    Pump();  // the first frames build the fonts and windows
    Pump();
    calls.clear();
    activations.clear();
  }
};

}  // namespace

// A fast typist: the click on the box and every key of a line are queued
// before the panel draws its next frame. "\b" is Backspace.
TEST_F(GluiInput, FastTypingReachesTheTextBoxKeyByKeyInOrder) {
  struct Case {
    const char* keys;
    const char* shown;
  } const cases[] = {
      {"0.125", "0.125"},          // the first key right after the click
      {"0.125\b\b\b", "0."},       // three Backspaces delete three characters
      {"5555", "5555"},            // the same key again and again
      {"12\b\b\b\b\b\b34", "34"},  // auto-repeat past the start of the box
      {"9.\b\b7\b8", "8"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.keys);
    QueueClickAndKeys(FloatSpinner, c.keys);
    Pump();
    EXPECT_STREQ(Layer::TextOf(*FloatSpinner), c.shown);
    Type("\r");
    EXPECT_FLOAT_EQ(FloatValue, std::strtof(c.shown, nullptr));
  }

  // The click that takes the edit from one box to the next, keys right after.
  QueueClickAndKeys(IntSpinner, "42");
  Pump();
  calls.clear();
  QueueClickAndKeys(FloatSpinner, "0.75\r");
  Pump();
  EXPECT_EQ(std::make_pair(IntValue, FloatValue), std::make_pair(42, 0.75f));
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(std::make_pair(calls[0].id, calls[1].id), std::make_pair(1, 2));
}

TEST_F(GluiInput, ArrowClickStepsAndDragSlidesWithinLimits) {
  const int ax = BoxOf(IntSpinner).x + BoxOf(IntSpinner).w - 5, ay = BoxOf(IntSpinner).y + 4;
  ClickAt(ax, ay);
  EXPECT_EQ(std::make_tuple(IntValue, int(calls.size()), Last()),
            std::make_tuple(11, 1, std::pair(1, 11.0)));

  // Press the arrow, drag 400 px up: (100 - 0) / 800 per pixel = +50.
  PointerAt(ax, ay, GLUT_DOWN);
  for (int step = 1; step <= 40; ++step) PointerAt(ax, ay - 10 * step);
  EXPECT_NEAR(IntValue, 62, 1);
  EXPECT_EQ(Last(), std::pair(1, double(IntValue))) << "callback sees the written value";
  for (int step = 41; step <= 200; ++step) PointerAt(ax, ay - 10 * step);  // pinned at the top
  PointerAt(ax, ay - 2000, GLUT_UP);
  EXPECT_EQ(std::make_pair(IntValue, Last()), std::make_pair(100, std::pair(1, 100.0)));
}

// A checkbox shows any non-zero value as ticked and a click writes 0 or 1;
// a button fires on a release inside it only.
TEST_F(GluiInput, CheckboxTogglesBetweenZeroAndOneButtonFiresOnReleaseInside) {
  Flag = 5;
  GLUI_Master.sync_live_all();
  for (int expected : {0, 1, 0}) {
    ClickAt(BoxOf(Box).x + 5, CentreY(Box));
    EXPECT_EQ(std::make_pair(Flag, Last()),
              std::make_pair(expected, std::pair(3, double(expected))));
  }
  calls.clear();
  const int x = CentreX(Button), y = CentreY(Button);
  PointerAt(x, y, GLUT_DOWN);
  EXPECT_TRUE(Layer::IsHeld(*Button));
  PointerAt(x + 300, y, GLUT_UP);
  EXPECT_TRUE(calls.empty()) << "nothing on press, and a release outside cancels";
  ClickAt(x, y);
  EXPECT_EQ(std::make_pair(int(calls.size()), Last().first), std::make_pair(1, 4));
}

TEST_F(GluiInput, ViewportAreaLeavesOutBottomAndRightSubwindows) {
  glutSetWindow(MainWindowId);
  int x, y, w, h;
  GLUI_Master.get_viewport_area(&x, &y, &w, &h);
  const int right = Layer::BoxOf(Layer::Root(*Right)).w;
  const int bottom = Layer::BoxOf(Layer::Root(*Bottom)).h;
  EXPECT_EQ((std::vector{x, y, w, h}), (std::vector{0, bottom, 800 - right, 600 - bottom}));
}

// Press on the ball, move 10 px and release in the same moment: a flick.
void Flick() {
  PointerAt(CentreX(BallControl), BallCentreY(), GLUT_DOWN);
  PointerAt(CentreX(BallControl) + 10, BallCentreY(), GLUT_UP);
}

TEST_F(GluiInput, RotationDragsReportAndAFlickSpinsDownToRestSilently) {
  const int cx = CentreX(BallControl), cy = BallCentreY();
  for (int drag = 0; drag < 3; ++drag) {  // circles around the ball
    PointerAt(cx, cy, GLUT_DOWN);
    int mx = cx, my = cy;
    for (int t = 0; t < 30; ++t) {
      const double a = (drag * 30 + t) * 0.3;
      mx = cx + static_cast<int>(18 * std::cos(a));
      my = cy + static_cast<int>(18 * std::sin(a));
      PointerAt(mx, my);
    }
    // Pause, then release where the pointer rests: no flick, no spin.
    Layer::QueueMouse(*Right, GLUT_LEFT_BUTTON, GLUT_UP, mx, my, 0);
    for (const double until = Now() + 0.15; Now() < until;) {
    }
    Pump();
    EXPECT_FALSE(Layer::IsSpinning(*BallControl));
  }
  ASSERT_GT(calls.size(), 30u);
  for (const Call& c : calls) EXPECT_EQ(c.id, 5);

  Flick();
  ASSERT_TRUE(Layer::IsSpinning(*BallControl));
  calls.clear();
  const float before = Ball[0];
  int ticks = 0;
  for (; Layer::IsSpinning(*BallControl) && ticks < 1000; ++ticks) Layer::Idle();
  EXPECT_LT(5, ticks) << "damping 0.9 comes to rest";
  EXPECT_LT(ticks, 1000);
  EXPECT_NE(before, Ball[0]) << "the spin turned the matrix";
  EXPECT_TRUE(calls.empty()) << "no callback while spinning";

  Flick();
  ASSERT_TRUE(Layer::IsSpinning(*BallControl));
  glutSetWindow(MainWindowId);
  Layer::ParentMouse(GLUT_LEFT_BUTTON, GLUT_DOWN, 10, 10);
  EXPECT_FALSE(Layer::IsSpinning(*BallControl)) << "a click in the main window stops the spin";
}

// What is typed into a spinner's box or a text field is committed once, on
// Enter, Tab or a click in the main window (by the click itself, before the
// panel redraws), held to the spinner's limits; the callback sees it in the
// main window, and Enter runs a field's object callback too. Nothing is
// written while typing; one Esc gives the old value back, and neither it
// nor clicking in and out commits anything, then or at a click afterwards.
// Latin-1 keys arrive as UTF-8.
TEST_F(GluiInput, TypedValuesCommitOnEnterTabOrAClickInTheMainWindowEscRestores) {
  enum Control { kInt, kFloat, kName };
  const struct {
    Control control;
    const char* keys;
    const char* end;        // the key that ends the typing; "" for a click in the main window
    const char* committed;  // nullptr: nothing is
  } cases[] = {
      {kInt, "500", "\r", "100"},
      {kFloat, "0.25", "", "0.25"},
      {kInt, "77", "\x1b", nullptr},
      {kFloat, "", "", nullptr},
      {kName, "Sunset", "\r", "Sunset"},
      {kName, "Red wave", "\t", "Red wave"},
      {kName, "Dusk", "", "Dusk"},
      {kName, "Noon", "\x1b", nullptr},
      {kName, "", "", nullptr},
      {kName, "\xc9t\xe9 \xdf", "\r", "\xc3\x89t\xc3\xa9 \xc3\x9f"},  // "Été ß" in Latin-1
  };
  const auto Number = [](double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return std::string(text);
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.keys) + c.end);
    Name = "Old";
    GLUI_Master.sync_live_all();
    const auto Live = [&] {
      return c.control == kName ? Name : Number(c.control == kInt ? IntValue : FloatValue);
    };
    GLUI_Spinner* spinner = c.control == kInt ? IntSpinner : FloatSpinner;
    GLUI_Control* control = c.control == kName ? static_cast<GLUI_Control*>(NameField) : spinner;
    const auto Shown = [&] {
      return std::string(c.control == kName ? NameField->get_text() : Layer::TextOf(*spinner));
    };
    const std::string old = Live();
    if (c.control == kName) {
      ClickAt(CentreX(NameField), CentreY(NameField));
      Layer::QueueKey(*Right, 1, false, GLUT_ACTIVE_CTRL);  // Ctrl+A: the typing replaces it all
    } else {
      ClickAt(TextBoxX(spinner), CentreY(spinner));
    }
    calls.clear();
    activations.clear();
    Type(c.keys);
    EXPECT_EQ(Live(), old) << "nothing is written while typing";
    if (*c.end) {
      Type(c.end);
    } else {
      glutSetWindow(MainWindowId);
      Layer::ParentMouse(GLUT_LEFT_BUTTON, GLUT_DOWN, 100, 100);
    }
    const std::string expected = c.committed ? c.committed : old;
    EXPECT_EQ(Live(), expected);
    Pump();
    EXPECT_EQ(Shown(), expected);
    EXPECT_FALSE(Layer::IsHeld(*control));
    ClickMainWindow();
    EXPECT_EQ(Live(), expected);
    ASSERT_EQ(calls.size(), c.committed ? 1u : 0u);
    if (c.committed) {
      const Call& call = calls[0];
      EXPECT_EQ(std::make_tuple(call.id, c.control == kName ? call.text : Number(call.value),
                                call.window),
                std::make_tuple(c.control == kName ? 6 : 1 + c.control, expected, MainWindowId));
    }
    const bool entered = c.control == kName && *c.end == '\r';
    EXPECT_EQ(activations,
              entered ? std::vector<GLUI_Control*>{NameField} : std::vector<GLUI_Control*>{});
    EXPECT_TRUE(ScreenIsSettled());
  }
}

// Names show in the text font, loaded where a text field or list is:
// Latin, Greek and Cyrillic letters, and the replacement box for a letter
// it lacks. A subwindow without one keeps the default font alone, so its
// picture is as it always was.
TEST_F(GluiInput, NamesShowInATextFontOfTheirOwn) {
  ASSERT_EQ(Layer::FontCount(*Right), 2);
  for (unsigned letter : {0x00E9, 0x0153, 0x03A9, 0x0416, 0x0457})
    EXPECT_TRUE(Layer::TextFontHas(*Right, letter)) << letter;
  EXPECT_FALSE(Layer::TextFontHas(*Right, 0x540D));
  EXPECT_EQ(Layer::TextFontFallback(*Right), 0xFFFDu);
  glutSetWindow(Bottom->get_glut_window_id());
  Layer::DrawFrame(*Bottom);
  EXPECT_EQ(Layer::FontCount(*Bottom), 1);
}

// A click makes an item current and calls back; a fast second click on it,
// or Enter while the list has the keys, activates it: the object callback
// gets the object it was given. Keys leave the list with a click elsewhere.
TEST_F(GluiInput, ListClickChoosesDoubleClickOrEnterActivates) {
  QueueListClick(2);
  Pump();
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(std::make_tuple(List->get_current_item(), calls[0].id, calls[0].value, calls[0].window),
            std::make_tuple(2, 7, 2.0, MainWindowId));
  EXPECT_TRUE(activations.empty()) << "one click only chooses";

  QueueListClick(4);
  QueueListClick(4);
  Pump();
  EXPECT_EQ(List->get_current_item(), 4);
  EXPECT_EQ(activations, std::vector<GLUI_Control*>{Button});

  PressSpecial(GLUT_KEY_DOWN);
  EXPECT_EQ(List->get_current_item(), 5);
  EXPECT_EQ(Last(), std::pair(7, 5.0));
  Type("\r");
  EXPECT_EQ(activations.size(), 2u);

  ClickAt(CentreX(Box), CentreY(Box));  // elsewhere in the same subwindow
  calls.clear();
  PressSpecial(GLUT_KEY_DOWN);
  Type("\r");
  EXPECT_EQ(std::make_tuple(List->get_current_item(), calls.size(), activations.size()),
            std::make_tuple(5, std::size_t{0}, std::size_t{2}));
}

// Thirteen items in six rows: the wheel moves the rows (held between the
// first item and the last row full), the arrow keys move the current item
// and the rows follow it; the scrollbar's thumb follows the pointer while
// it is dragged, held as the wheel is, and a press on the track below or
// above it pages by the rows shown. A click on the top row tells which
// item is there.
TEST_F(GluiInput, ALongListScrollsWithTheWheelTheArrowKeysAndItsScrollbar) {
  const int rows = glui_metrics::kListRows;
  auto TopItem = [] {
    QueueListClick(0);
    Pump();
    return List->get_current_item();
  };
  const struct {
    int notches;
    int top;
  } wheel[] = {{-3, 3}, {-20, kItems - rows}, {2, kItems - rows - 2}, {20, 0}};
  for (const auto& w : wheel) {
    SCOPED_TRACE(w.notches);
    TurnWheel(w.notches);
    EXPECT_EQ(TopItem(), w.top);
  }
  PressSpecial(GLUT_KEY_DOWN, 8);
  EXPECT_EQ(List->get_current_item(), 8);
  EXPECT_EQ(TopItem(), 8 - rows + 1) << "the current item was kept in the bottom row";
  PressSpecial(GLUT_KEY_UP, 20);
  EXPECT_EQ(TopItem(), 0);

  const Layer::Box box = BoxOf(List);
  const int barX = box.x + box.w - glui_metrics::kScrollbarWidth / 2;
  auto Drag = [&](int fromY, int toY) {
    PointerAt(barX, fromY, GLUT_DOWN);
    PointerAt(barX, toY);
    PointerAt(barX, toY, GLUT_UP);
  };
  // Thirteen items on a track of h pixels: one item is h / 13 of it.
  const float item = static_cast<float>(box.h) / kItems;
  Drag(box.y + 2, box.y + 2 + static_cast<int>(std::lround(3 * item)));
  EXPECT_EQ(TopItem(), 3);
  Drag(box.y + 2 + static_cast<int>(3 * item), box.y + box.h + 40);
  EXPECT_EQ(TopItem(), kItems - rows) << "dragged past the track's end";
  ClickAt(barX, box.y + 2);
  EXPECT_EQ(TopItem(), kItems - 2 * rows);
  ClickAt(barX, box.y + box.h - 2);
  EXPECT_EQ(TopItem(), kItems - rows);
}

// An item wider than the list is cut at the list's edge: beside the list
// the panel shows only its background.
TEST_F(GluiInput, ItemsWiderThanTheListAreCut) {
  List->set_current_item(kItems - 1);
  Pump();
  const std::vector<unsigned char> rgb = Shown();
  glutSetWindow(Right->get_glut_window_id());
  const int width = glutGet(GLUT_WINDOW_WIDTH), height = glutGet(GLUT_WINDOW_HEIGHT);
  // Two columns of the panel's margin beside the list (the panel's etched
  // border, softened, begins after them), over the height of the list.
  const Layer::Box list = BoxOf(List);
  int other = 0;
  for (int y = list.y; y < list.y + list.h; ++y)
    for (int x = list.x + list.w + 1; x <= list.x + list.w + 2; ++x) {
      const std::size_t at = (static_cast<std::size_t>(height - 1 - y) * width + x) * 3;
      if (rgb[at] != 200 || rgb[at + 1] != 200 || rgb[at + 2] != 200) ++other;
    }
  EXPECT_EQ(other, 0);
}
