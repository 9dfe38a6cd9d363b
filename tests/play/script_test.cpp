// Session scripts: what lines read as, what cannot be read and where it
// stops, and lines written for events read back as the same events.
#include "play/script.h"

#include <gtest/gtest.h>

namespace {

std::vector<Event> Read(const std::string& text) {
  std::string error;
  auto events = ParseScript(text, "s.session", &error);
  EXPECT_TRUE(events.has_value()) << error;
  return events ? *events : std::vector<Event>();
}

TEST(Script, LinesReadAsTheEventsTheyName) {
  const std::vector<Event> events = Read(
      "# a comment\n"
      "\n"
      "window stroke\n"
      "  press left 12 -3\r\n"
      "move 40 50\n"
      "release middle 40 50\n"
      "press 4 1 2\n"
      "key a\n"
      "key #\n"
      "key Ctrl+z\n"
      "key Ctrl+Shift+Z\n"
      "key Esc\n"
      "special f12\n"
      "special Shift+left\n"
      "special 300\n"
      "menu \"Filters/CONVOLUTION/CORRELATION/LOW PASS FILTERS/GAUSSIAN\"\n"
      "set \"Normal Nodes/Width/Start:\" 0.125\n"
      "toggle \"Misc/C\"\n"
      "click \"Size/+\"\n"
      "resize 800 600\n"
      "frames 30\n"
      "wait 250\n"
      "screenshot \"out/main view.png\"\n"
      "undo\n"
      "redo\n"
      "export painting.glb\n"
      "set \"say \\\"hi\\\" \\\\ there\" 1\n");
  ASSERT_EQ(events.size(), 25u);
  const struct {
    EventKind kind;
    int line;
    std::string text;
    int button, x, y, key, modifiers;
    long count;
  } expected[] = {
      {EventKind::kWindow, 3, "stroke", 0, 0, 0, 0, 0, 0},
      {EventKind::kPress, 4, "", 0, 12, -3, 0, 0, 0},
      {EventKind::kMove, 5, "", 0, 40, 50, 0, 0, 0},
      {EventKind::kRelease, 6, "", 1, 40, 50, 0, 0, 0},
      {EventKind::kPress, 7, "", 4, 1, 2, 0, 0, 0},
      {EventKind::kKey, 8, "", 0, 0, 0, 'a', 0, 0},
      {EventKind::kKey, 9, "", 0, 0, 0, '#', 0, 0},
      {EventKind::kKey, 10, "", 0, 0, 0, 26, kCtrlKey, 0},
      {EventKind::kKey, 11, "", 0, 0, 0, 26, kCtrlKey | kShiftKey, 0},
      {EventKind::kKey, 12, "", 0, 0, 0, 27, 0, 0},
      {EventKind::kSpecial, 13, "", 0, 0, 0, 12, 0, 0},
      {EventKind::kSpecial, 14, "", 0, 0, 0, 100, kShiftKey, 0},
      {EventKind::kSpecial, 15, "", 0, 0, 0, 300, 0, 0},
      {EventKind::kMenu, 16, "Filters/CONVOLUTION/CORRELATION/LOW PASS FILTERS/GAUSSIAN", 0, 0, 0,
       0, 0, 0},
      {EventKind::kSet, 17, "Normal Nodes/Width/Start:", 0, 0, 0, 0, 0, 0},
      {EventKind::kToggle, 18, "Misc/C", 0, 0, 0, 0, 0, 0},
      {EventKind::kClick, 19, "Size/+", 0, 0, 0, 0, 0, 0},
      {EventKind::kResize, 20, "", 0, 800, 600, 0, 0, 0},
      {EventKind::kFrames, 21, "", 0, 0, 0, 0, 0, 30},
      {EventKind::kWait, 22, "", 0, 0, 0, 0, 0, 250},
      {EventKind::kScreenshot, 23, "out/main view.png", 0, 0, 0, 0, 0, 0},
      {EventKind::kUndo, 24, "", 0, 0, 0, 0, 0, 0},
      {EventKind::kRedo, 25, "", 0, 0, 0, 0, 0, 0},
      {EventKind::kExport, 26, "painting.glb", 0, 0, 0, 0, 0, 0},
      {EventKind::kSet, 27, "say \"hi\" \\ there", 0, 0, 0, 0, 0, 0},
  };
  for (std::size_t i = 0; i < events.size(); ++i) {
    SCOPED_TRACE(i);
    const Event& e = events[i];
    EXPECT_EQ(e.kind, expected[i].kind);
    EXPECT_EQ(e.line, expected[i].line);
    EXPECT_EQ(e.text, expected[i].text);
    EXPECT_EQ(std::vector<int>({e.button, e.x, e.y, e.key, e.modifiers}),
              std::vector<int>({expected[i].button, expected[i].x, expected[i].y, expected[i].key,
                                expected[i].modifiers}));
    EXPECT_EQ(e.count, expected[i].count);
  }
  EXPECT_EQ(events[14].values, std::vector<double>{0.125});
}

TEST(Script, AnUnreadableLineStopsTheReadingAtItsLine) {
  const struct {
    const char* text;
    const char* error;
  } cases[] = {
      {"window main\n\n# fine\nwindow kitchen\n",
       "s.session:4: expected a window name (main, stroke, camera, filter or size)"},
      {"press left 10\n", "s.session:1: expected a button (left, middle, right) and a pixel X Y"},
      {"press left 10 ten\n", "s.session:1: expected whole pixel numbers X Y"},
      {"press left 10 1e9\n", "s.session:1: expected whole pixel numbers X Y"},
      {"move 1 2 3\n", "s.session:1: expected a pixel X Y"},
      {"key ab\n",
       "s.session:1: expected one printable character or a key name (Esc, Enter, "
       "Tab, Backspace, Delete, Space), with Ctrl+, Alt+ or Shift+ in front"},
      {"special hyper\n",
       "s.session:1: expected a special key name (left, right, up, down, f1 … f12, …)"},
      {"menu Filters\n", "s.session:1: expected a quoted menu path \"Label/Entry\""},
      {"menu \"Filters\n", "s.session:1: expected a closing \""},
      {"set \"LOD:\"\n", "s.session:1: expected a quoted control path \"Panel/Label\" and a value"},
      {"set \"LOD:\" 1 2\n",
       "s.session:1: expected 1 value, or 16 (a rotation matrix), or 20 (matrix and spin)"},
      {"set \"LOD:\" nan\n", "s.session:1: expected numbers after the control path"},
      {"click LOD\n", "s.session:1: expected a quoted control path \"Panel/Label\""},
      {"resize 0 10\n", "s.session:1: expected a window size W H from 1 to 16384"},
      {"frames -1\n", "s.session:1: expected a count of idle steps"},
      {"wait soon\n", "s.session:1: expected milliseconds"},
      {"screenshot main.jpg\n", "s.session:1: expected a file name ending in .png"},
      {"undo now\n", "s.session:1: expected nothing after the word"},
      {"wait 5\x01\n", "s.session:1: expected printable text"},
      {"move 1\r2\r\n", "s.session:1: expected printable text"},
      {"frames 1\npaint it\n",
       "s.session:2: expected an event (window, press, release, move, key, special, menu, set, "
       "toggle, click, resize, frames, wait, screenshot, undo, redo, export)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    std::string error;
    EXPECT_FALSE(ParseScript(c.text, "s.session", &error).has_value());
    EXPECT_EQ(error, c.error);
  }
}

TEST(Script, WrittenEventsReadBackAsThemselves) {
  const std::vector<std::string> lines = {
      "window size",
      "press right 0 674",
      "release 7 3 4",
      "move -5 9",
      "key Ctrl+Y",
      "key Alt+x",
      "key Space",
      "key Backspace",
      "key \"",
      "special Ctrl+page_down",
      "special 999",
      "menu \"Primitives:/GL_POINTS\"",
      "set \"Light 1\" 1 0 0 0 0 0.5 0.866025388 0 0 -0.866025388 0.5 0 0 0 0 1",
      "set \"Stroke Capping/End node:\" 12",
      "click \"Delete All\"",
      "toggle \"Primitives/N\"",
      "resize 640 480",
      "resize 16384 1",  // both ends of the range
      "frames 0",
      "wait 20",
      "screenshot \"my pictures/a.png\"",
      "export painting.stl",
      "undo",
  };
  for (const std::string& line : lines) {
    SCOPED_TRACE(line);
    const std::vector<Event> events = Read(line + "\n");
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(FormatEvent(events[0]), line);
    EXPECT_EQ(Read(FormatEvent(events[0])), events);
  }
}

}  // namespace
