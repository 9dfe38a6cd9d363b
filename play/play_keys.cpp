#include "play/play_keys.h"

#include "play/glut_tap.h"
#include "state/state.h"

namespace {

PlayKeys* Keys = nullptr;

constexpr unsigned char kCtrlY = 25, kCtrlZ = 26;

void Note(EventKind kind, const std::string& file = std::string()) {
  if (!Keys->recorder) return;
  Event event;
  event.kind = kind;
  event.text = file;
  Keys->recorder->Write(AppState().windows.main.id, event);
}

bool TakeKey(int window, unsigned char key, int modifiers) {
  if (!Keys || window != AppState().windows.main.id) return false;
  const bool shift = (modifiers & kShiftKey) != 0;
  if (key == kCtrlZ && !shift) {
    Note(EventKind::kUndo);
    Keys->history->Undo();
    return true;
  }
  if (key == kCtrlY || (key == kCtrlZ && shift)) {
    Note(EventKind::kRedo);
    Keys->history->Redo();
    return true;
  }
  if ((key == 'x' || key == 'X') && Keys->exportPainting) {
    const std::string file = Keys->exportPainting();
    if (!file.empty()) Note(EventKind::kExport, file);
    return true;
  }
  return false;
}

}  // namespace

void InstallPlayKeys(PlayKeys* keys) {
  Keys = keys;
  tap::SetKeyFilter(TakeKey);
}
