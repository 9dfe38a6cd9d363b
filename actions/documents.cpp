#include "actions/documents.h"

#include <GL/freeglut.h>

#include <algorithm>
#include <utility>

#include "actions/build_hooks.h"
#include "actions/main_window_scope.h"
#include "export/png.h"
#include "image/filters.h"
#include "image/pixel_store.h"
#include "image/rgba_picture.h"
#include "image/textures.h"
#include "platform/files.h"
#include "render/kept_picture.h"
#include "state/redraw.h"

void LoadTexturesEverywhere() {
  const ApplicationState& state = AppState();
  const int current = glutGetWindow();
  const WindowPlace* windows[] = {&state.windows.main, &state.windows.strokePanel,
                                  &state.windows.cameraPanel, &state.windows.filterPanel,
                                  &state.windows.sizePanel};
  for (const WindowPlace* window : windows) {
    if (window->id == 0) continue;
    glutSetWindow(window->id);
    LoadAllMaps(state.maps);
    UploadImageTexture(state.pictures.filtered, TEX_FILTERED);
    glutPostRedisplay();
  }
  if (current != 0) glutSetWindow(current);
  for (Picture picture : {Picture::kMain, Picture::kStrokePanel, Picture::kFilterPanel})
    TexturesReloaded(picture);
}

namespace {

// The main view's projection follows the camera's field of view at once,
// and the Camera panel's picture of it with it.
void ApplyProjection() {
  MainWindowScope scope;
  ApplicationState& state = AppState();
  if (state.windows.main.id != 0) state.camera.LoadProjection(state.views.projection);
}

void ApplyMaps(std::vector<EmbeddedMap>& maps, MapFileTable& table) {
  for (EmbeddedMap& map : maps) {
    table.files[map.slot] = map.fileName;
    table.embedded[map.slot] = std::make_shared<const Bytes>(std::move(map.bmp));
  }
}

// The picture under "Paper ON" as the painting had it; a painting without
// one keeps the current one.
void ApplyFilteredPicture(Bytes& bmp) {
  if (bmp.empty()) return;
  AppState().pictures.filtered.LoadFrom(
      PictureSource("", std::make_shared<const Bytes>(std::move(bmp))));
}

// The file's bytes of a slot's map: the bytes a painting brought, or its
// file's; none when the file cannot be read (the painting is then saved
// without it, and opens with whatever map the slot holds there).
std::shared_ptr<const EmbeddedMap> MapOf(const MapFileTable& table, MapSlot slot) {
  auto map = std::make_shared<EmbeddedMap>();
  map->slot = slot;
  map->fileName = table.files[slot];
  if (table.embedded[slot]) {
    map->bmp = *table.embedded[slot];
  } else if (!ReadWholeFile(ResolvePath(table.files[slot]), std::uint64_t(1) << 30, &map->bmp)
                  .empty()) {
    return nullptr;
  }
  return map;
}

}  // namespace

PaintingSettings SettingsOfState(const ApplicationState& state) {
  PaintingSettings settings;
  settings.stroke = state.strokeSettings;
  settings.collisions = state.collisions;
  settings.display = state.display;
  settings.light = state.light;
  settings.camera.pose = state.camera;
  std::copy(state.camera.spin, state.camera.spin + 3, settings.camera.spin);
  settings.primitiveMode = state.interaction.primitiveMode;
  settings.colourMarker = state.colourMarker;
  settings.randomState = state.random.State();
  return settings;
}

void ApplySettings(const PaintingSettings& settings, ApplicationState& state) {
  state.strokeSettings = settings.stroke;
  state.collisions = settings.collisions;
  state.display = settings.display;
  state.light = settings.light;
  // The camera's size stays: it is the window's.
  static_cast<CameraPose&>(state.camera) = settings.camera.pose;
  std::copy(settings.camera.spin, settings.camera.spin + 3, state.camera.spin);
  state.interaction.primitiveMode = settings.primitiveMode;
  state.colourMarker = settings.colourMarker;
  state.random.SetState(settings.randomState);
}

void ApplyPainting(Painting painting) {
  ActionScope scope(ActionKind::kOpen);
  ApplicationState& state = AppState();
  scope.CurrentStrokeChanging();
  scope.AllStrokesChanging();
  Canvas& canvas = state.canvas;
  canvas.DeleteAll();
  const int count = std::min<int>(static_cast<int>(painting.strokes.size()), kStrokeCountLimit);
  const BuildHooks& hooks = PainterBuildHooks();
  for (int i = 0; i < count; ++i) {
    Stroke& stroke = canvas.strokes[i] = std::move(painting.strokes[i]);
    if (!stroke.particles.positions.empty()) hooks.compileParticles(stroke.particles);
  }
  canvas.count = count;
  state.interaction.painting = 0;
  state.interaction.selectedStroke = painting.selectedStroke;
  ApplySettings(painting.settings, state);
  ApplyMaps(painting.maps, state.maps);
  state.pictures.source.LoadFrom(state.maps[MAP_SOURCE]);
  ApplyFilteredPicture(painting.filteredPicture);
  LoadTexturesEverywhere();
  ApplyProjection();
}

// ---- The keeper ----------------------------------------------------------------------

PaintingKeeper::PaintingKeeper() {
  AddActionObserver(this);
  maps_.resize(std::size(kEmbeddedMapSlots));
}

PaintingKeeper::~PaintingKeeper() { RemoveActionObserver(this); }

void PaintingKeeper::ActionFinished(const ActionReport& report) {
  if (!TraitsOf(report.kind).changesPainting) return;
  ++revision_;
  if (report.allStrokes) strokes_.clear();
  for (int slot : report.strokes)
    if (slot >= 0 && static_cast<std::size_t>(slot) < strokes_.size()) strokes_[slot] = nullptr;
  if (report.kind == ActionKind::kFilter || report.kind == ActionKind::kOpen) filtered_ = nullptr;
}

PaintingSnapshot PaintingKeeper::Snapshot(bool thumbnail) {
  const ApplicationState& state = AppState();
  const Canvas& canvas = state.canvas;
  strokes_.resize(static_cast<std::size_t>(std::max(canvas.count, 0)));
  for (std::size_t i = 0; i < strokes_.size(); ++i)
    if (!strokes_[i]) strokes_[i] = EncodeStroke(canvas.strokes[i]);
  PaintingSnapshot snapshot;
  snapshot.strokes = strokes_;
  snapshot.selectedStroke = state.interaction.selectedStroke;
  snapshot.settings = SettingsOfState(state);
  for (std::size_t i = 0; i < maps_.size(); ++i) {
    const MapSlot slot = kEmbeddedMapSlots[i];
    MapBytes& kept = maps_[i];
    if (!kept.map || kept.file != state.maps.files[slot] ||
        kept.embedded != state.maps.embedded[slot])
      kept = MapBytes{state.maps.files[slot], state.maps.embedded[slot], MapOf(state.maps, slot)};
    if (kept.map) snapshot.maps.push_back(kept.map);
  }
  // A picture of no pixels (a source that could not be read) is left out:
  // the opened painting keeps whatever picture is shown then.
  const BmpImage& filtered = state.pictures.filtered;
  const bool picture = filtered.Width() > 0 && filtered.Height() > 0 &&
                       filtered.BitsPerPixel() >= 24 && filtered.HasAllPixels();
  if (!filtered_)
    filtered_ = std::make_shared<const Bytes>(picture ? filtered.SavedBytes() : Bytes());
  snapshot.filteredPicture = filtered_;
  if (thumbnail)
    snapshot.thumbnail = std::make_shared<const Bytes>(ThumbnailOf(ReadMainViewFrame()));
  return snapshot;
}

PaintingKeeper& ThePaintingKeeper() {
  static PaintingKeeper* keeper = new PaintingKeeper();
  return *keeper;
}

MainViewFrame ReadMainViewFrame() {
  MainWindowScope scope;
  const WindowPlace& main = AppState().windows.main;
  MainViewFrame frame;
  if (main.id == 0 || main.width <= 0 || main.height <= 0) return frame;
  frame.width = main.width;
  frame.height = main.height;
  frame.rgba.resize(std::size_t(main.width) * main.height * 4);
  if (AppState().keptPicture.Read(main.width, main.height, frame.rgba.data())) return frame;
  const PixelStoreScope tightRows;
  glReadBuffer(GL_BACK);
  glReadPixels(0, 0, main.width, main.height, GL_RGBA, GL_UNSIGNED_BYTE, frame.rgba.data());
  return frame;
}

Bytes ThumbnailOf(const MainViewFrame& frame, int largest) {
  if (frame.width <= 0 || frame.height <= 0) return {};
  RgbaPicture picture;
  picture.width = frame.width;
  picture.height = frame.height;
  picture.pixels.resize(frame.rgba.size());
  const std::size_t row = std::size_t(frame.width) * 4;
  for (int y = 0; y < frame.height; ++y)
    std::copy_n(&frame.rgba[std::size_t(frame.height - 1 - y) * row], row,
                &picture.pixels[std::size_t(y) * row]);
  // The view's alpha is whatever blending left there: the picture is opaque.
  for (std::size_t alpha = 3; alpha < picture.pixels.size(); alpha += 4)
    picture.pixels[alpha] = 255;
  const RgbaPicture small = FitWithin(picture, largest);
  std::vector<std::uint8_t> rgb;
  rgb.reserve(small.pixels.size() / 4 * 3);
  for (std::size_t i = 0; i < small.pixels.size(); i += 4)
    rgb.insert(rgb.end(), &small.pixels[i], &small.pixels[i] + 3);
  return EncodePng8(small.width, small.height, 3, rgb);
}
