// The mesh formats read back through Assimp's importers and compared with
// the strokes in memory, corner by corner; the maps they carry compared
// with maps worked out by hand.
#include <assimp/material.h>
#include <assimp/scene.h>
#include <gtest/gtest.h>

#include <array>
#include <assimp/Importer.hpp>
#include <cmath>
#include <fstream>
#include <functional>

#include "export/drawn.h"
#include "export/painting.h"
#include "export/png.h"
#include "image/image.h"
#include "tests/export/canvases.h"
#include "tests/support/scratch_dir.h"

namespace {

// One triangle corner: position 0-2, normal 3-5, colour 6-9, texture
// coordinate 10-11.
using Corner = std::array<float, 12>;

// The corners the main view draws for a stroke, from the records: mesh
// faces in order (normals unit and outwards), or each particle's two
// triangles of its strip (half-extent 2 × size, normal +z); a particle of
// size 0 covers nothing and gives none.
std::vector<Corner> DrawnCorners(const Stroke& stroke) {
  std::vector<Corner> corners;
  if (const Mesh* mesh = DrawnMesh(stroke)) {
    for (int f = 0; f < mesh->faceCount; ++f)
      for (int v : mesh->faces[f].vertex) {
        const Vec4 &p = mesh->positions[v], &n = mesh->normals[v], &c = mesh->colours[v];
        // Unit and outwards; a degenerate face's zero normal points up.
        const float length = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
        const Vec4 out = length > 0 ? n * (-1 / length) : Vec4(0, 0, 1, 0);
        corners.push_back({p.x, p.y, p.z, out.x, out.y, out.z, c.x, c.y, c.z, c.w,
                           mesh->texCoords[v].x, mesh->texCoords[v].y});
      }
  } else if (DrawsParticles(stroke)) {
    const ParticleSystem& particles = stroke.particles;
    const float sign[4][2] = {{1, 1}, {-1, 1}, {1, -1}, {-1, -1}};
    for (std::size_t i = 0; i < particles.positions.size(); ++i) {
      if (particles.sizes[i] == 0) continue;
      const Vec4 &centre = particles.positions[i], &c = particles.colours[i];
      const float h = 2 * particles.sizes[i];
      for (int k : {0, 1, 2, 2, 1, 3})
        corners.push_back({centre.x + sign[k][0] * h, centre.y + sign[k][1] * h, 0, 0, 0, 1, c.x,
                           c.y, c.z, c.w, (sign[k][0] + 1) / 2, (sign[k][1] + 1) / 2});
    }
  }
  return corners;
}

// The corners of a mesh read from a file; what the file lacks stays 0.
std::vector<Corner> FileCorners(const aiMesh& mesh) {
  std::vector<Corner> corners;
  for (unsigned f = 0; f < mesh.mNumFaces; ++f)
    for (unsigned k = 0; k < mesh.mFaces[f].mNumIndices; ++k) {
      const unsigned v = mesh.mFaces[f].mIndices[k];
      const aiVector3D& p = mesh.mVertices[v];
      Corner corner{p.x, p.y, p.z};
      const aiVector3D n = mesh.mNormals ? mesh.mNormals[v] : aiVector3D();
      const aiColor4D c = mesh.mColors[0] ? mesh.mColors[0][v] : aiColor4D();
      corner[3] = n.x, corner[4] = n.y, corner[5] = n.z;
      corner[6] = c.r, corner[7] = c.g, corner[8] = c.b, corner[9] = c.a;
      if (mesh.mTextureCoords[0])
        corner[10] = mesh.mTextureCoords[0][v].x, corner[11] = mesh.mTextureCoords[0][v].y;
      corners.push_back(corner);
    }
  return corners;
}

// A mesh format: whether it holds one mesh a material (or one of
// everything), texture coordinates, colours with alpha; its tolerance (text
// formats print about six significant digits) and its colours' tolerance;
// colours stored linear (glTF), not as the screen shows them.
struct FormatCase {
  const char* extension;
  bool meshPerMaterial, texCoords, alpha;
  float tolerance, colourTolerance;
  bool linear;
};

// The sRGB transfer function, from a shown value to a linear one.
float Linear(float shown) {
  return shown <= 0.04045f ? shown / 12.92f : std::pow((shown + 0.055f) / 1.055f, 2.4f);
}

void ExpectSameCorners(const std::vector<Corner>& file, const std::vector<Corner>& drawn,
                       const FormatCase& format) {
  ASSERT_EQ(file.size(), drawn.size());
  const int values = format.texCoords ? 12 : format.alpha ? 10 : 9;
  for (std::size_t i = 0; i < file.size(); ++i)
    for (int a = 0; a < values; ++a) {
      if (a == 9 && !format.alpha) continue;
      const bool colour = a >= 6 && a < 9;
      const float expected = colour && format.linear ? Linear(drawn[i][a]) : drawn[i][a];
      const float tolerance = a >= 6 && a < 10 ? format.colourTolerance : format.tolerance;
      ASSERT_NEAR(file[i][a], expected, tolerance) << "corner " << i << ", value " << a;
    }
}

TEST(MeshFormats, ReadBackGivesTheDrawnCornersOfTheDrawnStrokesInOrder) {
  ScratchDir scratch;
  const auto canvas = MixedCanvas();
  // Strokes 1 and 2 are painted meshes, stroke 3 particles; 4 and 5 are
  // not drawn.
  std::vector<Corner> painted = DrawnCorners(canvas->strokes[0]);
  const std::vector<Corner> second = DrawnCorners(canvas->strokes[1]);
  painted.insert(painted.end(), second.begin(), second.end());
  const std::vector<Corner> particles = DrawnCorners(canvas->strokes[2]);
  std::vector<Corner> everything = painted;
  everything.insert(everything.end(), particles.begin(), particles.end());
  // The particle stroke tapers to nothing at its start: those particles
  // are left out.
  EXPECT_LT(particles.size(), 6 * canvas->strokes[2].particles.positions.size());
  // A subdivided stroke is written as drawn: its result mesh, four times
  // the base mesh's faces.
  EXPECT_EQ(second.size(), 12u * unsigned(canvas->strokes[1].subdivision.baseMesh->faceCount));
  const FormatCase formats[] = {{"glb", true, true, true, 1e-6f, 1e-6f, true},
                                {"obj", true, true, false, 2e-5f, 2e-5f, false},
                                {"ply", false, false, true, 2e-5f, 1.0f / 255, false}};
  for (const FormatCase& format : formats) {
    SCOPED_TRACE(format.extension);
    const std::string path = scratch.File(std::string("painting.") + format.extension);
    ASSERT_EQ(ExportPainting(*canvas, path, ExportSettingsWithDefaultMaps()), "");
    Assimp::Importer importer;
    const aiScene* scene = importer.ReadFile(path, 0);
    ASSERT_NE(scene, nullptr) << importer.GetErrorString();
    ASSERT_EQ(scene->mNumMeshes, format.meshPerMaterial ? 2u : 1u);
    for (unsigned m = 0; m < scene->mNumMeshes; ++m) {
      const std::string name = scene->mMeshes[m]->mName.C_Str();
      SCOPED_TRACE(name);
      ASSERT_TRUE(!format.meshPerMaterial || name == "strokes" || name == "particles");
      const bool strokes = name == "strokes", all = !format.meshPerMaterial;
      ExpectSameCorners(FileCorners(*scene->mMeshes[m]),
                        all ? everything : strokes ? painted : particles, format);
    }
  }
  // The OBJ's library and maps lie beside it, named in the library. The
  // default maps: mesh and detail 256 × 256, the detail repeated 8 times,
  // held to 1024.
  EXPECT_EQ(FolderListing(scratch.Path()),
            (std::vector<std::string>{"painting.glb", "painting.mtl", "painting.obj", "painting.ply",
                                      "painting_paint.png", "painting_particles.png"}));
  const std::string library = Contents(scratch.File("painting.mtl"));
  EXPECT_NE(library.find("map_Kd painting_paint.png"), std::string::npos) << library;
  EXPECT_NE(library.find("map_d painting_particles.png"), std::string::npos) << library;
  PngPicture paint;
  ASSERT_TRUE(ReadPng(scratch.File("painting_paint.png"), &paint));
  EXPECT_EQ(paint.width, 1024);
}

// ---- glTF's own rules ------------------------------------------------------

// The unlit material's extension is named only by a file whose particles
// use it (the validator's test sees the one that does); the chunks'
// alignment is the validator's to check.
TEST(ExportGlb, ExtensionsUsedNamesOnlyTheExtensionsTheFileUses) {
  ScratchDir scratch;
  Canvas meshesOnly;
  AddPyramid(meshesOnly, 0, 0, 0.1f, 0.2f);
  ASSERT_EQ(ExportPainting(meshesOnly, scratch.File("a.glb"), ExportSettingsWithDefaultMaps()), "");
  EXPECT_EQ(Contents(scratch.File("a.glb")).find("extensions"), std::string::npos);
}

// ---- The maps --------------------------------------------------------------

using Rgb = std::array<int, 3>;

// A BMP file whose pixel (x, y), y = 0 the top row, is rgb(x, y).
std::string WriteBmp(const std::string& path, int width, int height,
                     const std::function<Rgb(int x, int y)>& rgb) {
  BmpImage image;
  image.Allocate(width, height, 24);
  for (int i = 0; i < width * height; ++i)
    for (int c = 0; c < 3; ++c)
      image.Data()[3 * i + c] = std::uint8_t(rgb(i % width, i / width)[c]);
  EXPECT_TRUE(image.Save(path));
  return path;
}

PngPicture EmbeddedPicture(const aiTexture& texture, const std::string& scratchFile) {
  std::ofstream(scratchFile, std::ios::binary)
      .write(reinterpret_cast<const char*>(texture.pcData), texture.mWidth);
  PngPicture picture;
  EXPECT_TRUE(ReadPng(scratchFile, &picture));
  return picture;
}

TEST(ExportMaps, GlbCarriesMeshTimesDetailTimesTwoAndTheSpriteWithItsAlpha) {
  ScratchDir scratch;
  ExportSettings settings;
  // Hand-worked texels: 255·160·2/255² = 320 clamps to 255,
  // 100·128·2/255² → 100, 50·64·2/255² → 25.
  settings.meshMap =
      WriteBmp(scratch.File("mesh.bmp"), 10, 6, [](int, int) { return Rgb{255, 100, 50}; });
  // Detail columns dark, dark, light, light: repeated 8 times across the
  // bake, texel centres fall on texel centres, so the pattern comes back
  // unblurred with a period of 4 columns.
  settings.detailMap = WriteBmp(scratch.File("detail.bmp"), 4, 1,
                                [](int x, int) { return x < 2 ? Rgb{} : Rgb{160, 128, 64}; });
  // Sprite: one dark pixel (R+G+B = 149) among bright ones.
  settings.particleMap = WriteBmp(scratch.File("sprite.bmp"), 3, 2, [](int x, int y) {
    return x + y ? Rgb{90, 60, 0} : Rgb{50, 50, 49};
  });

  const auto canvas = MixedCanvas();
  const std::string path = scratch.File("painting.GLB");
  ASSERT_EQ(ExportPainting(*canvas, path, settings), "");
  Assimp::Importer importer;
  const aiScene* scene = importer.ReadFile(path, 0);
  ASSERT_NE(scene, nullptr) << importer.GetErrorString();
  ASSERT_EQ(scene->mNumTextures, 2u);

  const PngPicture paint = EmbeddedPicture(*scene->mTextures[0], scratch.File("paint.png"));
  ASSERT_EQ(paint.channels, 3);
  EXPECT_EQ(paint.width, 32) << "8 repeats of a 4-texel detail map";
  EXPECT_EQ(paint.height, 8) << "8 repeats of a 1-texel detail map";
  const std::vector<int> dark = {0, 0, 0}, light = {255, 100, 25};
  for (int column = 0; column < paint.width; ++column) {
    const std::uint16_t* px = &paint.samples[(3 * paint.width + column) * 3];
    EXPECT_EQ(std::vector<int>(px, px + 3), column % 4 < 2 ? dark : light) << column;
  }

  const PngPicture spriteMap = EmbeddedPicture(*scene->mTextures[1], scratch.File("sprite.png"));
  ASSERT_EQ(spriteMap.channels, 4);
  ASSERT_EQ(spriteMap.width, 3);
  // The dark pixel is the first of the file's top row: BMP rows as given.
  EXPECT_EQ(spriteMap.samples[3], 0) << "R+G+B 149: transparent";
  EXPECT_EQ(spriteMap.samples[7], 255) << "R+G+B 150: opaque";
  EXPECT_EQ(spriteMap.samples[4], 90);

  // Materials: the strokes name the paint map, the particles the sprite.
  for (unsigned m = 0; m < scene->mNumMeshes; ++m) {
    aiString map;
    scene->mMaterials[scene->mMeshes[m]->mMaterialIndex]->GetTexture(aiTextureType_DIFFUSE, 0,
                                                                     &map);
    EXPECT_STREQ(map.C_Str(), scene->mMeshes[m]->mName == aiString("strokes") ? "*0" : "*1");
  }
}

}  // namespace
