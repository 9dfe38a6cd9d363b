#include "panels/filter_panel.h"

#include <GL/freeglut.h>

#include <cstring>
#include <string>
#include <vector>

#include "actions/actions.h"
#include "image/filters.h"
#include "image/textures.h"
#include "panels/panel_window.h"
#include "panels/size_panel.h"
#include "panels/texture_menus.h"
#include "state/redraw.h"
#include "state/state.h"

namespace {

constexpr const char* kTitle = "Filter Control Panel:";
constexpr const char* kMissingSourceFolder = "Texmap Directory not Found...";

std::string SourceFolder() { return TextureMenuRoot() + MapFolderOf(MAP_SOURCE); }

// One submenu per kernel group of FilterTable, in table order; each lists
// its kernels by name with the kernel's number as the entry value.
struct GroupMenu {
  const char* title;
  int menu;
};

std::vector<GroupMenu> CreateFilterGroupMenus() {
  std::vector<GroupMenu> groups;
  for (int n = 0; n < kFilterCount; ++n) {
    const char* group = FilterGroupName(n);
    if (groups.empty() || std::strcmp(groups.back().title, group) != 0)
      groups.push_back({group, glutCreateMenu(OnFilterChoice)});
    glutAddMenuEntry(FilterName(n), n);
  }
  return groups;
}

// Groups that only hold submenus get no callback.
int CreateSubmenuHolder(const std::vector<GroupMenu>& groups, size_t first, size_t last) {
  const int menu = glutCreateMenu(nullptr);
  for (size_t i = first; i < last && i < groups.size(); ++i)
    glutAddSubMenu(groups[i].title, groups[i].menu);
  return menu;
}

// Puts the filtered picture and the map set into this window's context, and into
// the Size panel's, whose preview shows the same picture.
void Refresh() {
  glutSetWindow(AppState().windows.filterPanel.id);
  UploadImageTexture(AppState().pictures.filtered, TEX_FILTERED);
  LoadAllMaps(AppState().maps);
  TexturesReloaded(Picture::kFilterPanel);
  RefreshSizePanelPreview();
}

void BuildMenus() {
  // The low-pass and high-pass groups make up the convolution menu, the
  // other five the edge menu.
  const std::vector<GroupMenu> groups = CreateFilterGroupMenus();
  const int convolution = CreateSubmenuHolder(groups, 0, 2);
  const int edge = CreateSubmenuHolder(groups, 2, groups.size());

  const int filters = glutCreateMenu(OnFiltersMenu);
  glutAddMenuEntry("NONE", kShowUnfilteredSource);
  glutAddSubMenu("CONVOLUTION/CORRELATION", convolution);
  glutAddSubMenu("EDGE ENHANCEMENT AND DETECTION FILTERS", edge);

  const int source = CreateFolderMenu(SourceFolder(), OnSourceChoice, kMissingSourceFolder);

  glutCreateMenu(OnFilterPanelMenu);
  if (source != 0) glutAddSubMenu("Source Image", source);
  glutAddSubMenu("Filters", filters);
  glutAddMenuEntry("", 0);
  glutAddMenuEntry("Hide", kHideMenuValue);
  glutAddMenuEntry("", 0);
  glutAttachMenu(GLUT_RIGHT_BUTTON);
}

}  // namespace

void CreateFilterPanel() {
  WindowPlace& place = AppState().windows.filterPanel;
  CreatePanelWindow(kTitle, place);
  glutDisplayFunc(DisplayFilterPanel);
  glutReshapeFunc(ReshapeFilterPanel);
  glutMouseFunc(IgnoreMouse);
  Refresh();
  glutSetWindow(place.id);
  BuildMenus();
  HideFilterPanel();
}

void ShowFilterPanel() { ShowPanelWindow(AppState().windows.filterPanel.id); }
void HideFilterPanel() { HidePanelWindow(AppState().windows.filterPanel.id); }

// Every kernel starts from the source picture, never from the previous
// result. A failed filter (a source that is not 24-bit) leaves the
// filtered picture as it was.
void OnFilterChoice(int value) {
  ApplyFilterChoice(value);
  Refresh();
}

// "NONE" is the one entry of the "Filters" menu itself (the kernels sit in
// its submenus, which call OnFilterChoice).
void OnFiltersMenu(int value) {
  if (value == kShowUnfilteredSource) ShowUnfilteredSource();
  Refresh();
}

void OnSourceChoice(int value) {
  const auto path = FolderFileForMenuValue(SourceFolder(), value);
  if (!path) return;
  ChooseSourceImage(*path);
  Refresh();
}

void OnFilterPanelMenu(int value) {
  if (value == kHideMenuValue) HideFilterPanel();
}

std::string FilterPanelRedrawKey() {
  const ApplicationState& state = AppState();
  const WindowPlace& filter = state.windows.filterPanel;
  RedrawKey key;
  key.Add(state.redraw.textureRevisions[static_cast<int>(Picture::kFilterPanel)]);
  key.Add(filter.width).Add(filter.height);
  return key.Done();
}

void DisplayFilterPanel() {
  NotePanelDrawn(Picture::kFilterPanel, FilterPanelRedrawKey());
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glLoadIdentity();
  glColor3f(1, 1, 1);
  glEnable(GL_TEXTURE_2D);
  // The texture repeats, so the coordinates can run backwards through one
  // copy: the picture is flipped on both axes against a plain 0–1 mapping.
  DrawTexturedQuad(TEX_FILTERED, 0, 0, 1, 1, 0, 0, -1, -1);
  glDisable(GL_TEXTURE_2D);
  glutSwapBuffers();
}

void ReshapeFilterPanel(int width, int height) {
  WindowResized(Picture::kFilterPanel);
  WindowPlace& place = AppState().windows.filterPanel;
  place.width = StoredExtent(width);
  place.height = StoredExtent(height);
  SetUnitSquareView(place.width, place.height);
}
