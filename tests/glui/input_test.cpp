// Controls driven with real input under Xvfb: events go through the layer's
// own GLUT handlers (the queue the subwindow's mouse, motion and keyboard
// callbacks fill) and frames are drawn exactly as the display callback does.
// Before Xlib, whose None is a macro.
#include <gtest/gtest.h>

#include <GL/freeglut.h>
#include <GL/glx.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>

#include <algorithm>
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
std::vector<GLUI_Control*> activations;  // what the object callbacks were given

int IntValue = 10, Flag = 0;
float FloatValue = 0.5f;
float Ball[16];
std::string Name;

// A RIGHT subwindow of an 800x600 window, built once.
int MainWindowId = 0;
GLUI* Right = nullptr;
GLUI_Spinner *IntSpinner = nullptr, *FloatSpinner = nullptr;
GLUI_Checkbox* Box = nullptr;
GLUI_Button* Button = nullptr;
GLUI_Rotation* BallControl = nullptr;
GLUI_EditText* NameField = nullptr;
GLUI_List* List = nullptr;
// More paintings than the list's six rows; the last is wider than the list.
constexpr int kItems = 13;

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
  List->add_item(kItems - 1, "A painting whose name runs far past the list's right edge");
  NameField = Right->add_edittext_to_panel(open, "Name:", GLUI_EDITTEXT_TEXT, &Name, 6, Record);
  NameField->set_object_callback(RecordActivation);
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

// The pointer moved to (x, y) and, unless `button` is -1, the left button
// pressed (GLUT_DOWN) or released (GLUT_UP) there.
void PointerAt(int x, int y, int button = -1) {
  Layer::QueueMotion(*Right, x, y);
  if (button >= 0) Layer::QueueMouse(*Right, GLUT_LEFT_BUTTON, button, x, y, 0);
  Pump();
}
// A click and keys after it are queued before a frame is drawn, as they
// arrive from a fast hand.
void QueueClick(int x, int y) {
  Layer::QueueMotion(*Right, x, y);
  Layer::QueueMouse(*Right, GLUT_LEFT_BUTTON, GLUT_DOWN, x, y, 0);
  Layer::QueueMouse(*Right, GLUT_LEFT_BUTTON, GLUT_UP, x, y, 0);
}
void ClickAt(int x, int y) {
  QueueClick(x, y);
  Pump();
}
void Type(const char* keys) {
  for (const char* k = keys; *k; ++k)
    Layer::QueueKey(*Right, static_cast<unsigned char>(*k), false, 0);
  Pump();
}
void PressSpecial(int key, int times = 1) {
  for (int i = 0; i < times; ++i) Layer::QueueKey(*Right, key, true, 0);
  Pump();
}
// The click that takes the keys from the panel; the frame is left to the caller.
void PressInMainWindow() {
  glutSetWindow(MainWindowId);
  Layer::ParentMouse(GLUT_LEFT_BUTTON, GLUT_DOWN, 100, 100);
}

Layer::Box BoxOf(const GLUI_Control* c) { return Layer::BoxOf(*c); }
int CentreX(const GLUI_Control* c) { return BoxOf(c).x + BoxOf(c).w / 2; }
int CentreY(const GLUI_Control* c) { return BoxOf(c).y + BoxOf(c).h / 2; }

// A click inside the text box of a spinner, from the layer's metrics.
void QueueClickOnText(const GLUI_Spinner* s) {
  QueueClick(
      BoxOf(s).x + glui_metrics::TextWidth(s->get_name()) + glui_metrics::kSpinnerLabelGap + 20,
      CentreY(s));
}

// The list's rows from the layer's metrics: the middle of the given
// visible row (0 at the top), and a point over the list.
int ListRowY(int row) {
  return BoxOf(List).y + glui_metrics::kListInset + row * glui_metrics::kListRowHeight +
         glui_metrics::kListRowHeight / 2;
}
int ListX() { return BoxOf(List).x + 20; }
void QueueListClick(int row) { QueueClick(ListX(), ListRowY(row)); }

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

// A spinner's arrow steps by one and a drag on it slides, held to the
// limits; a checkbox shows any non-zero value as ticked and a click writes
// 0 or 1; a button fires on a release inside it only.
TEST_F(GluiInput, ArrowsCheckboxesAndButtonsWriteAndCallBack) {
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

// A drag on the ball reports each move; a release after a pause does not
// spin it, a flick does, down to rest without callbacks, and a click in the
// main window stops a spin.
TEST_F(GluiInput, RotationDragsReportAndAFlickSpinsDownToRestSilently) {
  const int cx = CentreX(BallControl), cy = BoxOf(BallControl).y + 25;
  PointerAt(cx, cy, GLUT_DOWN);
  for (int t = 1; t <= 3; ++t) PointerAt(cx + 5 * t, cy - 3 * t);
  Layer::QueueMouse(*Right, GLUT_LEFT_BUTTON, GLUT_UP, cx + 15, cy - 9, 0);
  for (const double until = Now() + 0.15; Now() < until;) {
  }
  Pump();
  EXPECT_FALSE(Layer::IsSpinning(*BallControl));
  ASSERT_GE(calls.size(), 3u);
  for (const Call& c : calls) EXPECT_EQ(c.id, 5);

  const auto Flick = [&] {
    PointerAt(cx, cy, GLUT_DOWN);
    PointerAt(cx + 10, cy, GLUT_UP);
    return Layer::IsSpinning(*BallControl);
  };
  ASSERT_TRUE(Flick());
  calls.clear();
  const float before = Ball[0];
  int ticks = 0;
  for (; Layer::IsSpinning(*BallControl) && ticks < 1000; ++ticks) Layer::Idle();
  EXPECT_TRUE(ticks > 5 && ticks < 1000) << ticks << " steps: damping 0.9 comes to rest";
  EXPECT_NE(before, Ball[0]) << "the spin turned the matrix";
  EXPECT_TRUE(calls.empty()) << "no callback while spinning";
  ASSERT_TRUE(Flick());
  PressInMainWindow();
  EXPECT_FALSE(Layer::IsSpinning(*BallControl));
}

// What is typed into a spinner's box or a text field is committed once, on
// Enter, Tab or a click in the main window (by the click itself, before the
// panel redraws), held to the spinner's limits; the callback sees it in the
// main window, and Enter runs a field's object callback too. Nothing is
// written while typing; one Esc gives the old value back, and neither it
// nor clicking in and out commits anything, then or at a click afterwards.
// Latin-1 keys arrive as UTF-8. A fast typist's click on a spinner's box and
// every key after it reach the box before the panel draws its next frame,
// key by key in order ("\b" is Backspace); a click on the next box
// commits the first.
TEST_F(GluiInput, TypedValuesCommitOnEnterTabOrAClickInTheMainWindowEscRestores) {
  enum Control { kInt, kFloat, kName };
  const struct {
    Control control;
    const char* keys;
    const char* end;        // the key that ends the typing; "" for a click in the main window
    const char* committed;  // nullptr: nothing is
  } cases[] = {
      {kInt, "5555", "\r", "100"},
      {kFloat, "0.125\b\b\b25", "", "0.25"},
      {kInt, "12\b\b\b\b\b\b34", "\r", "34"},  // auto-repeat past the start of the box
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
    const bool field = c.control == kName;
    const auto Live = [&] {
      return field ? Name : Number(c.control == kInt ? IntValue : FloatValue);
    };
    GLUI_Spinner* spinner = c.control == kInt ? IntSpinner : FloatSpinner;
    const auto Text = [&] {
      return std::string(field ? NameField->get_text() : Layer::TextOf(*spinner));
    };
    const std::string old = Live();
    if (field) {
      ClickAt(CentreX(NameField), CentreY(NameField));
      Layer::QueueKey(*Right, 1, false, GLUT_ACTIVE_CTRL);  // Ctrl+A: the typing replaces it all
    } else {
      QueueClickOnText(spinner);
    }
    calls.clear();
    activations.clear();
    Type(c.keys);
    EXPECT_EQ(Live(), old) << "nothing is written while typing";
    if (*c.end)
      Type(c.end);
    else
      PressInMainWindow();
    const std::string expected = c.committed ? c.committed : old;
    EXPECT_EQ(Live(), expected);
    Pump();
    EXPECT_EQ(Text(), expected);
    EXPECT_FALSE(Layer::IsHeld(field ? *static_cast<GLUI_Control*>(NameField) : *spinner));
    PressInMainWindow();
    Pump();
    EXPECT_EQ(Live(), expected);
    ASSERT_EQ(calls.size(), c.committed ? 1u : 0u);
    for (const Call& call : calls)
      EXPECT_EQ(std::make_tuple(call.id, field ? call.text : Number(call.value), call.window),
                std::make_tuple(field ? 6 : 1 + c.control, expected, MainWindowId));
    EXPECT_EQ(activations, field && *c.end == '\r' ? std::vector<GLUI_Control*>{NameField}
                                                   : std::vector<GLUI_Control*>{});
    const std::vector<unsigned char> settled = Shown();  // one more frame draws the same
    Layer::DrawFrame(*Right);
    EXPECT_EQ(Shown(), settled);
  }
  QueueClickOnText(IntSpinner);
  Type("42");
  calls.clear();
  QueueClickOnText(FloatSpinner);
  Type("0.125\r");
  EXPECT_EQ(std::make_pair(IntValue, FloatValue), std::make_pair(42, 0.125f));
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(std::make_pair(calls[0].id, calls[1].id), std::make_pair(1, 2));
}

// A click makes an item current and calls back; a fast second click on it,
// or Enter while the list has the keys, activates it: the object callback
// gets the object it was given. Keys leave the list with a click elsewhere.
// Thirteen items in six rows: the wheel moves the rows (held between the
// first item and the last row full), the arrow keys move the current item
// and the rows follow it; the scrollbar's thumb follows the pointer while
// it is dragged, held as the wheel is, and a press on the track below or
// above it pages by the rows shown. A click on the top row tells which
// item is there. An item wider than the list is cut at its edge: beside
// the list the panel shows only its background.
TEST_F(GluiInput, AListChoosesActivatesAndScrollsWithTheWheelTheArrowKeysAndItsScrollbar) {
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
  EXPECT_EQ(std::make_pair(List->get_current_item(), Last()), std::make_pair(5, std::pair(7, 5.0)));
  Type("\r");
  EXPECT_EQ(activations.size(), 2u);

  ClickAt(CentreX(Box), CentreY(Box));  // elsewhere in the same subwindow
  calls.clear();
  PressSpecial(GLUT_KEY_DOWN);
  Type("\r");
  EXPECT_EQ(std::make_tuple(List->get_current_item(), calls.size(), activations.size()),
            std::make_tuple(5, std::size_t{0}, std::size_t{2}));

  const int rows = glui_metrics::kListRows;
  auto TopItem = [] {
    QueueListClick(0);
    Pump();
    return List->get_current_item();
  };
  for (const auto& [notches, top] :
       {std::pair{-3, 3}, {-20, kItems - rows}, {2, kItems - rows - 2}, {20, 0}}) {
    SCOPED_TRACE(notches);
    // freeglut's wheel buttons: 3 away from the person, 4 towards.
    for (int i = 0; i < std::abs(notches); ++i)
      Layer::QueueMouse(*Right, notches > 0 ? 3 : 4, GLUT_DOWN, ListX(), ListRowY(0), 0);
    Pump();
    EXPECT_EQ(TopItem(), top);
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

  List->set_current_item(kItems - 1);
  Pump();
  const std::vector<unsigned char> rgb = Shown();
  const int width = glutGet(GLUT_WINDOW_WIDTH), height = glutGet(GLUT_WINDOW_HEIGHT);
  // Two columns of the panel's margin beside the list (the panel's etched
  // border, softened, begins after them), over the height of the list.
  int other = 0;
  for (int y = box.y; y < box.y + box.h; ++y) {
    const auto at = rgb.begin() + ((height - 1 - y) * width + box.x + box.w + 1) * 3;
    other += std::count(at, at + 6, 200) != 6;
  }
  EXPECT_EQ(other, 0);
}

// Names show in the text font, loaded beside the default one where a text
// field or list is: Latin, Greek and Cyrillic letters, and the replacement
// box for a letter it lacks.
TEST_F(GluiInput, NamesShowInATextFontOfTheirOwn) {
  ASSERT_EQ(Layer::FontCount(*Right), 2);
  for (unsigned letter : {0x00E9, 0x0153, 0x03A9, 0x0416, 0x0457})
    EXPECT_TRUE(Layer::TextFontHas(*Right, letter)) << letter;
  EXPECT_FALSE(Layer::TextFontHas(*Right, 0x540D));
  EXPECT_EQ(Layer::TextFontFallback(*Right), 0xFFFDu);
}

// A letter GLUT gives no text for (名, bound for the test to a spare key)
// reaches a text field through the layer's own connection, in its place
// among the keys GLUT hands over: "a", 名, "b" pressed in one burst type
// "a名b", each once.
TEST_F(GluiInput, LettersPastLatin1ComeInTheirPlaceAmongGlutsKeys) {
  Display* x = XOpenDisplay(nullptr);
  ASSERT_NE(x, nullptr);
  int low = 0, high = 0, perCode = 0;
  XDisplayKeycodes(x, &low, &high);
  KeySym* map = XGetKeyboardMapping(x, static_cast<KeyCode>(low), high - low + 1, &perCode);
  int spare = 0;
  for (int code = high; code >= low && !spare; --code)
    if (std::all_of(map + (code - low) * perCode, map + (code - low + 1) * perCode,
                    [](KeySym s) { return s == NoSymbol; }))
      spare = code;
  XFree(map);
  ASSERT_NE(spare, 0);
  KeySym letter = 0x100540D;  // 名 as a Unicode key symbol
  XChangeKeyboardMapping(x, spare, 1, &letter, 1);
  XSync(x, False);

  ClickAt(CentreX(NameField), CentreY(NameField));
  glutSetWindow(Right->get_glut_window_id());
  const Window panel = glXGetCurrentDrawable();
  for (unsigned code : {unsigned(XKeysymToKeycode(x, XK_a)), unsigned(spare),
                        unsigned(XKeysymToKeycode(x, XK_b))}) {
    XEvent press{};
    press.xkey.type = KeyPress;
    press.xkey.display = x;
    press.xkey.window = panel;
    press.xkey.root = DefaultRootWindow(x);
    press.xkey.same_screen = True;
    press.xkey.keycode = code;
    XSendEvent(x, panel, False, KeyPressMask, &press);
  }
  XSync(x, False);
  // GLUT's loop hands over "a" and "b"; its idle step reads the rest.
  for (const double end = Now() + 5; std::string(NameField->get_text()).size() < 5 && Now() < end;) {
    glutMainLoopEvent();
    Layer::Idle();
  }
  Type("\r");
  EXPECT_EQ(Name, "a\xe5\x90\x8d" "b");

  letter = NoSymbol;
  XChangeKeyboardMapping(x, spare, 1, &letter, 1);
  XCloseDisplay(x);
}
