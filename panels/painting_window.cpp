#include "panels/painting_window.h"

#include <GL/freeglut.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "actions/painting_files.h"
#include "common/notice.h"
#include "glui/glui.h"
#include "panels/panel_window.h"
#include "state/state.h"

namespace {

constexpr const char* kTitle = "Paintings";
enum Control { kList = 1, kName = 2, kOpen = 3, kSave = 4, kCancel = 5 };

// The list's width and rows: long names and a good few paintings show at
// once.
constexpr int kListWidth = 320;
constexpr int kListHeight = 200;

struct PaintingWindow {
  GLUI* glui = nullptr;
  GLUI_List* list = nullptr;
  GLUI_EditText* name = nullptr;
  GLUI_Button* save = nullptr;
  std::vector<PaintingEntry> entries;  // the list's items, in its order
  std::string nameText;                // the name field's live variable
  // A Save that would replace another painting asks to be clicked again.
  std::string replacing;
};

PaintingWindow Window;

// A painting's name as the field shows it: its file name without the
// folder and ".kelvra".
std::string NameOf(const std::string& path) {
  std::string name = path.substr(path.find_last_of('/') + 1);
  if (name.size() > 7 && name.compare(name.size() - 7, 7, ".kelvra") == 0)
    name.resize(name.size() - 7);
  return name;
}

void AskNoMoreToReplace() {
  if (Window.replacing.empty()) return;
  Window.replacing.clear();
  Window.save->set_name("Save");
}

void FillList() {
  Window.entries = ListPaintings();
  Window.list->delete_all();
  for (std::size_t i = 0; i < Window.entries.size(); ++i)
    Window.list->add_item(static_cast<int>(i), Window.entries[i].label.c_str());
  Window.list->set_current_item(0);
}

const PaintingEntry* CurrentEntry() {
  const int line = Window.list->get_current_item();
  if (line < 0 || static_cast<std::size_t>(line) >= Window.entries.size()) return nullptr;
  return &Window.entries[static_cast<std::size_t>(line)];
}

void OpenCurrent() {
  const PaintingEntry* entry = CurrentEntry();
  if (!entry) {
    Notice("there is no painting to open");
    return;
  }
  if (OpenListedPainting(*entry)) HidePaintingWindow();
}

void SaveUnderName() {
  const std::string path = PaintingPathForName(Window.nameText);
  if (path.empty()) {
    Notice("a painting is saved under a name of its own: type one into \"Name:\"");
    return;
  }
  // Replacing another painting takes a second click, as the button says.
  if (path != CurrentPaintingFile() && ::access(path.c_str(), F_OK) == 0 &&
      Window.replacing != path) {
    Window.replacing = path;
    Window.save->set_name("Replace");
    return;
  }
  AskNoMoreToReplace();
  if (SavePaintingFile(path)) HidePaintingWindow();
}

void OnControl(int id) {
  switch (id) {
    case kList:
      if (const PaintingEntry* entry = CurrentEntry(); entry && !entry->recovered)
        Window.name->set_text(entry->label);
      AskNoMoreToReplace();
      break;
    case kName:
      AskNoMoreToReplace();
      break;
    case kOpen:
      OpenCurrent();
      break;
    case kSave:
      SaveUnderName();
      break;
    case kCancel:
      HidePaintingWindow();
      break;
    default:
      break;
  }
}

void OnActivate(GLUI_Control*) { OpenCurrent(); }

void Display() {
  glClear(GL_COLOR_BUFFER_BIT);
  glutSwapBuffers();
}

void Reshape(int, int) {}

void Create() {
  WindowPlace& place = AppState().windows.paintings;
  const int current = glutGetWindow();
  CreatePanelWindow(kTitle, place);
  Window.glui = GLUI_Master.create_glui_subwindow(place.id, GLUI_SUBWINDOW_BOTTOM);
  GLUI_Master.set_glutKeyboardFunc(IgnoreKeyboard);
  GLUI_Master.set_glutSpecialFunc(IgnoreSpecialKey);
  GLUI_Master.set_glutMouseFunc(IgnoreMouse);
  GLUI_Master.set_glutReshapeFunc(Reshape);
  glutDisplayFunc(Display);

  GLUI_Panel* paintings = Window.glui->add_panel("Paintings");
  Window.list = Window.glui->add_list_to_panel(paintings, true, kList, OnControl);
  // A list shows no label of its own; this one names it for session scripts.
  Window.list->set_name("Paintings");
  Window.list->set_w(kListWidth);
  Window.list->set_h(kListHeight);
  Window.list->set_object_callback(OnActivate);
  Window.name = Window.glui->add_edittext("Name:", GLUI_EDITTEXT_TEXT, &Window.nameText, kName,
                                          OnControl);
  Window.name->set_w(kListWidth);
  GLUI_Panel* buttons = Window.glui->add_panel("", GLUI_PANEL_NONE);
  Window.glui->add_button_to_panel(buttons, "Open", kOpen, OnControl);
  Window.glui->add_column_to_panel(buttons, false);
  Window.save = Window.glui->add_button_to_panel(buttons, "Save", kSave, OnControl);
  Window.glui->add_column_to_panel(buttons, false);
  Window.glui->add_button_to_panel(buttons, "Cancel", kCancel, OnControl);

  // The window is its controls.
  place.width = Window.glui->ContentWidth();
  place.height = Window.glui->ContentHeight();
  glutReshapeWindow(place.width, place.height);
  if (current != 0) glutSetWindow(current);
}

}  // namespace

void ShowPaintingWindow() {
  if (!Window.glui) Create();
  FillList();
  Window.name->set_text(CurrentPaintingFile().empty() ? "" : NameOf(CurrentPaintingFile()));
  AskNoMoreToReplace();
  ShowPanelWindow(AppState().windows.paintings.id);
}

void HidePaintingWindow() { HidePanelWindow(AppState().windows.paintings.id); }

void SavePaintingOrAskForName() {
  if (CurrentPaintingFile().empty())
    ShowPaintingWindow();
  else
    SavePaintingFile(CurrentPaintingFile());
}
