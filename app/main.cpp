// The painter: everything is the shell's, then the GLUT main loop until Esc.
//   kelvra [GLUT's X options] [--paint-under-pointer] [PAINTING.kelvra | --recover]
//   kelvra --import-brush FILE
// A painting named on the command line (relative to the folder the person
// started in) is opened once the windows are up; --recover opens the
// newest painting a run left unsaved. The canvas starts empty otherwise.
// The person's preferences are read before it opens, so that a painting
// brings its own pen response; --paint-under-pointer paints under the
// pointer for this run, whatever the preferences say. Importing a brush
// copies a file and opens no window.

#include <GL/freeglut.h>

#include <cstdio>
#include <string>

#include "actions/brushes.h"
#include "actions/main_view_notice.h"
#include "actions/painting_files.h"
#include "actions/preferences.h"
#include "app/shell.h"
#include "common/version.h"
#include "platform/files.h"

namespace {

constexpr const char* kUsage =
    "Usage: kelvra [--paint-under-pointer] [PAINTING.kelvra | --recover]\n"
    "       kelvra --import-brush FILE\n"
    "  PAINTING.kelvra        open this painting (after --, a name may start with -)\n"
    "  --recover              open the newest painting a run left unsaved\n"
    "  --paint-under-pointer  paint where the pointer points, through the camera,\n"
    "                         for this run (the p key switches it and keeps it)\n"
    "  --import-brush FILE    copy the brush in FILE (a .kelvra-brush file) into your\n"
    "                         brushes, ~/.local/share/kelvra/brushes/; a brush of the\n"
    "                         same name there is never replaced: delete it in the\n"
    "                         Brushes window (b) first\n"
    "  --help, --version\n"
    "GLUT's X options (-display, -geometry, ...) are taken too.\n";

}  // namespace

int main(int argc, char** argv) {
  // Asked only what it is, the painter opens no window.
  for (int i = 1; i < argc && std::string(argv[i]) != "--"; ++i) {
    const std::string word = argv[i];
    if (word == "--help" || word == "-h") {
      std::printf("%s", kUsage);
      return 0;
    }
    if (word == "--version") {
      std::printf("kelvra %s\n", KELVRA_VERSION);
      return 0;
    }
    if (word == "--import-brush") {
      if (i + 2 != argc) {
        std::fprintf(stderr, "kelvra: --import-brush takes one FILE and nothing else\n\n%s",
                     kUsage);
        return 2;
      }
      return ImportBrush(FromStartFolder(argv[i + 1])) ? 0 : 1;
    }
  }
  glutInit(&argc, argv);  // takes GLUT's own options out of argv
  std::string painting;
  bool recover = false, underPointer = false, options = true;
  for (int i = 1; i < argc; ++i) {
    const std::string word = argv[i];
    if (options && word == "--") {
      options = false;
    } else if (options && word == "--recover") {
      recover = true;
    } else if (options && word == "--paint-under-pointer") {
      underPointer = true;
    } else if (!word.empty() && (word[0] != '-' || !options) && painting.empty()) {
      painting = word;
    } else {
      std::fprintf(stderr, "kelvra: %s is not an option of kelvra\n\n%s", word.c_str(), kUsage);
      return 2;
    }
  }
  OpenPainterWindows();
  StartPreferences(underPointer);
  StartAutosave();
  // What went wrong, or needs care, shows over the main view too: a
  // painting opened from the file manager has no console to read.
  FileOutcome opened{true, ""};
  if (recover)
    opened = OpenRecoveredPainting();
  else if (!painting.empty())
    opened = OpenPaintingFile(FromStartFolder(painting));
  if (!opened.told.empty()) ShowMainViewNotice(opened.told);
  glutMainLoop();
  return 0;
}
