#include "app/state.h"

namespace {

// The start value of every variable below, written once: the definitions
// and the reset for tests both read them.
namespace start {
constexpr int kMainWidth = 675, kMainHeight = 675;
constexpr int kCameraPanelWidth = 330, kCameraPanelHeight = 300;
constexpr int kStrokePanelWidth = 330, kStrokePanelHeight = 350;
constexpr int kFilterPanelWidth = 200, kFilterPanelHeight = 200;
constexpr int kSizePanelWidth = 350, kSizePanelHeight = 335;
constexpr unsigned int kPrimitiveMode = kPolygonModeFill;
constexpr int kLightOn = 1, kPaperOn = 0, kAxesOn = 0, kCursorOn = 1;
constexpr float kIdentity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
constexpr int kShowNodes = 0, kCollideAfterStroke = 0;
constexpr float kMarkerX = 0.086f, kMarkerY = 2.189f;
}  // namespace start

}  // namespace

int MainWindow = 0;
int CameraPanelWindow = 0;
int StrokePanelWindow = 0;
int FilterPanelWindow = 0;
int SizePanelWindow = 0;

int MainWindowWidth = start::kMainWidth, MainWindowHeight = start::kMainHeight;
int MainWindowX = 0, MainWindowY = 0;
int CameraPanelWidth = start::kCameraPanelWidth, CameraPanelHeight = start::kCameraPanelHeight;
int CameraPanelX = 690, CameraPanelY = 0;
int StrokePanelWidth = start::kStrokePanelWidth, StrokePanelHeight = start::kStrokePanelHeight;
int StrokePanelX = 690, StrokePanelY = 350;
int FilterPanelWidth = start::kFilterPanelWidth, FilterPanelHeight = start::kFilterPanelHeight;
int FilterPanelX = 225, FilterPanelY = 225;
int SizePanelWidth = start::kSizePanelWidth, SizePanelHeight = start::kSizePanelHeight;
int SizePanelX = 225, SizePanelY = 225;

int StrokePanelViewX = 0, StrokePanelViewY = 0, StrokePanelViewWidth = 1, StrokePanelViewHeight = 1;

int Painting = 0;
int SelectedStroke = 0;
Vec4 CursorPosition;
int SyncRequested = 0;
unsigned int PrimitiveMode = start::kPrimitiveMode;

int LightOn = start::kLightOn;
int PaperOn = start::kPaperOn;
int AxesOn = start::kAxesOn;
int CursorOn = start::kCursorOn;

float LightRotation[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};  // start::kIdentity
float LightPosition[4] = {0, 0, 0, 0};

double ModelViewMatrix[16] = {};
double ProjectionMatrix[16] = {};

MultiTexCoord2fProc MultiTexCoord2fARB = nullptr;
ActiveTextureProc ActiveTextureARB = nullptr;
ActiveTextureProc ClientActiveTextureARB = nullptr;

Canvas TheCanvas;
StrokeSettings TheStrokeSettings;
CollisionFactors TheCollisionFactors;
RandomGenerator TheRandom;

int ShowNodes = start::kShowNodes;
int CollideAfterStroke = start::kCollideAfterStroke;

float ColourMarkerX = start::kMarkerX, ColourMarkerY = start::kMarkerY;

void ResetApplicationStateForTesting() {
  MainWindow = CameraPanelWindow = StrokePanelWindow = FilterPanelWindow = SizePanelWindow = 0;
  MainWindowWidth = start::kMainWidth;
  MainWindowHeight = start::kMainHeight;
  CameraPanelWidth = start::kCameraPanelWidth;
  CameraPanelHeight = start::kCameraPanelHeight;
  StrokePanelWidth = start::kStrokePanelWidth;
  StrokePanelHeight = start::kStrokePanelHeight;
  FilterPanelWidth = start::kFilterPanelWidth;
  FilterPanelHeight = start::kFilterPanelHeight;
  SizePanelWidth = start::kSizePanelWidth;
  SizePanelHeight = start::kSizePanelHeight;
  Painting = 0;
  SelectedStroke = 0;
  CursorPosition = Vec4();
  SyncRequested = 0;
  PrimitiveMode = start::kPrimitiveMode;
  LightOn = start::kLightOn;
  PaperOn = start::kPaperOn;
  AxesOn = start::kAxesOn;
  CursorOn = start::kCursorOn;
  for (int i = 0; i < 16; ++i) LightRotation[i] = start::kIdentity[i];
  for (float& v : LightPosition) v = 0.0f;
  TheStrokeSettings = StrokeSettings();
  TheCollisionFactors = CollisionFactors();
  TheRandom = RandomGenerator();
  ShowNodes = start::kShowNodes;
  CollideAfterStroke = start::kCollideAfterStroke;
  ColourMarkerX = start::kMarkerX;
  ColourMarkerY = start::kMarkerY;
}
