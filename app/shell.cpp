#include "app/shell.h"

#include <GL/freeglut.h>

#include <cstdio>

#include "actions/actions.h"
#include "actions/main_view_notice.h"
#include "actions/painting_files.h"
#include "app/film.h"
#include "app/input.h"
#include "app/painting_keys.h"
#include "app/pen_input.h"
#include "app/redisplay.h"
#include "app/view.h"
#include "camera/camera.h"
#include "camera/environment.h"
#include "common/progress.h"
#include "glui/glui.h"
#include "image/filters.h"
#include "image/gradients.h"
#include "image/textures.h"
#include "panels/panels.h"
#include "render/gl_features.h"
#include "state/redraw.h"
#include "state/state.h"

namespace {

constexpr const char* kMainWindowTitle = "Kelvra! by Dorvask";
constexpr float kSpinStep = 0.05f;

// Menu values. The primitive entries store polygon modes (0 = points).
enum PrimitiveMenuValue { kPointsEntry = 97, kLineStripEntry = 98, kTriangleStripEntry = 99 };
enum MainMenuValue {
  kSeparatorEntry = 0,
  kCameraPanelEntry = 97,
  kStrokePanelEntry = 98,
  kFilterPanelEntry = 99,
  kSizePanelEntry = 100,
};

// Reloads the maps and the source picture in the main view's context after a
// panel changed them in its own.
void SynchroniseTextures() {
  std::printf("\tSynchronising Windows System:");
  std::fflush(stdout);
  ApplicationState& state = AppState();
  LoadAllMaps(state.maps);
  state.pictures.source.LoadFrom(state.maps[MAP_SOURCE]);
  UploadImageTexture(state.pictures.filtered, TEX_FILTERED);
  glutSetWindow(state.windows.main.id);
  LoadAllMaps(state.maps);
  TexturesReloaded(Picture::kMain);
  state.interaction.syncRequested = 0;
  PrintLine(" Done!");
}

}  // namespace

void OnPrimitiveMenu(int value) {
  switch (value) {
    case kPointsEntry:
      glPointSize(5.0f);
      ChoosePrimitiveMode(0);
      break;
    case kLineStripEntry:
      ChoosePrimitiveMode(GL_LINE);
      break;
    case kTriangleStripEntry:
      ChoosePrimitiveMode(GL_FILL);
      break;
    default:
      break;
  }
}

// The labels follow the user's words ("Canvas", "Shader"), not the titles of
// the windows they open. The current window is left as it is: the next idle
// step makes the main view current again.
void OnMainMenu(int value) {
  switch (value) {
    case kCameraPanelEntry:
      ShowCameraPanel();
      break;
    case kStrokePanelEntry:
      ShowStrokePanel();
      break;
    case kFilterPanelEntry:
      ShowFilterPanel();
      break;
    case kSizePanelEntry:
      ShowSizePanel();
      break;
    default:
      break;
  }
}

// What the step changes is drawn on GLUT's next round (app/redisplay.h).
// Its spin of the camera is no action, step by step: once the view rests,
// one settings action tells what the spin left (NoteIdleStep).
void OnIdle() {
  WaitForIdleSlot();
  ApplicationState& state = AppState();
  if (glutGetWindow() != state.windows.main.id) glutSetWindow(state.windows.main.id);
  state.camera.Update(kSpinStep);
  if (NoteIdleStep()) SettingChanged();
  if (state.interaction.syncRequested) SynchroniseTextures();
  glLightfv(GL_LIGHT0, GL_POSITION, state.light.position);
  GLUI_Master.sync_live_all();
  ThePen().KeepUp();
  AutosaveStep();
  FilmByKeyStep();
  ExpireMainViewNotice();
}

void InitScene() {
  glClearColor(0.8f, 0.8f, 0.8f, 1.0f);
  ReportGLEnvironment();
  InitRenderState();
  InitMaterial();
  ApplicationState& state = AppState();
  InitLight(state.light);
  LoadAllMaps(state.maps);
  Pictures& pictures = state.pictures;
  pictures.source.LoadFrom(state.maps[MAP_SOURCE]);
  if (SaveGradientMaps(pictures.source, pictures.filtered))
    UploadImageTexture(pictures.filtered, TEX_FILTERED);
  state.camera.Init(state.light);
}

void CreateMenusAndPanels() {
  const int primitiveMenu = glutCreateMenu(OnPrimitiveMenu);
  glutAddMenuEntry("GL_POINTS", kPointsEntry);
  glutAddMenuEntry("GL_LINE_STRIP", kLineStripEntry);
  glutAddMenuEntry("GL_TRIANGLE_STRIP", kTriangleStripEntry);

  glutCreateMenu(OnMainMenu);
  glutAddSubMenu("Primitives:", primitiveMenu);
  glutAddMenuEntry("", kSeparatorEntry);
  glutAddMenuEntry("Canvas Control Panel", kCameraPanelEntry);
  glutAddMenuEntry("", kSeparatorEntry);
  glutAddMenuEntry("Stroke Control Panel", kStrokePanelEntry);
  glutAddMenuEntry("Shader Control Panel", kSizePanelEntry);
  glutAddMenuEntry("", kSeparatorEntry);
  glutAddMenuEntry("Filter Control Panel", kFilterPanelEntry);
  glutAttachMenu(GLUT_RIGHT_BUTTON);

  PrintLine("\tCreating Filter Window....");
  CreateFilterPanel();
  PrintLine("\tCreating Stroke Window....");
  CreateStrokePanel();
  PrintLine("\tCreating Camera Window....");
  CreateCameraPanel();
  PrintLine("\tCreating Size Window....");
  CreateSizePanel();
}

void StartPainter(int* argc, char** argv) {
  glutInit(argc, argv);
  OpenPainterWindows();
}

void OpenPainterWindows() {
  glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
  WindowPlace& main = AppState().windows.main;
  glutInitWindowSize(main.width, main.height);
  glutInitWindowPosition(main.x, main.y);
  main.id = glutCreateWindow(kMainWindowTitle);

  GLUI_Master.set_glutKeyboardFunc(OnKeyboard);
  GLUI_Master.set_glutMouseFunc(OnMouse);
  GLUI_Master.set_glutSpecialFunc(OnSpecialKey);
  GLUI_Master.set_glutReshapeFunc(OnReshape);
  GLUI_Master.set_glutIdleFunc(OnIdle);
  glutPassiveMotionFunc(OnPassiveMotion);
  glutMotionFunc(OnMotion);
  glutDisplayFunc(OnDisplay);

  InitScene();
  ThePen().Open();  // the main window's context is current
  CreateMenusAndPanels();
  StartPaintingHistory();
  StartRedrawChecks();
}
