// Session scripts: what lines read as, what cannot be read and where it
// stops, and lines written for events read back as the same events.
#include "play/script.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/corpus.h"

namespace {

std::vector<Event> Read(const std::string& text) {
  std::string error;
  auto events = ParseScript(text, "s.session", &error);
  EXPECT_TRUE(events.has_value()) << error;
  return events ? *events : std::vector<Event>();
}

// Events with only the fields of their kind set.
Event Pointer(EventKind kind, int button, int x, int y) {
  Event event;
  event.kind = kind, event.button = button, event.x = x, event.y = y;
  return event;
}
Event Key(EventKind kind, int key, int modifiers = 0) {
  Event event;
  event.kind = kind, event.key = key, event.modifiers = modifiers;
  return event;
}
Event Named(EventKind kind, const std::string& text, std::vector<double> values = {}) {
  Event event;
  event.kind = kind, event.text = text, event.values = std::move(values);
  return event;
}
Event TextSet(const std::string& path, const std::string& text) {
  Event event;
  event.kind = EventKind::kSet, event.text = path, event.valueText = text;
  return event;
}
Event Counted(EventKind kind, long count) {
  Event event;
  event.kind = kind, event.count = count;
  return event;
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
      "set \"say \\\"hi\\\" \\\\ there\" 1\n"
      "set \"Open/Name:\" \"Red \\\"wave\\\" 2\"\n"
      "set \"Open/Name:\" \"\"\n"
      "activate \"Open/Paintings\"\n"
      "window paintings\n"
      "save \"my paintings/harbour.kelvra\"\n"
      "open out/harbour.kelvra\n"
      "film \"out/my film.mp4\"\n"
      "move 3 4 pressure 0.25\n"
      "wheel down 5 6 ctrl\n"
      "mode paint-under-pointer on\n"
      "brush \"Flat knife\"\n");
  // Line numbers count from the first line, comments and blanks included.
  const std::vector<std::pair<int, Event>> expected = {
      {3, Named(EventKind::kWindow, "stroke")},
      {4, Pointer(EventKind::kPress, 0, 12, -3)},
      {5, Pointer(EventKind::kMove, 0, 40, 50)},
      {6, Pointer(EventKind::kRelease, 1, 40, 50)},
      {7, Pointer(EventKind::kPress, 4, 1, 2)},
      {8, Key(EventKind::kKey, 'a')},
      {9, Key(EventKind::kKey, '#')},
      {10, Key(EventKind::kKey, 26, kCtrlKey)},
      {11, Key(EventKind::kKey, 26, kCtrlKey | kShiftKey)},
      {12, Key(EventKind::kKey, 27)},
      {13, Key(EventKind::kSpecial, 12)},
      {14, Key(EventKind::kSpecial, 100, kShiftKey)},
      {15, Key(EventKind::kSpecial, 300)},
      {16, Named(EventKind::kMenu, "Filters/CONVOLUTION/CORRELATION/LOW PASS FILTERS/GAUSSIAN")},
      {17, Named(EventKind::kSet, "Normal Nodes/Width/Start:", {0.125})},
      {18, Named(EventKind::kToggle, "Misc/C")},
      {19, Named(EventKind::kClick, "Size/+")},
      {20, Pointer(EventKind::kResize, 0, 800, 600)},
      {21, Counted(EventKind::kFrames, 30)},
      {22, Counted(EventKind::kWait, 250)},
      {23, Named(EventKind::kScreenshot, "out/main view.png")},
      {24, Named(EventKind::kUndo, "")},
      {25, Named(EventKind::kRedo, "")},
      {26, Named(EventKind::kExport, "painting.glb")},
      {27, Named(EventKind::kSet, "say \"hi\" \\ there", {1})},
      {28, TextSet("Open/Name:", "Red \"wave\" 2")},
      {29, TextSet("Open/Name:", "")},
      {30, Named(EventKind::kActivate, "Open/Paintings")},
      {31, Named(EventKind::kWindow, "paintings")},
      {32, Named(EventKind::kSave, "my paintings/harbour.kelvra")},
      {33, Named(EventKind::kOpen, "out/harbour.kelvra")},
      {34, Named(EventKind::kFilm, "out/my film.mp4")},
      {35, [] {
         Event pen = Pointer(EventKind::kMove, 0, 3, 4);
         pen.values = {0.25};
         return pen;
       }()},
      {36, [] {
         Event wheel = Pointer(EventKind::kWheel, 4, 5, 6);
         wheel.modifiers = kCtrlKey;
         return wheel;
       }()},
      {37, [] {
         Event mode = Named(EventKind::kMode, "paint-under-pointer");
         mode.count = 1;
         return mode;
       }()},
      {38, Named(EventKind::kBrush, "Flat knife")},
  };
  ASSERT_EQ(events.size(), expected.size());
  for (std::size_t i = 0; i < events.size(); ++i) {
    EXPECT_EQ(events[i].line, expected[i].first);
    EXPECT_TRUE(events[i] == expected[i].second)
        << "line " << expected[i].first << " read as " << FormatEvent(events[i]);
  }
}

TEST(Script, AnUnreadableLineStopsTheReadingAtItsLine) {
  constexpr const char* kWheelExpected =
      "s.session:1: expected up, down, left or right, a pixel X Y, and shift or ctrl if one is held";
  const struct {
    const char* text;
    const char* error;
  } cases[] = {
      {"window main\n\n# fine\nwindow kitchen\n",
       "s.session:4: expected a window name (main, stroke, camera, filter, size, paintings or brushes)"},
      {"press left 10\n", "s.session:1: expected a button (left, middle, right) and a pixel X Y"},
      {"press left 10 ten\n", "s.session:1: expected whole pixel numbers X Y"},
      {"press left 10 1e9\n", "s.session:1: expected whole pixel numbers X Y"},
      {"move 1 2 3\n", "s.session:1: expected a pixel X Y, and \"pressure P\" (0 to 1) for a pen"},
      {"move 1 2 pressure 1.5\n",
       "s.session:1: expected a pixel X Y, and \"pressure P\" (0 to 1) for a pen"},
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
      {"set \"Name:\" \"a\" \"b\"\n", "s.session:1: expected numbers after the control path"},
      {"activate Paintings\n", "s.session:1: expected a quoted control path \"Panel/Label\""},
      {"click LOD\n", "s.session:1: expected a quoted control path \"Panel/Label\""},
      {"resize 0 10\n", "s.session:1: expected a window size W H from 1 to 16384"},
      {"frames -1\n", "s.session:1: expected a count of idle steps"},
      {"wait soon\n", "s.session:1: expected milliseconds"},
      {"screenshot main.jpg\n", "s.session:1: expected a file name ending in .png"},
      {"undo now\n", "s.session:1: expected nothing after the word"},
      {"open\n", "s.session:1: expected a file name"},
      {"save a.kelvra b.kelvra\n", "s.session:1: expected a file name"},
      {"wait 5\x01\n", "s.session:1: expected printable text"},
      {"move 1\r2\r\n", "s.session:1: expected printable text"},
      {"frames 1\npaint it\n",
       "s.session:2: expected an event (window, press, release, move, key, special, menu, set, "
       "toggle, click, activate, resize, frames, wait, screenshot, undo, redo, export, open, "
       "save, film, wheel, mode, brush)"},
      {"wheel up 1\n", kWheelExpected},
      {"wheel in 1 2\n", kWheelExpected},
      {"wheel up 1 2 alt\n", kWheelExpected},
      {"mode paint-under-pointer yes\n", "s.session:1: expected paint-under-pointer and on or off"},
      {"mode spin on\n", "s.session:1: expected paint-under-pointer and on or off"},
      {"brush Flat\n", "s.session:1: expected a quoted brush name \"Name\""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    std::string error;
    EXPECT_FALSE(ParseScript(c.text, "s.session", &error).has_value());
    EXPECT_EQ(error, c.error);
  }
}

// Every script the fuzzer kept stops at a line within the text with
// "NAME:LINE: …", or reads as events that write back as lines reading as
// themselves. The seeds but seed_bad read, and they are written as the
// writer writes (seed_lines holds one line of each kind, numbers at both
// ends of their ranges): they write back as their own lines, comments and
// blank lines left out.
TEST(ScriptCorpus, EveryFileStopsAtALineOrReadsBackAsItself) {
  const std::vector<std::string> files = CorpusFiles(KELVRA_CORPUS_DIR, "script");
  ASSERT_GE(files.size(), 5u);
  for (const std::string& file : files) {
    SCOPED_TRACE(file);
    std::ifstream in(file, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::string error;
    const auto events = ParseScript(text, "f", &error);
    const bool seed = file.find("/seed_") != std::string::npos;
    if (!events) {
      EXPECT_TRUE(!seed || file.find("/seed_bad") != std::string::npos) << error;
      ASSERT_EQ(error.rfind("f:", 0), 0u) << error;
      const int line = std::atoi(error.c_str() + 2);
      EXPECT_GE(line, 1);
      EXPECT_LE(line, 1 + static_cast<int>(std::count(text.begin(), text.end(), '\n')));
      continue;
    }
    std::string written, lines, line;
    for (const Event& event : *events) {
      const auto reread = ParseScript(FormatEvent(event), "f", &error);
      ASSERT_TRUE(reread && reread->size() == 1) << FormatEvent(event);
      EXPECT_TRUE((*reread)[0] == event) << FormatEvent(event);
      written += FormatEvent(event) + "\n";
    }
    if (!seed) continue;
    for (std::istringstream seedLines(text); std::getline(seedLines, line);)
      if (line.find_first_not_of(" \t") != std::string::npos && line[0] != '#')
        lines += line + "\n";
    EXPECT_EQ(written, lines);
  }
}

}  // namespace
