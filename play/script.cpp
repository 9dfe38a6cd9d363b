#include "play/script.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>

namespace {

// GLUT's button and special key numbers, kept here so that scripts are
// read without GLUT.
const std::map<std::string, int>& ButtonNames() {
  static const std::map<std::string, int> names{{"left", 0}, {"middle", 1}, {"right", 2}};
  return names;
}

// The wheel's directions, as GLUT numbers its buttons.
const std::map<std::string, int>& WheelNames() {
  static const std::map<std::string, int> names{{"up", 3}, {"down", 4}, {"left", 5}, {"right", 6}};
  return names;
}

// What a `mode` line switches: the modes of the main view.
constexpr char kUnderPointerMode[] = "paint-under-pointer";

const std::map<std::string, int>& SpecialNames() {
  static const std::map<std::string, int> names = [] {
    std::map<std::string, int> n{
        {"left", 100},      {"up", 101},     {"right", 102},   {"down", 103},    {"page_up", 104},
        {"page_down", 105}, {"home", 106},   {"end", 107},     {"insert", 108},  {"num_lock", 109},
        {"begin", 110},     {"delete", 111}, {"shift_l", 112}, {"shift_r", 113}, {"ctrl_l", 114},
        {"ctrl_r", 115},    {"alt_l", 116},  {"alt_r", 117},   {"super_l", 118}, {"super_r", 119},
    };
    for (int f = 1; f <= 12; ++f) n["f" + std::to_string(f)] = f;
    return n;
  }();
  return names;
}

const std::map<std::string, int>& KeyNames() {
  static const std::map<std::string, int> names{{"Esc", 27},      {"Enter", 13},   {"Tab", 9},
                                                {"Backspace", 8}, {"Delete", 127}, {"Space", 32}};
  return names;
}

const std::map<std::string, EventKind>& Keywords() {
  static const std::map<std::string, EventKind> words{
      {"window", EventKind::kWindow},
      {"press", EventKind::kPress},
      {"release", EventKind::kRelease},
      {"move", EventKind::kMove},
      {"key", EventKind::kKey},
      {"special", EventKind::kSpecial},
      {"menu", EventKind::kMenu},
      {"set", EventKind::kSet},
      {"toggle", EventKind::kToggle},
      {"click", EventKind::kClick},
      {"activate", EventKind::kActivate},
      {"resize", EventKind::kResize},
      {"frames", EventKind::kFrames},
      {"wait", EventKind::kWait},
      {"screenshot", EventKind::kScreenshot},
      {"undo", EventKind::kUndo},
      {"redo", EventKind::kRedo},
      {"export", EventKind::kExport},
      {"open", EventKind::kOpen},
      {"save", EventKind::kSave},
      {"film", EventKind::kFilm},
      {"wheel", EventKind::kWheel},
      {"mode", EventKind::kMode},
      {"brush", EventKind::kBrush},
  };
  return words;
}

template <typename Map>
std::string NameOf(const Map& names, int value) {
  for (const auto& [name, v] : names)
    if (v == value) return name;
  return std::string();
}

// One line split into words; a quoted word keeps its blanks.
struct Words {
  std::vector<std::string> items;
  std::vector<bool> quoted;
  std::string problem;  // set when the line cannot be split
};

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

Words Split(std::string_view line) {
  Words words;
  std::size_t at = 0;
  while (at < line.size()) {
    while (at < line.size() && IsBlank(line[at])) ++at;
    if (at >= line.size()) break;
    std::string word;
    if (line[at] == '"') {
      ++at;
      bool closed = false;
      while (at < line.size()) {
        const char c = line[at++];
        if (c == '"') {
          closed = true;
          break;
        }
        if (c == '\\' && at < line.size() && (line[at] == '"' || line[at] == '\\')) {
          word += line[at++];
          continue;
        }
        word += c;
      }
      if (!closed) {
        words.problem = "expected a closing \"";
        return words;
      }
      words.items.push_back(word);
      words.quoted.push_back(true);
      continue;
    }
    while (at < line.size() && !IsBlank(line[at])) word += line[at++];
    words.items.push_back(word);
    words.quoted.push_back(false);
  }
  return words;
}

bool ReadInt(const std::string& word, long low, long high, long* value) {
  if (word.empty()) return false;
  char* end = nullptr;
  errno = 0;
  const long v = std::strtol(word.c_str(), &end, 10);
  if (errno != 0 || *end != '\0' || v < low || v > high) return false;
  *value = v;
  return true;
}

bool ReadNumber(const std::string& word, double* value) {
  if (word.empty()) return false;
  char* end = nullptr;
  errno = 0;
  const double v = std::strtod(word.c_str(), &end);
  if (errno != 0 || *end != '\0' || !std::isfinite(v)) return false;
  *value = v;
  return true;
}

// Window pixels: a script may point a little outside a window, never
// absurdly far.
constexpr long kMaxPixel = 100000;

// "Ctrl+Alt+x" → modifiers and the rest.
int TakeModifiers(std::string* word) {
  int modifiers = 0;
  const struct {
    const char* prefix;
    int bit;
  } prefixes[] = {{"Ctrl+", kCtrlKey}, {"Alt+", kAltKey}, {"Shift+", kShiftKey}};
  for (bool found = true; found && word->size() > 1;) {
    found = false;
    for (const auto& p : prefixes) {
      const std::string prefix = p.prefix;
      if (word->size() > prefix.size() && word->compare(0, prefix.size(), prefix) == 0) {
        modifiers |= p.bit;
        word->erase(0, prefix.size());
        found = true;
      }
    }
  }
  return modifiers;
}

// Reads `key` words into a character code and modifiers. A control
// character with Ctrl is what GLUT delivers for Ctrl+letter.
bool ReadKey(std::string word, Event* event) {
  event->modifiers = TakeModifiers(&word);
  const auto named = KeyNames().find(word);
  if (named != KeyNames().end()) {
    event->key = named->second;
    return true;
  }
  if (word.size() != 1) return false;
  const unsigned char c = static_cast<unsigned char>(word[0]);
  if (c < 33 || c > 126) return false;
  event->key = c;
  if ((event->modifiers & kCtrlKey) && std::isalpha(c)) event->key = std::toupper(c) - 'A' + 1;
  return true;
}

std::string FormatKey(int key, int modifiers) {
  std::string text;
  if (modifiers & kCtrlKey) text += "Ctrl+";
  if (modifiers & kAltKey) text += "Alt+";
  if (modifiers & kShiftKey) text += "Shift+";
  const std::string named = NameOf(KeyNames(), key);
  if (!named.empty()) return text + named;
  if ((modifiers & kCtrlKey) && key >= 1 && key <= 26) return text + char('A' + key - 1);
  if (key >= 33 && key <= 126) return text + char(key);
  return text + "Space";  // unreachable for events read from scripts
}

std::string Quote(const std::string& text) {
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') quoted += '\\';
    quoted += c;
  }
  return quoted + "\"";
}

// A file name as a word: quoted when it holds blanks or quotes.
std::string FileWord(const std::string& name) {
  return name.find_first_of(" \t\"\\") == std::string::npos ? name : Quote(name);
}

// Reads the words after the keyword into `event`; returns what was
// expected when they do not fit.
std::string ReadArguments(const Words& words, Event* event) {
  const std::vector<std::string>& w = words.items;
  const std::size_t n = w.size() - 1;
  auto pixels = [&](std::size_t first) {
    long x = 0, y = 0;
    if (!ReadInt(w[first], -kMaxPixel, kMaxPixel, &x) ||
        !ReadInt(w[first + 1], -kMaxPixel, kMaxPixel, &y))
      return false;
    event->x = static_cast<int>(x);
    event->y = static_cast<int>(y);
    return true;
  };
  switch (event->kind) {
    case EventKind::kWindow:
      for (const std::string& name : ScriptWindowNames())
        if (n == 1 && w[1] == name) {
          event->text = name;
          return {};
        }
      return "expected a window name (main, stroke, camera, filter, size, paintings or brushes)";
    case EventKind::kPress:
    case EventKind::kRelease: {
      if (n != 3) return "expected a button (left, middle, right) and a pixel X Y";
      const auto named = ButtonNames().find(w[1]);
      long button = 0;
      if (named != ButtonNames().end())
        button = named->second;
      else if (!ReadInt(w[1], 0, 31, &button))
        return "expected a button (left, middle, right) and a pixel X Y";
      event->button = static_cast<int>(button);
      return pixels(2) ? std::string() : "expected whole pixel numbers X Y";
    }
    case EventKind::kMove: {
      constexpr const char* kExpected = "expected a pixel X Y, and \"pressure P\" (0 to 1) for a pen";
      if ((n != 2 && n != 4) || !pixels(1)) return kExpected;
      double pressure = 0.0;
      if (n == 4 && (w[3] != "pressure" || !ReadNumber(w[4], &pressure) || !(pressure >= 0.0) ||
                     pressure > 1.0))
        return kExpected;
      if (n == 4) event->values = {pressure};
      return {};
    }
    case EventKind::kKey:
      if (n != 1 || !ReadKey(w[1], event))
        return "expected one printable character or a key name (Esc, Enter, Tab, Backspace, "
               "Delete, Space), with Ctrl+, Alt+ or Shift+ in front";
      return {};
    case EventKind::kSpecial: {
      if (n != 1) return "expected a special key name (left, right, up, down, f1 … f12, …)";
      std::string word = w[1];
      event->modifiers = TakeModifiers(&word);
      const auto named = SpecialNames().find(word);
      long code = 0;
      if (named != SpecialNames().end())
        code = named->second;
      else if (!ReadInt(word, 0, 65535, &code))
        return "expected a special key name (left, right, up, down, f1 … f12, …)";
      event->key = static_cast<int>(code);
      return {};
    }
    case EventKind::kMenu:
    case EventKind::kToggle:
    case EventKind::kClick:
    case EventKind::kActivate:
    case EventKind::kBrush:
      if (n != 1 || !words.quoted[1] || w[1].empty())
        return event->kind == EventKind::kMenu ? "expected a quoted menu path \"Label/Entry\""
               : event->kind == EventKind::kBrush
                   ? "expected a quoted brush name \"Name\""
                   : "expected a quoted control path \"Panel/Label\"";
      event->text = w[1];
      return {};
    case EventKind::kSet: {
      if (n < 2 || !words.quoted[1] || w[1].empty())
        return "expected a quoted control path \"Panel/Label\" and a value";
      event->text = w[1];
      if (n == 2 && words.quoted[2]) {
        event->valueText = w[2];
        return {};
      }
      for (std::size_t i = 2; i <= n; ++i) {
        double value = 0;
        if (!ReadNumber(w[i], &value)) return "expected numbers after the control path";
        event->values.push_back(value);
      }
      if (event->values.size() != 1 && event->values.size() != 16 && event->values.size() != 20)
        return "expected 1 value, or 16 (a rotation matrix), or 20 (matrix and spin)";
      return {};
    }
    case EventKind::kResize: {
      long width = 0, height = 0;
      if (n != 2 || !ReadInt(w[1], 1, 16384, &width) || !ReadInt(w[2], 1, 16384, &height))
        return "expected a window size W H from 1 to 16384";
      event->x = static_cast<int>(width);
      event->y = static_cast<int>(height);
      return {};
    }
    case EventKind::kFrames:
    case EventKind::kWait:
      if (n != 1 || !ReadInt(w[1], 0, 100000000, &event->count))
        return event->kind == EventKind::kFrames ? "expected a count of idle steps"
                                                 : "expected milliseconds";
      return {};
    case EventKind::kScreenshot:
    case EventKind::kExport:
    case EventKind::kOpen:
    case EventKind::kSave:
    case EventKind::kFilm:
      if (n != 1 || w[1].empty()) return "expected a file name";
      if (event->kind == EventKind::kScreenshot &&
          (w[1].size() < 5 || w[1].compare(w[1].size() - 4, 4, ".png") != 0))
        return "expected a file name ending in .png";
      event->text = w[1];
      return {};
    case EventKind::kUndo:
    case EventKind::kRedo:
      return n == 0 ? std::string() : "expected nothing after the word";
    case EventKind::kWheel: {
      constexpr const char* kExpected =
          "expected up, down, left or right, a pixel X Y, and shift or ctrl if one is held";
      const auto direction = n >= 3 ? WheelNames().find(w[1]) : WheelNames().end();
      if (direction == WheelNames().end() || n > 4 || !pixels(2)) return kExpected;
      event->button = direction->second;
      if (n == 4 && w[4] != "shift" && w[4] != "ctrl") return kExpected;
      if (n == 4) event->modifiers = w[4] == "shift" ? kShiftKey : kCtrlKey;
      return {};
    }
    case EventKind::kMode:
      if (n != 2 || w[1] != kUnderPointerMode || (w[2] != "on" && w[2] != "off"))
        return std::string("expected ") + kUnderPointerMode + " and on or off";
      event->text = w[1];
      event->count = w[2] == "on" ? 1 : 0;
      return {};
  }
  return "expected an event";
}

}  // namespace

bool Event::operator==(const Event& o) const {
  return kind == o.kind && text == o.text && button == o.button && x == o.x && y == o.y &&
         key == o.key && modifiers == o.modifiers && count == o.count && values == o.values &&
         valueText == o.valueText;
}

const std::vector<std::string>& ScriptWindowNames() {
  static const std::vector<std::string> names{"main",   "stroke", "camera",
                                              "filter", "size",   "paintings", "brushes"};
  return names;
}

std::optional<std::vector<Event>> ParseScript(std::string_view text, const std::string& name,
                                              std::string* error) {
  std::vector<Event> events;
  int number = 0;
  for (std::size_t at = 0; at < text.size();) {
    std::size_t end = text.find('\n', at);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(at, end - at);
    at = end + 1;
    ++number;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);  // CRLF line ends
    const std::size_t first = line.find_first_not_of(" \t\r");
    if (first == std::string_view::npos || line[first] == '#') continue;
    auto fail = [&](const std::string& what) {
      if (error) *error = name + ":" + std::to_string(number) + ": " + what;
      return std::nullopt;
    };
    // Scripts are text: a control character other than a tab (a NUL, a
    // lone carriage return) is no part of any event.
    for (char c : line)
      if (static_cast<unsigned char>(c) < 32 && c != '\t') return fail("expected printable text");
    Words words = Split(line);
    // A key's one character is taken as it stands, a quote included.
    const std::string_view rest = line.substr(first);
    if (rest.rfind("key", 0) == 0 && rest.size() > 3 && IsBlank(rest[3])) {
      std::string_view argument = rest.substr(4);
      while (!argument.empty() && IsBlank(argument.front())) argument.remove_prefix(1);
      while (!argument.empty() && IsBlank(argument.back())) argument.remove_suffix(1);
      words = Words{{"key", std::string(argument)}, {false, false}, {}};
    }
    if (!words.problem.empty()) return fail(words.problem);
    const auto keyword = Keywords().find(words.items[0]);
    if (keyword == Keywords().end() || words.quoted[0])
      return fail(
          "expected an event (window, press, release, move, key, special, menu, set, "
          "toggle, click, activate, resize, frames, wait, screenshot, undo, redo, export, open, "
          "save, film, wheel, mode, brush)");
    Event event;
    event.kind = keyword->second;
    event.line = number;
    const std::string problem = ReadArguments(words, &event);
    if (!problem.empty()) return fail(problem);
    events.push_back(std::move(event));
  }
  return events;
}

std::string FormatEvent(const Event& e) {
  auto button = [&] {
    const std::string named = NameOf(ButtonNames(), e.button);
    return named.empty() ? std::to_string(e.button) : named;
  };
  auto at = [&] { return std::to_string(e.x) + " " + std::to_string(e.y); };
  switch (e.kind) {
    case EventKind::kWindow:
      return "window " + e.text;
    case EventKind::kPress:
      return "press " + button() + " " + at();
    case EventKind::kRelease:
      return "release " + button() + " " + at();
    case EventKind::kMove:
      return "move " + at() + (e.values.empty() ? "" : " pressure " + FormatNumber(e.values[0]));
    case EventKind::kKey:
      return "key " + FormatKey(e.key, e.modifiers);
    case EventKind::kSpecial: {
      std::string prefix;
      if (e.modifiers & kCtrlKey) prefix += "Ctrl+";
      if (e.modifiers & kAltKey) prefix += "Alt+";
      if (e.modifiers & kShiftKey) prefix += "Shift+";
      const std::string named = NameOf(SpecialNames(), e.key);
      return "special " + prefix + (named.empty() ? std::to_string(e.key) : named);
    }
    case EventKind::kMenu:
      return "menu " + Quote(e.text);
    case EventKind::kSet: {
      std::string line = "set " + Quote(e.text);
      if (e.valueText) return line + " " + Quote(*e.valueText);
      for (double v : e.values) line += " " + FormatNumber(v);
      return line;
    }
    case EventKind::kToggle:
      return "toggle " + Quote(e.text);
    case EventKind::kClick:
      return "click " + Quote(e.text);
    case EventKind::kActivate:
      return "activate " + Quote(e.text);
    case EventKind::kResize:
      return "resize " + at();
    case EventKind::kFrames:
      return "frames " + std::to_string(e.count);
    case EventKind::kWait:
      return "wait " + std::to_string(e.count);
    case EventKind::kScreenshot:
      return "screenshot " + FileWord(e.text);
    case EventKind::kUndo:
      return "undo";
    case EventKind::kRedo:
      return "redo";
    case EventKind::kExport:
      return "export " + FileWord(e.text);
    case EventKind::kOpen:
      return "open " + FileWord(e.text);
    case EventKind::kSave:
      return "save " + FileWord(e.text);
    case EventKind::kFilm:
      return "film " + FileWord(e.text);
    case EventKind::kWheel: {
      const std::string held =
          (e.modifiers & kShiftKey) ? " shift" : ((e.modifiers & kCtrlKey) ? " ctrl" : "");
      return "wheel " + NameOf(WheelNames(), e.button) + " " + at() + held;
    }
    case EventKind::kMode:
      return "mode " + e.text + (e.count ? " on" : " off");
    case EventKind::kBrush:
      return "brush " + Quote(e.text);
  }
  return std::string();
}

std::string FormatNumber(double value) {
  char text[40];
  for (int digits = 6; digits <= 17; ++digits) {
    std::snprintf(text, sizeof text, "%.*g", digits, value);
    if (std::strtod(text, nullptr) == value) break;
  }
  return text;
}

std::vector<std::string> SplitPath(const std::string& path) {
  std::vector<std::string> parts;
  std::string part;
  for (char c : path) {
    if (c == '/') {
      parts.push_back(part);
      part.clear();
    } else {
      part += c;
    }
  }
  parts.push_back(part);
  return parts;
}
