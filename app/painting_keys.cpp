#include "app/painting_keys.h"

#include <GL/freeglut.h>
#include <unistd.h>

#include <ctime>

#include "actions/painting_history.h"
#include "app/film.h"
#include "common/constants.h"
#include "common/notice.h"
#include "export/painting.h"
#include "panels/painting_window.h"
#include "platform/files.h"
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

std::string NewExportPath(const std::string& extension) {
  char stamp[32];
  const std::time_t now = std::time(nullptr);
  std::strftime(stamp, sizeof stamp, "%Y-%m-%d_%H-%M-%S", std::localtime(&now));
  const std::string stem = std::string("exports/painting-") + stamp;
  std::string file = stem + "." + extension;
  for (int copy = 2; ::access(FromStartFolder(file).c_str(), F_OK) == 0; ++copy)
    file = stem + "-" + std::to_string(copy) + "." + extension;
  return file;
}

std::string ExportByKey() {
  const std::string file = NewExportPath("glb");
  if (const std::string problem = ExportInto(FromStartFolder(file)); !problem.empty()) {
    Notice(problem);
    return std::string();
  }
  Notice("exported the painting into " + file);
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
      ShowPaintingWindow();
    else
      SavePaintingOrAskForName();
    return true;
  }
  if (key == CtrlKey('O')) {
    ShowPaintingWindow();
    return true;
  }
  return false;
}
