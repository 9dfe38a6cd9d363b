#include "app/state.h"

int MainWindow = 0;
int CameraPanelWindow = 0;
int StrokePanelWindow = 0;
int FilterPanelWindow = 0;
int SizePanelWindow = 0;

int MainWindowWidth = 675, MainWindowHeight = 675, MainWindowX = 0, MainWindowY = 0;
int CameraPanelWidth = 330, CameraPanelHeight = 300, CameraPanelX = 690, CameraPanelY = 0;
int StrokePanelWidth = 330, StrokePanelHeight = 350, StrokePanelX = 690, StrokePanelY = 350;
int FilterPanelWidth = 200, FilterPanelHeight = 200, FilterPanelX = 225, FilterPanelY = 225;
int SizePanelWidth = 350, SizePanelHeight = 335, SizePanelX = 225, SizePanelY = 225;

int StrokePanelViewX = 0, StrokePanelViewY = 0, StrokePanelViewWidth = 1, StrokePanelViewHeight = 1;

int Painting = 0;
int SelectedStroke = 0;
Vec4 CursorPosition;
int SyncRequested = 0;
unsigned int PrimitiveMode = kPolygonModeFill;

int LightOn = 1;
int PaperOn = 0;
int AxesOn = 0;
int CursorOn = 1;

float LightRotation[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
float LightPosition[4] = {0, 0, 0, 0};

double ModelViewMatrix[16] = {};
double ProjectionMatrix[16] = {};

MultiTexCoord2fProc MultiTexCoord2fARB = nullptr;
ActiveTextureProc ActiveTextureARB = nullptr;
ActiveTextureProc ClientActiveTextureARB = nullptr;

int PathLod = 5;
int ShapeLod = 5;
int SubdivisionLevels = 0;
int EndNode = 5;
int ShowNodes = 0;
int ShowParticles = 0;
int ShowMesh = 1;
int CollideAfterStroke = 0;
int RandomSize = 0;

float ColourMarkerX = 0.086f, ColourMarkerY = 2.189f;

float WidthStart = 0.04f, WidthEnd = 0.0f, HeightStart = 0.025f, HeightEnd = 0.0f;
float CollisionWidthStart = 1.021f, CollisionWidthEnd = 1.021f;
float CollisionHeightStart = 1.021f, CollisionHeightEnd = 1.021f;
Vec4 StartColour, EndColour;

void ResetApplicationStateForTesting() {
  MainWindow = CameraPanelWindow = StrokePanelWindow = FilterPanelWindow = SizePanelWindow = 0;
  MainWindowWidth = MainWindowHeight = 675;
  CameraPanelWidth = 330;
  CameraPanelHeight = 300;
  StrokePanelWidth = 330;
  StrokePanelHeight = 350;
  FilterPanelWidth = FilterPanelHeight = 200;
  SizePanelWidth = 350;
  SizePanelHeight = 335;
  Painting = 0;
  SelectedStroke = 0;
  CursorPosition = Vec4();
  SyncRequested = 0;
  PrimitiveMode = kPolygonModeFill;
  LightOn = 1;
  PaperOn = 0;
  AxesOn = 0;
  CursorOn = 1;
  for (int i = 0; i < 16; ++i) LightRotation[i] = (i % 5 == 0) ? 1.0f : 0.0f;
  for (float& v : LightPosition) v = 0.0f;
  PathLod = 5;
  ShapeLod = 5;
  SubdivisionLevels = 0;
  EndNode = 5;
  ShowNodes = 0;
  ShowParticles = 0;
  ShowMesh = 1;
  CollideAfterStroke = 0;
  RandomSize = 0;
  ColourMarkerX = 0.086f;
  ColourMarkerY = 2.189f;
  WidthStart = 0.04f;
  WidthEnd = 0.0f;
  HeightStart = 0.025f;
  HeightEnd = 0.0f;
  CollisionWidthStart = CollisionWidthEnd = 1.021f;
  CollisionHeightStart = CollisionHeightEnd = 1.021f;
  StartColour = Vec4();
  EndColour = Vec4();
}
