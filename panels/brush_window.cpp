#include "panels/brush_window.h"

#include <GL/freeglut.h>

#include <vector>

#include "actions/actions.h"
#include "actions/brush_picture.h"
#include "actions/brushes.h"
#include "export/png.h"
#include "glui/glui.h"
#include "image/rgba_picture.h"
#include "panels/panel_window.h"
#include "panels/texture_menus.h"
#include "state/state.h"

namespace {

constexpr const char* kTitle = "Brushes";
enum Control {
  kList = 1,
  kApply = 2,
  kDelete = 3,
  kName = 4,
  kSave = 5,
  kClose = 6,
  kPressure = 7,
};

constexpr int kListWidth = 300;
constexpr int kListHeight = 190;
// The chosen brush's picture, above the controls, at its own size: a
// picture of more pixels than a brush may carry is not decoded.
constexpr int kPictureMargin = 6;
constexpr std::uint64_t kMostPicturePixels =
    std::uint64_t(kBrushPictureMostSide) * kBrushPictureMostSide;

// A click that needs a second one to be sure: which, and on what.
enum class Asking { kNothing, kReplace, kDelete };

struct BrushWindow {
  GLUI* glui = nullptr;
  GLUI_List* list = nullptr;
  GLUI_EditText* name = nullptr;
  GLUI_StaticText* said = nullptr;  // what went wrong, what a second click does
  GLUI_Button* save = nullptr;
  GLUI_Button* remove = nullptr;
  std::vector<BrushEntry> entries;  // the list's items, in its order
  std::string nameText;             // the name field's live variable
  Asking asking = Asking::kNothing;
  std::string askedFor;  // the path the second click is for
  RgbaPicture picture;   // of the chosen brush; empty when it has none
};

BrushWindow Window;

void Say(const std::string& line) { Window.said->set_text(line); }

// Every action starts afresh: the line goes, a click waiting for its
// second one is not asked for any more.
void StartAction() {
  Say("");
  if (Window.asking == Asking::kNothing) return;
  Window.asking = Asking::kNothing;
  Window.askedFor.clear();
  Window.save->set_name("Save current as...");
  Window.remove->set_name("Delete");
}

// Whether this click is the second one asked for; else asks for it.
bool Confirmed(Asking asking, const std::string& path, GLUI_Button* button, const char* label,
               const std::string& why) {
  if (Window.asking == asking && Window.askedFor == path) {
    StartAction();
    return true;
  }
  StartAction();
  Window.asking = asking;
  Window.askedFor = path;
  button->set_name(label);
  Say(why);
  return false;
}

const BrushEntry* CurrentEntry() {
  const int line = Window.list->get_current_item();
  if (line < 0 || static_cast<std::size_t>(line) >= Window.entries.size()) return nullptr;
  return &Window.entries[static_cast<std::size_t>(line)];
}

// The chosen brush's picture; a brush that cannot be read says why.
void ShowCurrentPicture() {
  Window.picture = {};
  if (const BrushEntry* entry = CurrentEntry()) {
    Brush brush;
    std::string error;
    if (!LoadBrush(entry->path, brush, error))
      Say(error);
    else if (!brush.picture.empty() &&
             DecodePng(brush.picture, kMostPicturePixels, Window.picture, error) &&
             (Window.picture.width > kBrushPictureWidth ||
              Window.picture.height > kBrushPictureHeight))
      Window.picture = FitWithin(Window.picture, kBrushPictureHeight);  // made elsewhere, larger
  }
  glutPostWindowRedisplay(AppState().windows.brushes.id);
}

// The list read afresh, with the brush at `path` chosen (the first when
// none is).
void FillList(const std::string& path = "") {
  Window.entries = ListBrushes();
  Window.list->delete_all();
  int chosen = 0;
  for (std::size_t i = 0; i < Window.entries.size(); ++i) {
    const BrushEntry& entry = Window.entries[i];
    Window.list->add_item(static_cast<int>(i), entry.name.c_str(), entry.own ? "yours" : "");
    if (entry.path == path) chosen = static_cast<int>(i);
  }
  Window.list->set_current_item(chosen);
  ShowCurrentPicture();
}

void ApplyCurrent() {
  StartAction();
  const BrushEntry* entry = CurrentEntry();
  if (!entry) return Say("there is no brush to apply");
  Say(ApplyBrushEntry(*entry, TextureMenuRoot()).told);
}

void SaveUnderName() {
  const BrushName name = OwnBrushPathOf(Window.nameText);
  if (!name.problem.empty()) {
    StartAction();
    return Say(name.problem);
  }
  for (const BrushEntry& entry : Window.entries)
    if (entry.own && entry.path == name.path &&
        !Confirmed(Asking::kReplace, name.path, Window.save, "Replace",
                   entry.name + " is one of your brushes: Replace saves over it"))
      return;
  StartAction();
  const FileOutcome saved = SaveCurrentBrush(name.path);
  if (saved) FillList(name.path);
  Say(saved.told);
}

void DeleteCurrent() {
  const BrushEntry* entry = CurrentEntry();
  if (!entry || !entry->own) {
    StartAction();
    return Say("Delete deletes one of your own brushes: choose one in the list");
  }
  if (!Confirmed(Asking::kDelete, entry->path, Window.remove, "Really delete",
                 "Delete again to delete your brush " + entry->name + " for good"))
    return;
  const FileOutcome deleted = DeleteOwnBrush(*entry);
  FillList();
  Say(deleted.told);
}

void OnControl(int id) {
  switch (id) {
    case kList:
      StartAction();
      ShowCurrentPicture();
      if (const BrushEntry* entry = CurrentEntry()) Window.name->set_text(entry->name);
      break;
    case kName:
      StartAction();
      break;
    case kApply:
      ApplyCurrent();
      break;
    case kSave:
      SaveUnderName();
      break;
    case kDelete:
      DeleteCurrent();
      break;
    case kClose:
      HideBrushWindow();
      break;
    case kPressure:
      SettingChanged();
      break;
    default:
      break;
  }
}

void OnActivate(GLUI_Control*) { ApplyCurrent(); }
void OnEnter(GLUI_Control*) { SaveUnderName(); }

void Display() {
  DrawPictureAtTop(Window.picture, kPictureMargin);
  glutSwapBuffers();
}

void Reshape(int, int) {}

// A float spinner over a pressure setting, limited to its list's range.
void AddPressureSpinner(GLUI_Panel* panel, const char* label, float* variable) {
  GLUI_Spinner* spinner = Window.glui->add_spinner_to_panel(panel, label, GLUI_SPINNER_FLOAT,
                                                            variable, kPressure, OnControl);
  const SettingRange range = RangeOfSetting(AppState().strokeSettings, variable);
  spinner->set_float_limits(static_cast<float>(range.lowest), static_cast<float>(range.highest),
                            GLUI_LIMIT_CLAMP);
}

void Create() {
  WindowPlace& place = AppState().windows.brushes;
  const int current = glutGetWindow();
  CreatePanelWindow(kTitle, place);
  Window.glui = GLUI_Master.create_glui_subwindow(place.id, GLUI_SUBWINDOW_BOTTOM);
  GLUI_Master.set_glutKeyboardFunc(IgnoreKeyboard);
  GLUI_Master.set_glutSpecialFunc(IgnoreSpecialKey);
  GLUI_Master.set_glutMouseFunc(IgnoreMouse);
  GLUI_Master.set_glutReshapeFunc(Reshape);
  glutDisplayFunc(Display);
  GLUI* glui = Window.glui;

  GLUI_Panel* brushes = glui->add_panel("Brushes");
  Window.list = glui->add_list_to_panel(brushes, true, kList, OnControl);
  // A list shows no label of its own; this one names it for session scripts.
  Window.list->set_name("Brushes");
  Window.list->set_w(kListWidth);
  Window.list->set_h(kListHeight);
  Window.list->set_object_callback(OnActivate);
  GLUI_Panel* listButtons = glui->add_panel_to_panel(brushes, "", GLUI_PANEL_NONE);
  glui->add_button_to_panel(listButtons, "Apply", kApply, OnControl);
  glui->add_column_to_panel(listButtons, false);
  Window.remove = glui->add_button_to_panel(listButtons, "Delete", kDelete, OnControl);

  Window.name = glui->add_edittext("Name:", GLUI_EDITTEXT_TEXT, &Window.nameText, kName, OnControl);
  Window.name->set_w(kListWidth);
  Window.name->set_object_callback(OnEnter);
  Window.said = glui->add_statictext("");
  Window.said->set_w(kListWidth);
  Window.save = glui->add_button("Save current as...", kSave, OnControl);

  StrokeSettings& settings = AppState().strokeSettings;
  GLUI_Panel* pen = glui->add_panel("Pen pressure");
  AddPressureSpinner(pen, "Pressure minimum", &settings.pressureMinimum);
  AddPressureSpinner(pen, "Pressure curve", &settings.pressureCurve);
  glui->add_button("Close", kClose, OnControl);

  // The window is its controls, and the picture's area above them.
  place.width = glui->ContentWidth();
  place.height = glui->ContentHeight() + kBrushPictureHeight + 2 * kPictureMargin;
  glutReshapeWindow(place.width, place.height);
  if (current != 0) glutSetWindow(current);
}

}  // namespace

void ShowBrushWindow() {
  if (!Window.glui) Create();
  StartAction();
  const BrushEntry* chosen = CurrentEntry();
  FillList(chosen ? chosen->path : "");
  ShowPanelWindow(AppState().windows.brushes.id);
}

void HideBrushWindow() { HidePanelWindow(AppState().windows.brushes.id); }

std::string ApplyBrushNamed(const std::string& name) {
  const std::optional<BrushEntry> entry = FindBrush(name);
  if (!entry) return "there is no brush named \"" + name + "\"";
  const FileOutcome applied = ApplyBrushEntry(*entry, TextureMenuRoot());
  return applied ? "" : applied.told;
}
