#include "render/scene.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "camera/environment.h"
#include "camera/light.h"
#include "image/image.h"
#include "image/pixel_store.h"
#include "image/textures.h"
#include "platform/extensions.h"
#include "render/gl_features.h"
#include "render/mesh_buffers.h"
#include "render/particles.h"
#include "stroke/drawn_form.h"
#include "stroke/mesh.h"
#include "stroke/particles.h"
#include "tests/support/height_map.h"
#include "tests/support/console.h"
#include "tests/support/gl_window.h"

namespace {

constexpr int kSize = 128;
using Pixel = std::array<int, 3>;

// Twelve long strokes crossing at their own heights (so depth decides),
// subdivided and not, of meshes and of particles, lit, one selected and
// one deleted; each particle its own colour, or, all of one colour, they
// would hide which one is drawn last.
Canvas CrossingStrokes() {
  StrokeSettings settings;
  RandomGenerator random;
  BuildHooks hooks = HeadlessBuildHooks();
  hooks.compileParticles = CompileParticleList;
  Canvas canvas;
  Quietly([&] {
    for (int i = 0; i < 12; ++i) {
      settings.subdivisionLevels = i % 3 == 0;
      settings.showMesh = i % 4 != 1;
      settings.showParticles = i % 4 == 1;
      settings.widthStart = 0.05f + 0.01f * (i % 5);
      settings.heightStart = 0.01f + 0.02f * (i % 3);
      const float angle = 0.55f * i, c = std::cos(angle), s = std::sin(angle);
      for (int n = 0; n < 12; ++n) {
        const float t = -0.9f + 0.15f * n;
        canvas.AddPoint(t * c - 0.1f * s * std::sin(3 * t), t * s + 0.1f * c * std::sin(3 * t));
      }
      canvas.CommitStroke(BuildContext{settings, random, hooks});
    }
  });
  for (int slot = 0; slot < canvas.count; ++slot) {
    ParticleSystem& particles = canvas.strokes[slot].particles;
    for (std::size_t i = 0; i < particles.colours.size(); ++i)
      particles.colours[i] = Vec4((i % 7) / 6.0f, (i % 5) / 4.0f, (i % 3) / 2.0f, 1);
    CompileParticleList(particles);
  }
  canvas.strokes[5].deleted = 1;
  return canvas;
}

// ---- Probe pixels of a hand-made scene ------------------------------------------
//
// The view is glOrtho(−1, 1, −1, 1, −1, 1) on 128 × 128 pixels: x (or y)
// maps to pixel (x + 1) × 64, so pixel p has its centre at x = (p + 0.5)/64 − 1.
// Lighting is off, so every colour is the vertex colour times the textures.

constexpr float kVertex[3] = {0.8f, 0.6f, 1.0f};                 // every mesh vertex
constexpr Pixel kBase = {200, 160, 120};                         // TEX_MESH, one texel
constexpr Pixel kDetail[2] = {{160, 80, 240}, {80, 200, 120}};  // TEX_DETAIL, 2 × 1 texels
constexpr Pixel kPaper = {60, 120, 180}, kFiltered = {220, 40, 90};
constexpr float kParticle[3] = {0.2f, 0.4f, 0.8f};

// The program's upload of a picture of our own, then sampled texel by texel
// so that a probe reads one texel, not a blend of neighbours.
void Upload(unsigned int name, int width, const std::vector<Pixel>& texels) {
  BmpImage image;
  ASSERT_TRUE(image.Allocate(width, 1, 24));
  for (int i = 0; i < width; ++i)
    for (int c = 0; c < 3; ++c) image.Data()[3 * i + c] = static_cast<std::uint8_t>(texels[i][c]);
  UploadImageTexture(image, name);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
}

// A quad facing the viewer, x and y from −0.5 to 0.5 (pixels 32 to 95),
// as two triangles of its own vertices; texture coordinates s = x + 0.5,
// t = y + 0.5. Its id sends it through the buffers a built stroke uses.
Stroke QuadStroke() {
  Mesh mesh;
  AllocateVertices(mesh, 6);
  AllocateFaces(mesh, 2);
  const float corners[6][2] = {{-0.5f, -0.5f}, {0.5f, -0.5f}, {0.5f, 0.5f},
                               {-0.5f, -0.5f}, {0.5f, 0.5f},  {-0.5f, 0.5f}};
  for (int v = 0; v < 6; ++v) {
    mesh.positions[v] = Vec4(corners[v][0], corners[v][1], 0, 0);
    mesh.normals[v] = Vec4(0, 0, 1, 0);
    mesh.colours[v] = Vec4(kVertex[0], kVertex[1], kVertex[2], 1);
    mesh.texCoords[v] = Vec4(corners[v][0] + 0.5f, corners[v][1] + 0.5f, 0, 0);
    mesh.faces[v / 3].vertex[v % 3] = v;
  }
  mesh.id = NewMeshId();
  Stroke stroke;
  stroke.subdivision.baseMesh = std::move(mesh);
  stroke.renderType = kRenderMesh;
  // The selection outline, through the centres of pixels 48 and 79.
  const float o = 0.2421875f;
  for (int i = 0; i < 4; ++i) stroke.bounds[i] = Vec4(i < 2 ? -o : o, i % 3 ? o : -o, 0, 0);
  return stroke;
}

// One particle of size 0.05 at (0.6, 0.6): a quad of half-extent 0.1,
// pixels 96 to 108.
Stroke ParticleStroke() {
  Stroke stroke;
  AddParticle(stroke.particles, Vec4(0.6f, 0.6f, 0, 0),
              Vec4(kParticle[0], kParticle[1], kParticle[2], 1), 0.05f);
  CompileParticleList(stroke.particles);
  stroke.renderType = kRenderParticles;
  return stroke;
}

class Scene : public ::testing::Test {
 protected:
  void SetUp() override {
    EnsureHiddenGlWindow(kSize, kSize);
    static const bool initialised = (Quietly([] {
      ReportGLEnvironment();
      InitRenderState();
      InitMaterial();
      InitLight(Light());
    }), true);
    (void)initialised;
    light_ = StartLight();
    glViewport(0, 0, kSize, kSize);
    Upload(TEX_MESH, 1, {kBase});
    Upload(TEX_DETAIL, 2, {kDetail[0], kDetail[1]});
    Upload(TEX_PAPER, 1, {kPaper});
    Upload(TEX_FILTERED, 1, {kFiltered});
    for (unsigned white : {TEX_BRUSH, TEX_PARTICLE_BRUSH}) Upload(white, 1, {{255, 255, 255}});
    canvas_.strokes = {QuadStroke(), ParticleStroke()};
    canvas_.count = 2;
    view_.canvas = &canvas_;
    view_.display.lightOn = 0;
  }

  // Every pixel of the frame `draw` draws over the main view's grey in the
  // view glOrtho(−1, 1, −1, 1, −1, 1), the light where the camera's
  // initialisation puts it.
  std::vector<std::uint8_t> Frame(const std::function<void()>& draw) {
    glClearColor(0.8f, 0.8f, 0.8f, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-1, 1, -1, 1, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glLightfv(GL_LIGHT0, GL_POSITION, light_.position);
    draw();
    std::vector<std::uint8_t> pixels(kSize * kSize * 3);
    const PixelStoreScope tightRows;
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, kSize, kSize, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
  }

  Canvas canvas_;
  SceneView view_;
  Light light_;
};

// Buffers kept since the build, arrays sent every frame and one glBegin
// per triangle draw the same picture of a lit relief stroke with both
// maps, subdivided (drawn through indices) and not, in every primitive
// mode, and leave the same colour current; the probes below then need only
// one of them.
TEST_F(Scene, BuffersAndArraysDrawTheSamePictureAsPerTriangleMode) {
  ASSERT_TRUE(MeshBuffersAvailable()) << "Mesa has buffer objects: the buffer path is tested";
  const Canvas canvas = CrossingStrokes();
  auto picture = [this](const std::function<void()>& draw) {
    std::vector<float> colour(4);
    auto pixels = Frame([&] {
      draw();
      glGetFloatv(GL_CURRENT_COLOR, colour.data());
    });
    return std::make_pair(pixels, colour);
  };
  for (int slot : {0, 2})
    for (unsigned mode : {0u, kPolygonModeLine, kPolygonModeFill}) {
      SCOPED_TRACE(testing::Message() << "stroke " << slot << ", mode " << mode);
      const Mesh& mesh = *ShownMesh(canvas.strokes[slot]);
      const MeshLook look{mode, TEX_MESH, TEX_DETAIL, true, true};
      glPointSize(5.0f);
      const auto plain = picture([&] { DrawTexturedMeshImmediate(mesh, look); });
      EXPECT_TRUE(picture([&] { DrawTexturedMeshFromArrays(mesh, look); }) == plain);
      // Twice: uploaded by the first frame, drawn from what it kept by the second.
      for (int frame = 0; frame < 2; ++frame)
        EXPECT_TRUE(picture([&] { DrawTexturedMesh(mesh, look); }) == plain);
      EXPECT_FALSE(plain.first == Frame([] {})) << "the stroke is in view";
    }
}

// Probes of the whole picture: backdrop, strokes, the selection outline,
// the cursor on top. Tolerance 1 for flat colours (one rounding of a texel
// or colour). The mesh: unit 0 modulates the vertex colour by the base
// map; unit 1 combines that with the detail map (modulate, RGB × 2,
// clamped to 1), and its texture matrix repeats the detail 8 times across
// the base map's once. The detail texel under s is texel floor(2 × frac(8 s)).
// By hand, colour = 2 × vertex × base × detail:
//   pixel 38: s = 6.5/64 = 0.1016, 8 s = 0.8125 → detail texel 1 (80, 200, 120)
//     2 × 0.8 × 200 × 80 / 255² = 0.3937 → 100;   2 × 0.6 × 160 × 200 / 255² → 151;
//     2 × 1.0 × 120 × 120 / 255² → 113
//   pixel 42: s = 10.5/64 = 0.1641, 8 s = 1.3125 → detail texel 0 (160, 80, 240), repeated
//     2 × 0.8 × 200 × 160 / 255² → 201;  2 × 0.6 × 160 × 80 / 255² → 60;
//     2 × 1.0 × 120 × 240 / 255² → 226
// A repeat of 4 or 1 reads texel 0 at pixel 38, a clamped map texel 1 at
// pixel 42; the base map alone gives (160, 96, 120), no ×2 half the values.
// Tolerance 3 there: texels, the vertex colour and each product are
// rounded to 8 bits on the way (half a step each, the ×2 doubles the
// earlier ones). Wire and point meshes leave the quad's inside empty: a
// wire runs along the diagonal through the centres of pixels (p, p); a
// 5-pixel point covers pixel (31, 31) beside the corner at pixel 32
// (detail texel 0 at both). Fill is back after every mesh.
TEST_F(Scene, ProbesOfTheWholePicture) {
  const Pixel texel1 = {100, 151, 113}, texel0 = {201, 60, 226}, paper = kPaper;
  const Pixel particle = {51, 102, 204};  // 0.2, 0.4, 0.8 × 255 × a white sprite
  const Pixel black = {0, 0, 0}, white = {255, 255, 255}, green = {0, 255, 0};
  const int fill = kPolygonModeFill, wire = kPolygonModeLine, points = 0;
  view_.cursorPosition = Vec4(-0.3f, -0.3f, 0, 0);  // a 0.15 square: pixels 45 to 53
  const struct { int paperOn, selected, mode, deleted, x, y; Pixel expected; int tolerance;
                 const char* what; } probes[] = {
      {0, 0, fill, 0, 38, 64, texel1, 3, "detail texel 1"},
      {0, 0, fill, 0, 42, 64, texel0, 3, "detail texel 0, repeated"},
      {0, 0, fill, 0, 10, 10, paper, 1, "the paper map on the easel"},
      {1, 0, fill, 0, 10, 10, kFiltered, 1, "the filtered image"},
      {0, 0, fill, 0, 49, 49, black, 1, "the cursor over the stroke, black on the paper"},
      {1, 0, fill, 0, 49, 49, white, 1, "the cursor, white on the image"},
      {0, 0, fill, 0, 56, 49, texel0, 3, "the stroke beside the cursor"},
      {1, 0, fill, 0, 102, 102, particle, 1, "the particle"},
      {0, 0, fill, 0, 97, 102, particle, 1, "its quad reaches 0.1 from its centre, not 0.05"},
      {0, 0, fill, 0, 102, 110, paper, 1, "beyond the particle"},
      {0, 0, fill, 0, 48, 64, texel0, 3, "no outline unless selected"},
      {0, 1, fill, 0, 48, 64, green, 1, "the outline, pure green, over the stroke"},
      {1, 1, fill, 0, 64, 79, green, 1, "the outline's top"},
      {0, 0, fill, 0, 40, 40, texel0, 3, "filled: the diagonal"},
      {0, 0, fill, 0, 31, 31, paper, 1, "filled: nothing beside the corner"},
      {0, 0, wire, 0, 38, 64, paper, 1, "wire: the inside empty"},
      {0, 0, wire, 0, 40, 40, texel0, 3, "wire: the diagonal"},
      {0, 0, points, 0, 40, 40, paper, 1, "points: the diagonal empty"},
      {0, 0, points, 0, 31, 31, texel0, 3, "points: a 5-pixel point beside the corner"},
      {0, 0, fill, 1, 38, 64, paper, 1, "a deleted stroke: nothing"},
  };
  for (const auto& p : probes) {
    SCOPED_TRACE(p.what);
    view_.display.paperOn = p.paperOn;
    view_.selectedStroke = p.selected;
    view_.primitiveMode = p.mode;
    canvas_.strokes[0].deleted = p.deleted;
    glPointSize(5.0f);
    const auto frame = Frame([&] { DrawScene(view_); });
    for (int c = 0; c < 3; ++c)
      EXPECT_NEAR(frame[3 * (p.y * kSize + p.x) + c], p.expected[c], p.tolerance) << c;
    GLint polygonMode[2];
    glGetIntegerv(GL_POLYGON_MODE, polygonMode);
    EXPECT_EQ(polygonMode[0], GL_FILL);
  }
}

// A confined pass draws inside its box exactly what the whole pass draws
// there, by the argument beside DrawStrokes: long strokes crossing at
// their own heights (so depth decides), subdivided and not, particles,
// nodes, in every primitive mode, through a tilted camera (the meshes'
// faces gathered into one draw between particles, nodes and outline); boxes small,
// large and on the view's edge. Runs of the reaching strokes' faces and
// particles are left out, or the test would prove nothing.
TEST_F(Scene, ConfinedPassDrawsWhatTheWholePassDrawsInItsBox) {
  const Canvas canvas = CrossingStrokes();
  view_.canvas = &canvas;
  view_.display.lightOn = 1;
  view_.selectedStroke = 3;
  // Through a tilted camera, drawn over what the view clears to.
  auto frame = [this](const std::function<void()>& draw) {
    return Frame([&] {
      glMatrixMode(GL_PROJECTION);
      glLoadIdentity();
      gluPerspective(60, 1, 0.1, 10);
      glMatrixMode(GL_MODELVIEW);
      gluLookAt(0.3, -1.1, 1.4, 0, 0, 0, 0, 1, 0);
      draw();
    });
  };
  const std::pair<unsigned, int> looks[] = {{kPolygonModeFill, 0}, {kPolygonModeLine, 0}, {0, 1}, {0, 0}};
  const int boxes[][4] = {{60, 60, 6, 6}, {20, 90, 12, 3}, {0, 0, 9, 128}, {40, 30, 50, 40},
                          {100, 10, 28, 20}, {0, 0, 128, 128}};
  int partsLeftOut = 0;
  for (const auto& [mode, showNodes] : looks) {
    view_.primitiveMode = mode;
    view_.display.showNodes = showNodes;
    glPointSize(5.0f);
    const auto whole = frame([&] { DrawStill(view_); });
    for (const auto& box : boxes) {
      SCOPED_TRACE(testing::Message() << "mode " << mode << ", nodes " << showNodes
                                      << ", box at " << box[0] << " " << box[1]);
      const auto confined = frame([&] {
        DrawStill(view_);
        glEnable(GL_SCISSOR_TEST);
        glScissor(box[0], box[1], box[2], box[3]);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        const ScreenProjection projection;
        ScreenBox region;
        region.Add(box[0], box[1]);
        region.Add(box[0] + box[2], box[1] + box[3]);
        const ConfinedPass pass = StrokesReaching(projection, region, canvas);
        for (int slot : pass.slots) {
          const Stroke& s = canvas.strokes[slot];
          for (const RunBox& run : ShowsParticles(s)                 ? s.reach.particles
                                   : s.subdivision.resultMesh ? s.reach.resultFaces
                                                              : s.reach.baseFaces)
            partsLeftOut += !pass.Reaches(run.box);
        }
        DrawStill(view_, &pass);
        glDisable(GL_SCISSOR_TEST);
      });
      EXPECT_TRUE(confined == whole);
    }
  }
  EXPECT_GT(partsLeftOut, 0);
}

TEST(Environment, ReportOrderAndExactExtensionTokens) {
  EnsureHiddenGlWindow();
  const std::string out = Printed(ReportGLEnvironment);
  const std::string dashes = "\t--------------------------------------------\n";
  EXPECT_EQ(out.rfind(dashes, 0), 0u);
  std::size_t at = 0;
  for (const char* part :
       {"\tOpenGL: ", "\tLIGHTUNITS: ", "\tTEXUNITS: ", "\tEXT: GL_ARB_multitexture SUPPORTED\n",
        "\tEXT: GL_Combine_ARB SUPPORTED\n"}) {
    at = out.find(part, at);
    ASSERT_NE(at, std::string::npos) << part;
  }
  EXPECT_EQ(out.substr(out.size() - dashes.size() - 1), dashes + "\n");
  EXPECT_TRUE(Multitexture().Available());
  EXPECT_TRUE(ExtensionListed("GL_A GL_ARB_multitexture GL_B", "GL_ARB_multitexture"));
  EXPECT_FALSE(ExtensionListed("GL_ARB_multitexture_x", "GL_ARB_multitexture"));
}

}  // namespace
