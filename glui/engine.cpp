// The ImGui side of a GLUI subwindow: its context, the input queue fed by
// the GLUT handlers, and one frame per display with the GL state saved
// around it (the fixed-function pipeline is shared with the program).
#include "glui/engine.h"

#include <GL/freeglut.h>
#include <GL/gl.h>
#include <imgui.h>
#include <imgui_internal.h>
#include <backends/imgui_impl_opengl2.h>

#include <algorithm>
#include <cfloat>
#include <chrono>
#include <cstdio>
#include <memory>

#include "glui/typed_text.h"

namespace glui_internal {

namespace {

constexpr int kSpecialKeyBase = 256;
// Without a wheel callback freeglut reports each notch of the wheel as a
// press (and release) of these buttons.
constexpr int kWheelUpButton = 3;
constexpr int kWheelDownButton = 4;
constexpr int kMaxTextureUnits = 8;

void ApplyGluiLook(ImGuiStyle& style) {
  style.WindowPadding = ImVec2(0, 0);
  style.WindowBorderSize = 0;
  style.WindowRounding = 0;
  style.FramePadding = ImVec2(4, 3);
  style.ItemSpacing = ImVec2(4, 3);
  style.ItemInnerSpacing = ImVec2(4, 3);
  style.FrameBorderSize = 1;
  style.FrameRounding = 0;
  ImVec4* c = style.Colors;
  const ImVec4 text(0.0f, 0.0f, 0.0f, 1.0f);
  const ImVec4 grey(200 / 255.f, 200 / 255.f, 200 / 255.f, 1.0f);
  const ImVec4 face(212 / 255.f, 208 / 255.f, 200 / 255.f, 1.0f);
  c[ImGuiCol_Text] = text;
  c[ImGuiCol_TextDisabled] = ImVec4(0.4f, 0.4f, 0.4f, 1.0f);
  c[ImGuiCol_WindowBg] = grey;
  c[ImGuiCol_ChildBg] = grey;
  c[ImGuiCol_Border] = ImVec4(0.35f, 0.35f, 0.35f, 1.0f);
  c[ImGuiCol_BorderShadow] = ImVec4(1, 1, 1, 0.6f);
  c[ImGuiCol_FrameBg] = ImVec4(1, 1, 1, 1);
  c[ImGuiCol_FrameBgHovered] = ImVec4(1, 1, 1, 1);
  c[ImGuiCol_FrameBgActive] = ImVec4(1, 1, 0.92f, 1);
  c[ImGuiCol_Button] = face;
  c[ImGuiCol_ButtonHovered] = ImVec4(0.88f, 0.87f, 0.84f, 1.0f);
  c[ImGuiCol_ButtonActive] = ImVec4(0.62f, 0.62f, 0.62f, 1.0f);
  c[ImGuiCol_CheckMark] = text;
  c[ImGuiCol_TextSelectedBg] = ImVec4(0.45f, 0.6f, 0.9f, 0.6f);
  c[ImGuiCol_NavHighlight] = ImVec4(0.2f, 0.2f, 0.2f, 0.6f);
}

void MapKeys(ImGuiIO& io) {
  io.KeyMap[ImGuiKey_Tab] = '\t';
  io.KeyMap[ImGuiKey_LeftArrow] = kSpecialKeyBase + GLUT_KEY_LEFT;
  io.KeyMap[ImGuiKey_RightArrow] = kSpecialKeyBase + GLUT_KEY_RIGHT;
  io.KeyMap[ImGuiKey_UpArrow] = kSpecialKeyBase + GLUT_KEY_UP;
  io.KeyMap[ImGuiKey_DownArrow] = kSpecialKeyBase + GLUT_KEY_DOWN;
  io.KeyMap[ImGuiKey_Home] = kSpecialKeyBase + GLUT_KEY_HOME;
  io.KeyMap[ImGuiKey_End] = kSpecialKeyBase + GLUT_KEY_END;
  io.KeyMap[ImGuiKey_Delete] = 127;
  io.KeyMap[ImGuiKey_Backspace] = 8;
  io.KeyMap[ImGuiKey_Enter] = 13;
  io.KeyMap[ImGuiKey_KeyPadEnter] = 13;
  io.KeyMap[ImGuiKey_Escape] = 27;
  io.KeyMap[ImGuiKey_A] = 'A';
  io.KeyMap[ImGuiKey_C] = 'C';
  io.KeyMap[ImGuiKey_V] = 'V';
  io.KeyMap[ImGuiKey_X] = 'X';
  io.KeyMap[ImGuiKey_Y] = 'Y';
  io.KeyMap[ImGuiKey_Z] = 'Z';
}

// Latin, Greek and Cyrillic letters, the punctuation and currency signs
// around them, and the replacement character, which ImGui then draws for
// any letter the font lacks.
const ImWchar kTextFontRanges[] = {0x0020, 0x024F, 0x0370, 0x03FF, 0x0400, 0x052F, 0x1E00, 0x1EFF,
                                   0x2000, 0x206F, 0x20A0, 0x20CF, 0xFFFD, 0xFFFD, 0};
constexpr float kTextFontSize = 13.0f;

// Adds the text font to the current context's atlas after its default
// font (which stays the default), and uploads the atlas again. Without
// the font file names show in the default font.
void LoadTextFont() {
  ImFontAtlas* atlas = ImGui::GetIO().Fonts;
  if (atlas->Fonts.Size > 1) return;
  if (atlas->Fonts.empty()) atlas->AddFontDefault();
  if (std::FILE* file = std::fopen(kTextFontFile, "rb")) {
    std::fclose(file);
    atlas->AddFontFromFileTTF(kTextFontFile, kTextFontSize, nullptr, kTextFontRanges);
  }
  atlas->Build();
  ImGui_ImplOpenGL2_DestroyFontsTexture();
  ImGui_ImplOpenGL2_CreateFontsTexture();
}

void ApplyModifiers(ImGuiIO& io, int modifiers) {
  io.KeyShift = (modifiers & GLUT_ACTIVE_SHIFT) != 0;
  io.KeyCtrl = (modifiers & GLUT_ACTIVE_CTRL) != 0;
  io.KeyAlt = (modifiers & GLUT_ACTIVE_ALT) != 0;
}

// Feeds queued events until one button or key transition has gone in:
// ImGui 1.86 reads input as state, so a press and release in the same frame
// would be lost. Every key is down for exactly one frame; a key pressed again
// right after (a fast typist's second Backspace, auto-repeat) waits one frame
// with every key up, or ImGui would read the two presses as one held key.
void ApplyQueuedInput(GluiEngine& engine, ImGuiIO& io) {
  std::fill(std::begin(io.KeysDown), std::end(io.KeysDown), false);
  const int released = engine.key_down;
  engine.key_down = -1;
  while (!engine.queue.empty()) {
    const GluiInputEvent e = engine.queue.front();
    if (e.kind == GluiInputEvent::kKey && e.key == released) break;
    const bool transition = e.kind == GluiInputEvent::kButton || e.kind == GluiInputEvent::kWheel ||
                            e.kind == GluiInputEvent::kKey;
    engine.queue.pop_front();
    switch (e.kind) {
      case GluiInputEvent::kMove:
        io.MousePos = ImVec2(static_cast<float>(e.x), static_cast<float>(e.y));
        break;
      case GluiInputEvent::kLeave:
        io.MousePos = ImVec2(-FLT_MAX, -FLT_MAX);
        break;
      case GluiInputEvent::kButton:
        ApplyModifiers(io, e.modifiers);
        io.MousePos = ImVec2(static_cast<float>(e.x), static_cast<float>(e.y));
        io.MouseDown[0] = e.down;
        break;
      case GluiInputEvent::kWheel:
        io.MousePos = ImVec2(static_cast<float>(e.x), static_cast<float>(e.y));
        io.MouseWheel = static_cast<float>(e.wheel);
        break;
      case GluiInputEvent::kKey:
        ApplyModifiers(io, e.modifiers);
        if (e.key >= 0 && e.key < static_cast<int>(IM_ARRAYSIZE(io.KeysDown))) {
          io.KeysDown[e.key] = true;
          engine.key_down = e.key;
        }
        if (e.character) io.AddInputCharacter(static_cast<unsigned>(e.character));
        break;
    }
    if (transition) break;
  }
}

// Everything of the program's fixed-function state the UI could disturb is
// saved before and restored after the UI is drawn.
int SaveGlState() {
  glPushAttrib(GL_ALL_ATTRIB_BITS);
  glPushClientAttrib(GL_CLIENT_ALL_ATTRIB_BITS);
  GLint units = 1;
  glGetIntegerv(GL_MAX_TEXTURE_UNITS, &units);
  units = std::clamp(units, 1, kMaxTextureUnits);
  for (int unit = units - 1; unit >= 0; --unit) {
    glActiveTexture(GL_TEXTURE0 + unit);
    glMatrixMode(GL_TEXTURE);
    glPushMatrix();
    glLoadIdentity();
    glDisable(GL_TEXTURE_1D);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_TEXTURE_GEN_S);
    glDisable(GL_TEXTURE_GEN_T);
  }
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glDisable(GL_LIGHTING);
  glDisable(GL_FOG);
  glDisable(GL_ALPHA_TEST);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_CULL_FACE);
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  return units;
}

void RestoreGlState(int units) {
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPopMatrix();
  for (int unit = units - 1; unit >= 0; --unit) {
    glActiveTexture(GL_TEXTURE0 + unit);
    glMatrixMode(GL_TEXTURE);
    glPopMatrix();
  }
  glMatrixMode(GL_MODELVIEW);
  glPopClientAttrib();
  glPopAttrib();
}

}  // namespace

GLUI* Layer::CurrentGui() { return GLUI_Master.FindByWindow(glutGetWindow()); }

void Layer::OnDisplay() {
  if (GLUI* gui = CurrentGui()) DrawFrame(*gui);
}

void Layer::OnReshape(int, int) {
  if (GLUI* gui = CurrentGui()) gui->RequestFrame();
}

void Layer::OnMouse(int button, int state, int x, int y) {
  if (GLUI* gui = CurrentGui()) QueueMouse(*gui, button, state, x, y, glutGetModifiers());
}

void Layer::OnMotion(int x, int y) {
  if (GLUI* gui = CurrentGui()) QueueMotion(*gui, x, y);
}

void Layer::OnKeyboard(unsigned char key, int, int) {
  QueueTypedLetters(true);
  if (GLUI* gui = CurrentGui()) QueueKey(*gui, key, false, glutGetModifiers());
}

void Layer::OnSpecial(int key, int, int) {
  QueueTypedLetters(true);
  if (GLUI* gui = CurrentGui()) QueueKey(*gui, key, true, glutGetModifiers());
}

void Layer::QueueTypedLetters(bool glutKey) {
  TypedText::Read(glutKey, [](int window, unsigned letter) {
    GLUI* gui = GLUI_Master.FindByWindow(window);
    if (!gui) return;
    GluiInputEvent e;
    e.kind = GluiInputEvent::kKey;
    e.key = 0;  // no key ImGui knows: only the letter goes in
    e.character = static_cast<int>(letter);
    Queue(*gui, e);
  });
}

void Layer::OnEntry(int state) {
  if (state == GLUT_LEFT)
    if (GLUI* gui = CurrentGui()) QueueLeave(*gui);
}

void Layer::Queue(GLUI& gui, const GluiInputEvent& e) {
  if (!gui.engine) return;
  gui.engine->queue.push_back(e);
  gui.engine->wants_frames = true;
  gui.RequestFrame();
  GLUI_Master.EnsureIdleInstalled();
}

double Now() {
  using Clock = std::chrono::steady_clock;
  static const Clock::time_point start = Clock::now();
  return std::chrono::duration<double>(Clock::now() - start).count();
}

void Layer::InstallSubwindowCallbacks() {
  glutDisplayFunc(OnDisplay);
  glutReshapeFunc(OnReshape);
  glutMouseFunc(OnMouse);
  glutMotionFunc(OnMotion);
  glutPassiveMotionFunc(OnMotion);
  glutKeyboardFunc(OnKeyboard);
  glutSpecialFunc(OnSpecial);
  glutEntryFunc(OnEntry);
}

void Layer::QueueMouse(GLUI& gui, int button, int state, int x, int y, int modifiers) {
  // The wheel scrolls lists; it moves no focus. Only the left button works
  // controls; the others are consumed.
  if (button == kWheelUpButton || button == kWheelDownButton) {
    if (state != GLUT_DOWN) return;
    GluiInputEvent e;
    e.kind = GluiInputEvent::kWheel;
    e.x = x;
    e.y = y;
    e.wheel = button == kWheelUpButton ? 1 : -1;
    Queue(gui, e);
    return;
  }
  if (button != GLUT_LEFT_BUTTON) return;
  if (state == GLUT_DOWN) {
    // A press here takes focus from the other subwindows' controls and stops
    // every spin: GLUI's focus moves to whatever is clicked.
    GLUI_Master.DropFocus(&gui);
  }
  GluiInputEvent e;
  e.kind = GluiInputEvent::kButton;
  e.x = x;
  e.y = y;
  e.down = state == GLUT_DOWN;
  e.modifiers = modifiers;
  Queue(gui, e);
}

void Layer::QueueMotion(GLUI& gui, int x, int y) {
  GluiInputEvent e;
  e.kind = GluiInputEvent::kMove;
  e.x = x;
  e.y = y;
  Queue(gui, e);
}

void Layer::QueueKey(GLUI& gui, int key, bool special, int modifiers) {
  GluiInputEvent e;
  e.kind = GluiInputEvent::kKey;
  e.modifiers = modifiers;
  if (special) {
    e.key = kSpecialKeyBase + key;
  } else if ((modifiers & GLUT_ACTIVE_CTRL) && key >= 1 && key <= 26) {
    e.key = 'A' + key - 1;  // GLUT delivers Ctrl+letter as a control code
  } else {
    e.key = key;
    // GLUT gives the keyboard's Latin-1 characters as bytes 160 to 255
    // (and 32 to 126); ImGui takes them as the code points they are.
    if ((key >= 32 && key < 127) || key >= 160) e.character = key;
  }
  Queue(gui, e);
}

void Layer::QueueLeave(GLUI& gui) {
  GluiInputEvent e;
  e.kind = GluiInputEvent::kLeave;
  Queue(gui, e);
}

void Layer::DrawFrame(GLUI& gui) {
  if (!gui.engine) return;
  GluiEngine& engine = *gui.engine;
  ImGui::SetCurrentContext(engine.context);
  ImGuiIO& io = ImGui::GetIO();
  // The laid-out size counts too: a resize asked of GLUT takes effect only
  // when its event loop next runs.
  const int width = std::max({1, glutGet(GLUT_WINDOW_WIDTH), gui.root.w});
  const int height = std::max({1, glutGet(GLUT_WINDOW_HEIGHT), gui.root.h});
  io.DisplaySize = ImVec2(static_cast<float>(width), static_cast<float>(height));
  // Each context keeps its own clock: GLUT's backend shares one between all.
  const double now = Now();
  io.DeltaTime = engine.last_time > 0
                     ? static_cast<float>(std::max(now - engine.last_time, 1e-4))
                     : 1.0f / 60.0f;
  engine.last_time = now;
  ApplyQueuedInput(engine, io);
  if (engine.wants_text_font) {
    LoadTextFont();
    engine.wants_text_font = false;
  }

  ImGui_ImplOpenGL2_NewFrame();
  ImGui::NewFrame();
  if (engine.drop_focus) {
    ImGui::SetWindowFocus(nullptr);  // ends any text edit of this context
    engine.drop_focus = false;
  }
  ImGui::SetNextWindowPos(ImVec2(0, 0));
  ImGui::SetNextWindowSize(io.DisplaySize);
  ImGui::Begin("##glui", nullptr,
               ImGuiWindowFlags_NoDecoration | ImGuiWindowFlags_NoMove |
                   ImGuiWindowFlags_NoSavedSettings |
                   ImGuiWindowFlags_NoScrollWithMouse |
                   ImGuiWindowFlags_NoBringToFrontOnFocus);
  GluiFrame frame;
  frame.time = now;
  gui.root.Draw(frame);
  ImGui::End();
  ImGui::Render();
  // The frame in which an item lets go (Esc restoring a text box's old
  // value, say) still draws it as it was while active: one more frame shows
  // what it holds now.
  const bool active = ImGui::IsAnyItemActive();
  engine.wants_frames = active || engine.was_active || !engine.queue.empty();
  engine.was_active = active;

  const int units = SaveGlState();
  glViewport(0, 0, width, height);
  const ImVec4 bg = ImGui::GetStyle().Colors[ImGuiCol_WindowBg];
  glClearColor(bg.x, bg.y, bg.z, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  ImGui_ImplOpenGL2_RenderDrawData(ImGui::GetDrawData());
  RestoreGlState(units);
  glutSwapBuffers();
  if (engine.wants_frames) gui.RequestFrame();
}

ImFont* TextFont() {
  ImFontAtlas* atlas = ImGui::GetIO().Fonts;
  return atlas->Fonts.Size > 1 ? atlas->Fonts[1] : ImGui::GetFont();
}

namespace {

// The text font of a subwindow's context, or its default font.
const ImFont* TextFontOf(const GLUI& gui) {
  const ImFontAtlas* atlas = Layer::Engine(gui).context->IO.Fonts;
  return atlas->Fonts.Size > 1 ? atlas->Fonts[1] : atlas->Fonts[0];
}

}  // namespace

int Layer::FontCount(const GLUI& gui) { return Engine(gui).context->IO.Fonts->Fonts.Size; }

bool Layer::TextFontHas(const GLUI& gui, unsigned letter) {
  return TextFontOf(gui)->FindGlyphNoFallback(static_cast<ImWchar>(letter)) != nullptr;
}

unsigned Layer::TextFontFallback(const GLUI& gui) { return TextFontOf(gui)->FallbackChar; }

void Layer::DrawNotice(GluiEngine& engine, const std::string& text) {
  constexpr float kMargin = 8, kPadding = 6;
  ImGuiContext* previous = ImGui::GetCurrentContext();
  ImGui::SetCurrentContext(engine.context);
  ImGuiIO& io = ImGui::GetIO();
  const int width = std::max(1, glutGet(GLUT_WINDOW_WIDTH));
  const int height = std::max(1, glutGet(GLUT_WINDOW_HEIGHT));
  io.DisplaySize = ImVec2(static_cast<float>(width), static_cast<float>(height));
  io.DeltaTime = 1.0f / 60.0f;
  if (engine.wants_text_font) {
    LoadTextFont();
    engine.wants_text_font = false;
  }
  ImGui_ImplOpenGL2_NewFrame();
  ImGui::NewFrame();
  ImFont* font = TextFont();
  const float wrap = std::max(1.0f, width - 2 * (kMargin + kPadding));
  const ImVec2 size = font->CalcTextSizeA(kTextFontSize, FLT_MAX, wrap, text.c_str());
  const ImVec2 box0(kMargin, height - kMargin - size.y - 2 * kPadding);
  const ImVec2 box1(width - kMargin, height - kMargin);
  ImDrawList* list = ImGui::GetForegroundDrawList();
  list->AddRectFilled(box0, box1, IM_COL32(40, 40, 40, 225));
  list->AddText(font, kTextFontSize, ImVec2(box0.x + kPadding, box0.y + kPadding),
                IM_COL32(255, 255, 255, 255), text.c_str(), nullptr, wrap);
  ImGui::Render();
  const int units = SaveGlState();
  glViewport(0, 0, width, height);
  ImGui_ImplOpenGL2_RenderDrawData(ImGui::GetDrawData());
  RestoreGlState(units);
  ImGui::SetCurrentContext(previous);
}

}  // namespace glui_internal

void GLUI_Master_Object::draw_notice(const std::string& text) {
  const int window = glutGetWindow();
  auto found = std::find_if(notice_engines.begin(), notice_engines.end(),
                            [window](const auto& entry) { return entry.first == window; });
  if (found == notice_engines.end()) {
    notice_engines.emplace_back(window, std::make_unique<GluiEngine>());
    found = notice_engines.end() - 1;
    found->second->wants_text_font = true;
  }
  glui_internal::Layer::DrawNotice(*found->second, text);
}

GluiEngine::GluiEngine() {
  ImGuiContext* previous = ImGui::GetCurrentContext();
  // A context of its own, with its own font atlas: freeglut windows do not
  // share GL objects, so each needs its own font texture.
  context = ImGui::CreateContext();
  ImGui::SetCurrentContext(context);
  ImGuiIO& io = ImGui::GetIO();
  io.IniFilename = nullptr;
  io.LogFilename = nullptr;
  io.MousePos = ImVec2(-FLT_MAX, -FLT_MAX);
  glui_internal::MapKeys(io);
  glui_internal::ApplyGluiLook(ImGui::GetStyle());
  ImGui_ImplOpenGL2_Init();
  if (previous) ImGui::SetCurrentContext(previous);
}

// Runs when the program exits (GLUI_Master is a global), when the GL
// contexts may already be gone: only CPU memory is freed, no GL call is made.
// The font texture dies with its window's context.
GluiEngine::~GluiEngine() {
  if (!context) return;
  ImGui::SetCurrentContext(context);
  ImGuiIO& io = ImGui::GetIO();
  // The OpenGL2 renderer's per-context data is a plain block holding the font
  // texture name; its shutdown would call glDeleteTextures.
  ImGui::MemFree(io.BackendRendererUserData);
  io.BackendRendererUserData = nullptr;
  io.BackendRendererName = nullptr;
  ImGui::DestroyContext(context);
}
