// Session scripts: what lines read as, what cannot be read and where it
// stops, and lines written for events read back as the same events.
#include "play/script.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "tests/support/corpus.h"

namespace {

// Each line reads as one event, numbered by its line in the file (comments
// and blank lines counted), that writes back as the line given ("" for the
// line itself); keys and buttons read as the codes GLUT gives (button, x,
// y, key, modifiers (Shift 1, Ctrl 2) and count, where given). Lines of
// every kind as the writer writes them are read back in the corpus walk
// below (seed_lines).
TEST(Script, LinesReadAsTheEventsTheyNameAndWriteBack) {
  const std::tuple<const char*, const char*, std::vector<long>> lines[] = {
      {"# a comment", nullptr, {}},
      {"", nullptr, {}},
      {"  press left 12 -3\r", "press left 12 -3", {0, 12, -3, 0, 0, 0}},
      {"release middle 40 50", "", {1, 40, 50, 0, 0, 0}},
      {"press 4 1 2", "", {4, 1, 2, 0, 0, 0}},
      {"key a", "", {0, 0, 0, 'a', 0, 0}},
      {"key Ctrl+z", "key Ctrl+Z", {0, 0, 0, 26, kCtrlKey, 0}},
      {"key Ctrl+Shift+Z", "", {0, 0, 0, 26, kCtrlKey | kShiftKey, 0}},
      {"key Esc", "", {0, 0, 0, 27, 0, 0}},
      {"special f12", "", {0, 0, 0, 12, 0, 0}},
      {"special Shift+left", "", {0, 0, 0, 100, kShiftKey, 0}},
      {"set \"Normal Nodes/Width/Start:\" 0.125", "", {}},
      {"resize 800 600", "", {0, 800, 600, 0, 0, 0}},
      {"frames 30", "", {0, 0, 0, 0, 0, 30}},
      {"redo", "", {}},
      {"set \"say \\\"hi\\\" \\\\ there\" 1", "", {}},
      {"set \"Open/Name:\" \"Red \\\"wave\\\" 2\"", "", {}},
      {"set \"Open/Name:\" \"\"", "", {}},
      {"film \"out/my film.mp4\"", "", {}},
      {"move 3 4 pressure 0.25", "", {}},
      {"wheel down 5 6 ctrl", "", {4, 5, 6, 0, kCtrlKey, 0}},
      {"mode paint-under-pointer on", "", {0, 0, 0, 0, 0, 1}},
  };
  std::string text;
  for (const auto& [line, written, codes] : lines) text += std::string(line) + "\n";
  std::string error;
  const auto events = ParseScript(text, "s.session", &error);
  ASSERT_TRUE(events.has_value()) << error;
  ASSERT_EQ(events->size(), std::size(lines) - 2);
  std::map<int, Event> at;
  for (const Event& e : *events) {
    const auto& [line, written, codes] = lines[e.line - 1];
    ASSERT_NE(written, nullptr) << e.line;
    EXPECT_EQ(FormatEvent(e), *written ? written : line) << e.line;
    if (!codes.empty()) {
      EXPECT_EQ(codes, (std::vector<long>{e.button, e.x, e.y, e.key, e.modifiers, e.count}))
          << line;
    }
    at[e.line] = e;
  }
  EXPECT_EQ(at[20].values, std::vector<double>{0.25});
  EXPECT_EQ(at[12].values, std::vector<double>{0.125});
  EXPECT_EQ(at[17].valueText, "Red \"wave\" 2");
}

TEST(Script, AnUnreadableLineStopsTheReadingAtItsLine) {
  const std::string pen = "1: expected a pixel X Y, and \"pressure P\" (0 to 1) for a pen";
  const std::pair<const char*, std::string> cases[] = {
      {"window main\n\n# fine\nwindow kitchen\n",
       "4: expected a window name (main, stroke, camera, filter, size, paintings or brushes)"},
      {"press left 10\n", "1: expected a button (left, middle, right) and a pixel X Y"},
      {"press left 10 ten\n", "1: expected whole pixel numbers X Y"},
      {"press left 10 1e9\n", "1: expected whole pixel numbers X Y"},
      {"move 1 2 3\n", pen},
      {"move 1 2 pressure 1.5\n", pen},
      {"key ab\n",
       "1: expected one printable character or a key name (Esc, Enter, Tab, Backspace, Delete, "
       "Space), with Ctrl+, Alt+ or Shift+ in front"},
      {"special hyper\n", "1: expected a special key name (left, right, up, down, f1 … f12, …)"},
      {"menu Filters\n", "1: expected a quoted menu path \"Label/Entry\""},
      {"menu \"Filters\n", "1: expected a closing \""},
      {"set \"LOD:\"\n", "1: expected a quoted control path \"Panel/Label\" and a value"},
      {"set \"LOD:\" 1 2\n",
       "1: expected 1 value, or 16 (a rotation matrix), or 20 (matrix and spin)"},
      {"set \"LOD:\" nan\n", "1: expected numbers after the control path"},
      {"activate Paintings\n", "1: expected a quoted control path \"Panel/Label\""},
      {"resize 0 10\n", "1: expected a window size W H from 1 to 16384"},
      {"frames -1\n", "1: expected a count of idle steps"},
      {"wait soon\n", "1: expected milliseconds"},
      {"screenshot main.jpg\n", "1: expected a file name ending in .png"},
      {"undo now\n", "1: expected nothing after the word"},
      {"open\n", "1: expected a file name"},
      {"wait 5\x01\n", "1: expected printable text"},
      {"frames 1\npaint it\n",
       "2: expected an event (window, press, release, move, key, special, menu, set, toggle, "
       "click, activate, resize, frames, wait, screenshot, undo, redo, export, open, save, film, "
       "wheel, mode, brush)"},
      {"wheel up 1 2 alt\n",
       "1: expected up, down, left or right, a pixel X Y, and shift or ctrl if one is held"},
      {"mode paint-under-pointer yes\n", "1: expected paint-under-pointer and on or off"},
      {"brush Flat\n", "1: expected a quoted brush name \"Name\""},
  };
  for (const auto& [text, expected] : cases) {
    std::string error;
    EXPECT_FALSE(ParseScript(text, "s.session", &error).has_value()) << text;
    EXPECT_EQ(error, "s.session:" + expected) << text;
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
      EXPECT_TRUE(line >= 1 && line <= 1 + std::count(text.begin(), text.end(), '\n')) << error;
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
