// The panels' right-button menus as GLUT receives them. freeglut cannot list
// a menu's labels back, so this test program defines the GLUT menu calls the
// panels make itself: each one is recorded and then passed on to freeglut
// (found with dlsym(RTLD_NEXT)), so the panels run exactly as in the program.
// The definitions here take the place of freeglut's for every call linked
// into this test program (the other panel tests' too); freeglut itself is
// unchanged.

#include <GL/freeglut.h>
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "image/filters.h"
#include "image/textures.h"
#include "panels/panels.h"
#include "panels/texture_menus.h"
#include "state/state.h"
#include "tests/panels/panel_setup.h"
#include "tests/support/scratch_dir.h"

namespace {

struct MenuItem {
  std::string label;
  int value = 0;    // an entry's value
  int submenu = 0;  // for a submenu, its menu id
};
struct RecordedMenu {
  void (*callback)(int) = nullptr;
  std::vector<MenuItem> items;
};
std::map<int, RecordedMenu> Menus;
std::map<std::pair<int, int>, int> AttachedMenus;  // (window, button) → menu
std::vector<int> HiddenWindows;

template <typename Fn>
Fn Freeglut(Fn, const char* name) {
  return reinterpret_cast<Fn>(dlsym(RTLD_NEXT, name));
}

}  // namespace

int glutCreateMenu(void (*callback)(int)) {
  static const auto real = Freeglut(&glutCreateMenu, "glutCreateMenu");
  const int menu = real(callback);
  Menus[menu].callback = callback;
  return menu;
}

void glutAddMenuEntry(const char* label, int value) {
  static const auto real = Freeglut(&glutAddMenuEntry, "glutAddMenuEntry");
  real(label, value);
  Menus[glutGetMenu()].items.push_back({label, value, 0});
}

void glutAddSubMenu(const char* label, int submenu) {
  static const auto real = Freeglut(&glutAddSubMenu, "glutAddSubMenu");
  real(label, submenu);
  Menus[glutGetMenu()].items.push_back({label, 0, submenu});
}

void glutAttachMenu(int button) {
  static const auto real = Freeglut(&glutAttachMenu, "glutAttachMenu");
  real(button);
  AttachedMenus[{glutGetWindow(), button}] = glutGetMenu();
}

void glutHideWindow() {
  static const auto real = Freeglut(&glutHideWindow, "glutHideWindow");
  real();
  HiddenWindows.push_back(glutGetWindow());
}

namespace {

// One entry of a menu tree, and the menu that holds it.
struct Line {
  std::string text;  // the submenu labels above it and its own, "label = value"
  int menu;
  int value;
};

// A menu tree depth first, in menu order.
void Flatten(int menu, const std::string& prefix, std::vector<Line>& lines) {
  for (const MenuItem& item : Menus[menu].items) {
    if (item.submenu != 0)
      Flatten(item.submenu, prefix + item.label + " > ", lines);
    else
      lines.push_back({prefix + item.label + " = " + std::to_string(item.value), menu, item.value});
  }
}

std::vector<Line> MenuTree(int window) {
  std::vector<Line> lines;
  const auto attached = AttachedMenus.find({window, GLUT_RIGHT_BUTTON});
  if (attached != AttachedMenus.end()) Flatten(attached->second, "", lines);
  return lines;
}

std::vector<std::string> MenuLines(int window) {
  std::vector<std::string> texts;
  for (const Line& line : MenuTree(window)) texts.push_back(line.text);
  return texts;
}

// Chooses an entry as GLUT does: the callback of the menu holding it, with
// the entry's value, the menu's window current.
void Choose(int window, const Line& line) {
  ASSERT_NE(Menus[line.menu].callback, nullptr) << line.text;
  glutSetWindow(window);
  Menus[line.menu].callback(line.value);
}

const Line* Find(const std::vector<Line>& tree, const std::string& text) {
  for (const Line& line : tree)
    if (line.text == text) return &line;
  return nullptr;
}

class PanelMenus : public testing::Test {
 protected:
  static void SetUpTestSuite() { CreatePanelsOnce(); }
};

// The Filter panel's tree: the source pictures, "NONE", then the 38 kernels
// in order of their numbers, each group of them under its title. (Which
// kernel an entry applies is checked below.)
TEST_F(PanelMenus, FilterMenuGroupsEveryKernelUnderItsTitle) {
  const std::string conv = "Filters > CONVOLUTION/CORRELATION > ";
  const std::string edge = "Filters > EDGE ENHANCEMENT AND DETECTION FILTERS > ";
  const std::tuple<std::string, int, int> groups[] = {
      {conv + "LOW PASS FILTERS", 0, 4},
      {conv + "HIGH PASS FILTERS", 5, 8},
      {edge + "SHIFT AND DIFFERENCE EDGE ENHANCEMENT", 9, 11},
      {edge + "LAPLACIAN FILTERS", 12, 17},
      {edge + "GRADIENT DIRECTIONAL FILTERS", 18, 25},
      {edge + "EMBOSSING EFFECTS", 26, 33},
      {edge + "SOBEL EDGE DETECTION AND CONTOUR FILTERS", 34, 37}};
  const std::vector<std::string> lines = MenuLines(AppState().windows.filterPanel.id);
  ASSERT_EQ(lines.size(), 43u);
  EXPECT_EQ(lines[0], "Source Image > sourcemap.bmp = -1");
  EXPECT_EQ(lines[1], "Filters > NONE = 2");
  for (const auto& [title, first, last] : groups)
    for (int n = first; n <= last; ++n)
      EXPECT_EQ(lines[2 + n], title + " > " + FilterName(n) + " = " + std::to_string(n));
}

// Every panel's own entries, the last three of its menu: the spacers do
// nothing, "Hide" hides that panel's window and no other. The Stroke
// panel's menus that pick a file list each folder under its title.
TEST_F(PanelMenus, HideHidesItsOwnPanelAndTheStrokeMenuGroupsTheMapFolders) {
  EXPECT_EQ(
      MenuLines(AppState().windows.strokePanel.id),
      (std::vector<std::string>{
          " = 0", "Paper Maps > papermap.bmp = -1", " = 0", "Particle Maps > partmap.bmp = -1",
          "Height Maps > heightmap.bmp = -1", " = 0", "Mesh Maps > meshmap.bmp = -1",
          "Detail Maps > detailmap.bmp = -1", " = 0", "Hide = 1", " = 0"}));
  const Windows& w = AppState().windows;
  // A panel's window and the entries of its whole tree.
  const std::pair<int, size_t> cases[] = {
      {w.cameraPanel.id, 3}, {w.sizePanel.id, 3}, {w.filterPanel.id, 43}, {w.strokePanel.id, 11}};
  for (const auto& [window, entries] : cases) {
    SCOPED_TRACE(window);
    const std::vector<Line> tree = MenuTree(window);
    ASSERT_EQ(tree.size(), entries);
    const std::vector<Line> own(tree.end() - 3, tree.end());
    EXPECT_EQ(own[0].text + "|" + own[1].text + "|" + own[2].text, " = 0|Hide = 1| = 0");
    HiddenWindows.clear();
    Choose(window, own[0]);
    Choose(window, own[2]);
    EXPECT_TRUE(HiddenWindows.empty());
    Choose(window, own[1]);
    EXPECT_EQ(HiddenWindows, std::vector<int>{window});
  }
}

// A kernel's entry applies that kernel to the source; "NONE" shows the
// source as it is; a source picture's entry loads that picture and shows
// it through the vertical Sobel kernel.
TEST_F(PanelMenus, FilterEntriesShowTheSourceThroughTheirKernel) {
  ScratchDir root;
  std::filesystem::create_directories(root.File("sourcemap"));
  const std::string file = root.File("sourcemap/only.bmp");
  BmpImage& source = AppState().pictures.source;
  std::mt19937 random(11);
  for (bool saved : {true, false}) {
    ASSERT_TRUE(source.Allocate(16, 12, 24));
    for (int i = 0; i < 16 * 12 * 3; ++i) source.Data()[i] = static_cast<std::uint8_t>(random());
    ASSERT_TRUE(!saved || source.Save(file));
  }
  BmpImage picture;
  ASSERT_TRUE(picture.Load(file));
  SetTextureMenuRoot(root.Path());
  const std::vector<Line> tree = MenuTree(AppState().windows.filterPanel.id);
  const std::pair<const char*, int> cases[] = {
      // an entry and its kernel (-1: none)
      {"Filters > CONVOLUTION/CORRELATION > LOW PASS FILTERS > GAUSSIAN = 4", 4},
      {"Filters > EDGE ENHANCEMENT AND DETECTION FILTERS > EMBOSSING EFFECTS > NORTH2 = 32", 32},
      {"Filters > NONE = 2", -1},
      {"Source Image > sourcemap.bmp = -1", kFilterVerticalSobel},
  };
  for (const auto& [entry, kernel] : cases) {
    SCOPED_TRACE(entry);
    const Line* line = Find(tree, entry);
    ASSERT_NE(line, nullptr);
    AppState().interaction.syncRequested = 0;
    Choose(AppState().windows.filterPanel.id, *line);
    BmpImage expected;
    if (kernel >= 0)
      ASSERT_TRUE(ApplyFilter(source, expected, kernel));
    else
      expected.CopyFrom(source);
    EXPECT_TRUE(SamePixels(AppState().pictures.filtered, expected));
    EXPECT_EQ(AppState().interaction.syncRequested, 1);
  }
  SetTextureMenuRoot("textures/");
  EXPECT_EQ(AppState().maps.files[MAP_SOURCE], file);
  EXPECT_TRUE(SamePixels(source, picture));
}

}  // namespace
