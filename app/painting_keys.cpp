#include "app/painting_keys.h"

#include <GL/freeglut.h>

#include "actions/main_view_notice.h"
#include "actions/painting_files.h"
#include "actions/painting_history.h"
#include "app/film.h"
#include "common/constants.h"
#include "common/notice.h"
#include "export/painting.h"
#include "panels/brush_window.h"
#include "panels/painting_window.h"
#include "state/state.h"

namespace {

float ReliefSizeMm = ExportSettings().reliefSizeMm;

// The painter's one history, listening from the first use on: the keys
// and kelvra-play's undo and redo lines step through it.
PaintingHistory& History() {
  static PaintingHistory* history = new PaintingHistory();
  return *history;
}

}  // namespace

void StartPaintingHistory() { History(); }

bool UndoStep() { return History().Undo(); }
bool RedoStep() { return History().Redo(); }

void SetReliefSize(float millimetres) { ReliefSizeMm = millimetres; }

std::string ExportInto(const std::string& path) {
  const ApplicationState& state = AppState();
  ExportSettings settings;
  settings.reliefSizeMm = ReliefSizeMm;
  settings.meshMap = state.maps[MAP_MESH];
  settings.detailMap = state.maps[MAP_DETAIL];
  settings.particleMap = state.maps[MAP_PARTICLE_BRUSH];
  settings.makeFolders = true;
  return ExportPainting(state.canvas, path, settings);
}

std::string ExportByKey() {
  const std::string file = NewExportPath(".glb");
  if (const std::string problem = ExportInto(file); !problem.empty()) {
    Notice(problem);
    ShowMainViewNotice(problem);
    return std::string();
  }
  Notice("exported the painting into " + file);
  ShowMainViewNotice("exported the painting into " + file);
  return file;
}

bool HandlePaintingKey(unsigned char key, int modifiers) {
  const bool shift = (modifiers & GLUT_ACTIVE_SHIFT) != 0;
  if (key == CtrlKey('Z') && !shift) {
    UndoStep();
    return true;
  }
  if (key == CtrlKey('Y') || (key == CtrlKey('Z') && shift)) {
    RedoStep();
    return true;
  }
  if (key == 'x' || key == 'X') {
    ExportByKey();
    return true;
  }
  if (key == 'f' || key == 'F') {
    StartFilmByKey();
    return true;
  }
  if (key == CtrlKey('S')) {
    if (shift)
      ShowPaintingWindow(PaintingWindowPurpose::kSave);
    else
      SavePaintingOrAskForName();
    return true;
  }
  if (key == 'b' || key == 'B') {
    ShowBrushWindow();
    return true;
  }
  if (key == CtrlKey('O')) {
    ShowPaintingWindow(PaintingWindowPurpose::kOpen);
    return true;
  }
  return false;
}
