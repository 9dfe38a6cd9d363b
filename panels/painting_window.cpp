#include "panels/painting_window.h"

#include <GL/freeglut.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "actions/main_view_notice.h"
#include "actions/painting_files.h"
#include "common/notice.h"
#include "document/document.h"
#include "export/png.h"
#include "glui/glui.h"
#include "image/rgba_picture.h"
#include "panels/panel_window.h"
#include "state/state.h"

namespace {

constexpr const char* kTitle = "Paintings";
enum Control { kList = 1, kName = 2, kOpen = 3, kSave = 4, kDiscard = 5, kCancel = 6 };

// The list's width and rows: long names and a good few paintings show at
// once.
constexpr int kListWidth = 320;
constexpr int kListHeight = 200;

// Above the controls, the current painting's thumbnail, fitted into a
// square of this side. A thumbnail of more pixels than the painter ever
// saves is no thumbnail of ours, and is not decoded.
constexpr int kThumbnailSide = 128;
constexpr int kThumbnailMargin = 6;
constexpr std::uint64_t kMostThumbnailPixels = 1024 * 1024;

// A click that needs a second one to be sure: which, and on what.
enum class Asking { kNothing, kReplace, kDiscard };

struct PaintingWindow {
  GLUI* glui = nullptr;
  GLUI_List* list = nullptr;
  GLUI_EditText* name = nullptr;
  GLUI_StaticText* said = nullptr;  // under the name: what went wrong, what a second click does
  GLUI_Button* save = nullptr;
  GLUI_Button* discard = nullptr;
  PaintingWindowPurpose purpose = PaintingWindowPurpose::kOpen;
  std::vector<PaintingEntry> entries;  // the list's items, in its order
  std::string nameText;                // the name field's live variable
  Asking asking = Asking::kNothing;
  std::string askedFor;  // the path the second click is for
  // Ctrl+S over a file changed since: the path a second press saves over.
  std::string saveAgainOver;
  RgbaPicture thumbnail;  // of the current painting; empty when it has none
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

void Say(const std::string& line) { Window.said->set_text(line); }

// Every action starts afresh: the line goes, a click waiting for its
// second one is not asked for any more.
void StartAction() {
  Say("");
  if (Window.asking == Asking::kNothing) return;
  Window.asking = Asking::kNothing;
  Window.askedFor.clear();
  Window.save->set_name("Save");
  Window.discard->set_name("Discard");
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

const PaintingEntry* CurrentEntry();

// The current painting's thumbnail, read as a file manager reads it: only
// that picture, not the painting.
void ShowCurrentThumbnail() {
  Window.thumbnail = {};
  const PaintingEntry* entry = CurrentEntry();
  Bytes png;
  std::string error;
  RgbaPicture picture;
  if (entry && ReadThumbnail(entry->path, png, error) &&
      DecodePng(png, kMostThumbnailPixels, picture, error))
    Window.thumbnail = FitWithin(picture, kThumbnailSide);
  glutPostWindowRedisplay(AppState().windows.paintings.id);
}

void FillList() {
  RemoveAbandonedTemporaries();
  Window.entries = ListPaintings();
  Window.list->delete_all();
  for (std::size_t i = 0; i < Window.entries.size(); ++i) {
    const PaintingEntry& entry = Window.entries[i];
    // A recovered painting's label holds its date already.
    Window.list->add_item(static_cast<int>(i), entry.label.c_str(),
                          entry.recovered ? std::string() : entry.when);
  }
  Window.list->set_current_item(0);
  ShowCurrentThumbnail();
}

const PaintingEntry* CurrentEntry() {
  const int line = Window.list->get_current_item();
  if (line < 0 || static_cast<std::size_t>(line) >= Window.entries.size()) return nullptr;
  return &Window.entries[static_cast<std::size_t>(line)];
}

void OpenCurrent() {
  StartAction();
  const PaintingEntry* entry = CurrentEntry();
  if (!entry) {
    Notice("there is no painting to open");
    Say("there is no painting to open");
    return;
  }
  const FileOutcome opened = OpenListedPainting(*entry);
  if (opened.ok && opened.told.empty()) {
    HidePaintingWindow();
  } else {
    if (opened.ok) Window.name->set_text(NameOf(CurrentPaintingFile()));
    Say(opened.told);
  }
}

void SaveUnderName() {
  const PaintingName name = PaintingPathOf(Window.nameText);
  if (name.path.empty()) {
    StartAction();
    Notice(name.problem);
    Say(name.problem);
    return;
  }
  // Writing over a painting this run does not have, or over its own
  // changed by someone else since, takes a second click, as the button says.
  std::string why = ChangedSinceThisRun(name.path);
  if (!why.empty())
    why += ": Replace saves over it";
  else if (name.path != CurrentPaintingFile() && ::access(name.path.c_str(), F_OK) == 0)
    why = NameOf(name.path) + " is another painting: Replace saves over it";
  if (!why.empty() && !Confirmed(Asking::kReplace, name.path, Window.save, "Replace", why)) return;
  StartAction();
  const FileOutcome saved = SavePaintingFile(name.path);
  if (saved.ok && saved.told.empty())
    HidePaintingWindow();
  else
    Say(saved.told);
}

void DiscardCurrent() {
  const PaintingEntry* entry = CurrentEntry();
  if (!entry || !entry->recovered) {
    StartAction();
    Say("Discard deletes a recovered painting: choose one in the list");
    return;
  }
  if (!Confirmed(Asking::kDiscard, entry->path, Window.discard, "Really discard",
                 "Discard again to delete the recovered painting for good"))
    return;
  const FileOutcome discarded = DiscardRecoveredPainting(*entry);
  FillList();
  Say(discarded.told);
}

// Enter in the name field does what the window was shown for. Opening by
// name takes the painting of that name when the list has it.
void OnEnter(GLUI_Control*) {
  if (Window.purpose == PaintingWindowPurpose::kSave) {
    SaveUnderName();
    return;
  }
  const std::string path = PaintingPathForName(Window.nameText);
  for (std::size_t i = 0; i < Window.entries.size(); ++i)
    if (!Window.entries[i].recovered && Window.entries[i].path == path) {
      Window.list->set_current_item(static_cast<int>(i));
      ShowCurrentThumbnail();
    }
  OpenCurrent();
}

void OnControl(int id) {
  switch (id) {
    case kList:
      StartAction();
      ShowCurrentThumbnail();
      if (const PaintingEntry* entry = CurrentEntry(); entry && !entry->recovered)
        Window.name->set_text(entry->label);
      break;
    case kName:
      StartAction();
      break;
    case kOpen:
      OpenCurrent();
      break;
    case kSave:
      SaveUnderName();
      break;
    case kDiscard:
      DiscardCurrent();
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
  DrawPictureAtTop(Window.thumbnail, kThumbnailMargin);
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
  Window.name->set_object_callback(OnEnter);
  Window.said = Window.glui->add_statictext("");
  Window.said->set_w(kListWidth);
  GLUI_Panel* buttons = Window.glui->add_panel("", GLUI_PANEL_NONE);
  Window.glui->add_button_to_panel(buttons, "Open", kOpen, OnControl);
  Window.glui->add_column_to_panel(buttons, false);
  Window.save = Window.glui->add_button_to_panel(buttons, "Save", kSave, OnControl);
  Window.glui->add_column_to_panel(buttons, false);
  Window.discard = Window.glui->add_button_to_panel(buttons, "Discard", kDiscard, OnControl);
  Window.glui->add_column_to_panel(buttons, false);
  Window.glui->add_button_to_panel(buttons, "Cancel", kCancel, OnControl);

  // The window is its controls, and the thumbnail's area above them.
  place.width = Window.glui->ContentWidth();
  place.height = Window.glui->ContentHeight() + kThumbnailSide + 2 * kThumbnailMargin;
  glutReshapeWindow(place.width, place.height);
  if (current != 0) glutSetWindow(current);
}

}  // namespace

void ShowPaintingWindow(PaintingWindowPurpose purpose) {
  if (!Window.glui) Create();
  Window.purpose = purpose;
  FillList();
  Window.name->set_text(CurrentPaintingFile().empty() ? "" : NameOf(CurrentPaintingFile()));
  StartAction();
  ShowPanelWindow(AppState().windows.paintings.id);
}

void HidePaintingWindow() { HidePanelWindow(AppState().windows.paintings.id); }

void SavePaintingOrAskForName() {
  const std::string path = CurrentPaintingFile();
  if (path.empty()) {
    ShowPaintingWindow(PaintingWindowPurpose::kSave);
    return;
  }
  if (const std::string why = ChangedSinceThisRun(path); !why.empty() && Window.saveAgainOver != path) {
    Window.saveAgainOver = path;
    const std::string line = why + ": press Ctrl+S again to save over it";
    Notice(line);
    ShowMainViewNotice(line);
    return;
  }
  Window.saveAgainOver.clear();
  const FileOutcome saved = SavePaintingFile(path);
  if (!saved.told.empty()) ShowMainViewNotice(saved.told);
}
