#include "export/mesh_files.h"

#include <assimp/GltfMaterial.h>
#include <assimp/material.h>
#include <assimp/scene.h>

#include <algorithm>
#include <assimp/Exporter.hpp>
#include <assimp/IOStream.hpp>
#include <assimp/IOSystem.hpp>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>

#include "platform/atomic_file.h"
#include "export/drawn.h"
#include "export/file_set.h"
#include "export/glb_extensions.h"
#include "export/paint_maps.h"
#include "export/png.h"

namespace {

// ---- Assimp's file output, kept in memory -----------------------------------
// Assimp opens its output files through an IOSystem; ours keeps what it
// writes in memory, so that nothing touches the folder before the whole
// export is made, and the files are then written by our own calls, whose
// failures carry the system's reason.

class MemoryStream : public Assimp::IOStream {
 public:
  MemoryStream(std::string path, std::vector<FileBytes>* files)
      : file_{std::move(path), {}}, files_(files) {}
  // Assimp's writers delete their streams themselves: a closed stream hands
  // its bytes over.
  ~MemoryStream() override { files_->push_back(std::move(file_)); }
  size_t Read(void*, size_t, size_t) override { return 0; }
  size_t Write(const void* buffer, size_t size, size_t count) override {
    std::vector<std::uint8_t>& bytes = file_.bytes;
    const std::size_t length = size * count;
    if (bytes.size() < position_ + length) bytes.resize(position_ + length);
    std::memcpy(bytes.data() + position_, buffer, length);
    position_ += length;
    return count;
  }
  aiReturn Seek(size_t offset, aiOrigin origin) override {
    const std::size_t from = origin == aiOrigin_SET   ? 0
                             : origin == aiOrigin_CUR ? position_
                                                      : file_.bytes.size();
    // Past the end is allowed, as in a file: the glTF writer writes its
    // header last, at the front.
    position_ = from + offset;
    return aiReturn_SUCCESS;
  }
  size_t Tell() const override { return position_; }
  size_t FileSize() const override { return file_.bytes.size(); }
  void Flush() override {}

 private:
  FileBytes file_;
  std::vector<FileBytes>* files_;
  std::size_t position_ = 0;
};

class MemoryIOSystem : public Assimp::IOSystem {
 public:
  explicit MemoryIOSystem(std::vector<FileBytes>* files) : files_(files) {}
  using Assimp::IOSystem::Open;
  bool Exists(const char*) const override { return false; }
  char getOsSeparator() const override { return '/'; }
  Assimp::IOStream* Open(const char* path, const char* mode) override {
    // Exporters only write; nothing of ours is read back through here.
    if (!mode || std::strchr(mode, 'w') == nullptr) return nullptr;
    return new MemoryStream(path, files_);
  }
  void Close(Assimp::IOStream* stream) override { delete stream; }

 private:
  std::vector<FileBytes>* files_;
};

// Adds `scene` as `formatId` for `path` to `files`, with whatever
// companions the format writes (OBJ's material library), `path` last.
std::string ExportScene(const aiScene& scene, const char* formatId, const std::string& path,
                        std::vector<FileBytes>* files) {
  std::vector<FileBytes> written;
  Assimp::Exporter exporter;
  exporter.SetIOHandler(new MemoryIOSystem(&written));
  if (exporter.Export(&scene, formatId, path) != aiReturn_SUCCESS)
    return "cannot write " + path + ": " + exporter.GetErrorString();
  std::stable_partition(written.begin(), written.end(),
                        [&path](const FileBytes& file) { return file.path != path; });
  for (FileBytes& file : written) files->push_back(std::move(file));
  return "";
}

// ---- Scene assembly ---------------------------------------------------------

aiColor4D ClampedColour(const Vec4& c) {
  auto unit = [](float v) { return std::isfinite(v) ? std::clamp(v, 0.0f, 1.0f) : 0.0f; };
  return aiColor4D(unit(c.x), unit(c.y), unit(c.z), unit(c.w));
}

// The painter's colours are display values (sRGB, as the screen shows
// them); glTF's vertex colours are linear, and its viewers encode them for
// the screen again. The exact sRGB transfer function, so that a colour
// comes back as the painter showed it.
float LinearFromDisplay(float value) {
  return value <= 0.04045f ? value / 12.92f
                           : static_cast<float>(std::pow((value + 0.055) / 1.055, 2.4));
}

aiColor4D LinearColour(const aiColor4D& c) {
  return aiColor4D(LinearFromDisplay(c.r), LinearFromDisplay(c.g), LinearFromDisplay(c.b), c.a);
}

// Unit and outwards; a degenerate face's zero normal becomes straight up.
aiVector3D OutwardNormal(const Vec4& n) {
  const double length = std::sqrt(double(n.x) * n.x + double(n.y) * n.y + double(n.z) * n.z);
  if (!(length > 0.0) || !std::isfinite(length)) return aiVector3D(0, 0, 1);
  return aiVector3D(static_cast<float>(-n.x / length), static_cast<float>(-n.y / length),
                    static_cast<float>(-n.z / length));
}

aiMesh* NewMesh(const char* name, std::size_t vertices, std::size_t faces, unsigned material,
                bool texCoords) {
  auto* mesh = new aiMesh;
  mesh->mName = name;
  mesh->mPrimitiveTypes = aiPrimitiveType_TRIANGLE;
  mesh->mMaterialIndex = material;
  mesh->mNumVertices = static_cast<unsigned>(vertices);
  mesh->mVertices = new aiVector3D[vertices];
  mesh->mNormals = new aiVector3D[vertices];
  mesh->mColors[0] = new aiColor4D[vertices];
  if (texCoords) {
    mesh->mTextureCoords[0] = new aiVector3D[vertices];
    mesh->mNumUVComponents[0] = 2;
  }
  mesh->mNumFaces = static_cast<unsigned>(faces);
  mesh->mFaces = new aiFace[faces];
  return mesh;
}

void SetTriangle(aiFace& face, unsigned a, unsigned b, unsigned c) {
  face.mNumIndices = 3;
  face.mIndices = new unsigned[3]{a, b, c};
}

// Fills a mesh stroke by stroke: `vertex` and `face` are where the next
// stroke's go.
struct MeshWriter {
  aiMesh* mesh;
  bool linearColours;  // glTF's vertex colours; other formats keep display values
  unsigned vertex = 0, face = 0;

  aiColor4D Colour(const Vec4& colour) const {
    const aiColor4D clamped = ClampedColour(colour);
    return linearColours ? LinearColour(clamped) : clamped;
  }

  void Put(const aiVector3D& position, const aiVector3D& normal, const aiColor4D& colour, float s,
           float t) {
    mesh->mVertices[vertex] = position;
    mesh->mNormals[vertex] = normal;
    mesh->mColors[0][vertex] = colour;
    if (mesh->mTextureCoords[0]) mesh->mTextureCoords[0][vertex] = aiVector3D(s, t, 0);
    ++vertex;
  }

  void AddStroke(const Mesh& source) {
    const unsigned first = vertex;
    for (int v = 0; v < source.vertexCount; ++v) {
      const Vec4& p = source.positions[v];
      Put(aiVector3D(p.x, p.y, p.z), OutwardNormal(source.normals[v]), Colour(source.colours[v]),
          source.texCoords[v].x, source.texCoords[v].y);
    }
    for (int f = 0; f < source.faceCount; ++f) {
      const int* corner = source.faces[f].vertex;
      SetTriangle(mesh->mFaces[face++], first + static_cast<unsigned>(corner[0]),
                  first + static_cast<unsigned>(corner[1]),
                  first + static_cast<unsigned>(corner[2]));
    }
  }

  void AddParticles(const ParticleSystem& particles) {
    for (std::size_t i = 0; i < particles.positions.size(); ++i) {
      if (!ParticleHasArea(particles, i)) continue;
      const ParticleQuad quad = QuadOfParticle(particles, i);
      const aiColor4D colour = Colour(particles.colours[i]);
      const unsigned first = vertex;
      for (int k = 0; k < 4; ++k)
        Put(aiVector3D(quad.corner[k][0], quad.corner[k][1], quad.corner[k][2]),
            aiVector3D(0, 0, 1), colour, quad.texCoord[k][0], quad.texCoord[k][1]);
      // The strip's two triangles, both counter-clockwise seen from the front.
      SetTriangle(mesh->mFaces[face++], first, first + 1, first + 2);
      SetTriangle(mesh->mFaces[face++], first + 2, first + 1, first + 3);
    }
  }
};

// A scene of `meshes`, each under a node of its own name below the root.
std::unique_ptr<aiScene> NewScene(std::vector<aiMesh*> meshes, std::vector<aiMaterial*> materials) {
  auto scene = std::make_unique<aiScene>();
  scene->mRootNode = new aiNode("painting");
  scene->mNumMeshes = static_cast<unsigned>(meshes.size());
  scene->mMeshes = new aiMesh*[meshes.size()];
  scene->mRootNode->mNumChildren = scene->mNumMeshes;
  scene->mRootNode->mChildren = new aiNode*[meshes.size()];
  for (unsigned i = 0; i < scene->mNumMeshes; ++i) {
    scene->mMeshes[i] = meshes[i];
    auto* node = new aiNode(meshes[i]->mName.C_Str());
    node->mParent = scene->mRootNode;
    node->mNumMeshes = 1;
    node->mMeshes = new unsigned[1]{i};
    scene->mRootNode->mChildren[i] = node;
  }
  scene->mNumMaterials = static_cast<unsigned>(materials.size());
  scene->mMaterials = new aiMaterial*[materials.size()];
  std::copy(materials.begin(), materials.end(), scene->mMaterials);
  return scene;
}

aiMaterial* NewMaterial(const char* name) {
  auto* material = new aiMaterial;
  const aiString label(name);
  material->AddProperty(&label, AI_MATKEY_NAME);
  const aiColor3D white(1, 1, 1);
  material->AddProperty(&white, 1, AI_MATKEY_COLOR_DIFFUSE);
  return material;
}

void SetColourMap(aiMaterial* material, const std::string& reference, bool alpha) {
  const aiString name(reference);
  material->AddProperty(&name, AI_MATKEY_TEXTURE(aiTextureType_BASE_COLOR, 0));
  material->AddProperty(&name, AI_MATKEY_TEXTURE(aiTextureType_DIFFUSE, 0));
  if (alpha) material->AddProperty(&name, AI_MATKEY_TEXTURE(aiTextureType_OPACITY, 0));
}

// A PNG picture carried inside the scene (glTF's embedded images).
aiTexture* EmbeddedPng(const std::vector<std::uint8_t>& png, const char* name) {
  auto* texture = new aiTexture;
  texture->mWidth = static_cast<unsigned>(png.size());
  texture->mHeight = 0;  // compressed: mWidth is the byte count
  std::strncpy(texture->achFormatHint, "png", sizeof texture->achFormatHint - 1);
  texture->mFilename = name;
  texture->pcData = new aiTexel[(png.size() + sizeof(aiTexel) - 1) / sizeof(aiTexel)];
  std::memcpy(texture->pcData, png.data(), png.size());
  return texture;
}

std::string FileStem(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  const std::size_t dot = name.find_last_of('.');
  return dot == std::string::npos ? name : name.substr(0, dot);
}

// The two maps as PNG bytes, read and made only when a stroke needs them.
struct EncodedMaps {
  std::vector<std::uint8_t> paint, sprite;
};

std::string EncodeMaps(bool meshes, bool particles, const StrokeMaps& files, EncodedMaps* maps) {
  std::string error;
  if (meshes) {
    TextureImage mesh, detail;
    if (!ReadMapFile(files.mesh, &mesh, &error) || !ReadMapFile(files.detail, &detail, &error))
      return error;
    const MapPicture paint = BakePaintMap(mesh, detail);
    if (!paint.pixels.empty())
      maps->paint = EncodePng8(paint.width, paint.height, paint.channels, paint.pixels);
  }
  if (particles) {
    TextureImage sprite;
    if (!ReadMapFile(files.particle, &sprite, &error)) return error;
    const MapPicture map = SpriteMap(sprite);
    if (!map.pixels.empty())
      maps->sprite = EncodePng8(map.width, map.height, map.channels, map.pixels);
  }
  return "";
}

// What the painting draws, counted before anything is made: which
// materials it needs, and how large its two meshes are.
struct DrawnCounts {
  bool anyMesh = false, anyParticles = false;
  std::size_t meshVertices = 0, meshFaces = 0, particles = 0;
};

DrawnCounts CountDrawn(const Canvas& canvas) {
  DrawnCounts counts;
  for (int i = 0; i < CommittedCount(canvas); ++i) {
    const Stroke& stroke = canvas.strokes[i];
    if (const Mesh* mesh = DrawnMesh(stroke)) {
      counts.anyMesh = true;
      counts.meshVertices += static_cast<std::size_t>(mesh->vertexCount);
      counts.meshFaces += static_cast<std::size_t>(mesh->faceCount);
    } else if (DrawsParticles(stroke)) {
      counts.anyParticles = true;
      for (std::size_t p = 0; p < stroke.particles.positions.size(); ++p)
        counts.particles += ParticleHasArea(stroke.particles, p) ? 1 : 0;
    }
  }
  return counts;
}

// The scene's materials and the maps they show, owned here until a scene
// takes them. A map goes where the format keeps it: embedded (glb), a PNG
// beside the file (obj), or nowhere (ply).
class Materials {
 public:
  Materials(MeshFormat format, const std::string& path, std::vector<FileBytes>* files)
      : format_(format), stem_(FileStem(path)), folder_(FolderOf(path)), files_(files) {}
  ~Materials() {
    for (aiMaterial* m : materials_) delete m;
    for (aiTexture* t : textures_) delete t;
  }
  Materials(const Materials&) = delete;
  Materials& operator=(const Materials&) = delete;

  // The painted meshes' material: dry paint, matte, not metal.
  unsigned AddPaint(const std::vector<std::uint8_t>& png) {
    aiMaterial* paint = NewMaterial("paint");
    const float metallic = 0.0f, roughness = 0.9f;
    paint->AddProperty(&metallic, 1, AI_MATKEY_METALLIC_FACTOR);
    paint->AddProperty(&roughness, 1, AI_MATKEY_ROUGHNESS_FACTOR);
    return Add(paint, png, "paint", false);
  }

  // The particles' material: unlit and blended with the sprite's alpha, as
  // the main view draws them.
  unsigned AddParticles(const std::vector<std::uint8_t>& png) {
    aiMaterial* sprite = NewMaterial("particles");
    // Assimp reads the shading model as a raw value, not as an integer.
    const aiShadingMode unlit = aiShadingMode_Unlit;
    sprite->AddBinaryProperty(&unlit, sizeof unlit, AI_MATKEY_SHADING_MODEL, aiPTI_Buffer);
    const aiString blend("BLEND");
    sprite->AddProperty(&blend, AI_MATKEY_GLTF_ALPHAMODE);
    return Add(sprite, png, "particles", true);
  }

  // A scene of `meshes` holding the materials and embedded maps.
  std::unique_ptr<aiScene> SceneOf(std::vector<aiMesh*> meshes) {
    std::unique_ptr<aiScene> scene = NewScene(std::move(meshes), std::move(materials_));
    materials_.clear();
    scene->mNumTextures = static_cast<unsigned>(textures_.size());
    if (!textures_.empty()) {
      scene->mTextures = new aiTexture*[textures_.size()];
      std::copy(textures_.begin(), textures_.end(), scene->mTextures);
      textures_.clear();
    }
    return scene;
  }

 private:
  unsigned Add(aiMaterial* material, const std::vector<std::uint8_t>& png, const char* suffix,
               bool alpha) {
    const auto index = static_cast<unsigned>(materials_.size());
    materials_.push_back(material);
    if (png.empty() || format_ == MeshFormat::kPly) return index;
    if (format_ == MeshFormat::kGlb) {
      SetColourMap(material, "*" + std::to_string(textures_.size()), alpha);
      textures_.push_back(EmbeddedPng(png, suffix));
      return index;
    }
    const std::string name = stem_ + "_" + suffix + ".png";
    SetColourMap(material, name, alpha);
    files_->push_back(FileBytes{folder_ + name, png});
    return index;
  }

  MeshFormat format_;
  std::string stem_, folder_;
  std::vector<FileBytes>* files_;
  std::vector<aiMaterial*> materials_;
  std::vector<aiTexture*> textures_;
};

// One mesh of the painted strokes and one of the particles, each stroke's
// triangles in stroke order. (Assimp's glTF writer grows its buffer by
// copying it for every mesh, which makes a mesh per stroke take seconds.)
std::vector<aiMesh*> PaintingMeshes(const Canvas& canvas, const DrawnCounts& counts,
                                    MeshFormat format, unsigned paintMaterial,
                                    unsigned particleMaterial) {
  // A PLY file carries no maps, so no coordinates into them either.
  const bool texCoords = format != MeshFormat::kPly;
  const bool linear = format == MeshFormat::kGlb;
  MeshWriter strokes{counts.anyMesh ? NewMesh("strokes", counts.meshVertices, counts.meshFaces,
                                              paintMaterial, texCoords)
                                    : nullptr,
                     linear};
  MeshWriter sprites{counts.anyParticles ? NewMesh("particles", 4 * counts.particles,
                                                   2 * counts.particles, particleMaterial, texCoords)
                                         : nullptr,
                     linear};
  for (int i = 0; i < CommittedCount(canvas); ++i) {
    const Stroke& stroke = canvas.strokes[i];
    if (const Mesh* mesh = DrawnMesh(stroke))
      strokes.AddStroke(*mesh);
    else if (DrawsParticles(stroke))
      sprites.AddParticles(stroke.particles);
  }
  std::vector<aiMesh*> meshes;
  for (aiMesh* mesh : {strokes.mesh, sprites.mesh})
    if (mesh) meshes.push_back(mesh);
  return meshes;
}

const char* AssimpFormatId(MeshFormat format) {
  return format == MeshFormat::kGlb ? "glb2" : format == MeshFormat::kObj ? "obj" : "ply";
}

}  // namespace

std::string MeshFiles(const Canvas& canvas, const std::string& path, MeshFormat format,
                      const StrokeMaps& maps, std::vector<FileBytes>* files) {
  const DrawnCounts counts = CountDrawn(canvas);
  constexpr std::size_t kLargest = 0xFFFFFFFFu;  // Assimp counts vertices in 32 bits
  if (counts.meshVertices > kLargest || 4 * counts.particles > kLargest)
    return "the painting has too many vertices for one mesh";
  EncodedMaps encoded;
  if (format != MeshFormat::kPly) {
    const std::string error = EncodeMaps(counts.anyMesh, counts.anyParticles, maps, &encoded);
    if (!error.empty()) return error;
  }
  // Materials only for what some stroke uses.
  Materials materials(format, path, files);
  const unsigned paint = counts.anyMesh ? materials.AddPaint(encoded.paint) : 0;
  const unsigned particles = counts.anyParticles ? materials.AddParticles(encoded.sprite) : 0;
  const std::unique_ptr<aiScene> scene =
      materials.SceneOf(PaintingMeshes(canvas, counts, format, paint, particles));
  const std::string error = ExportScene(*scene, AssimpFormatId(format), path, files);
  if (error.empty() && format == MeshFormat::kGlb) DropUnusedExtensions(&files->back().bytes);
  return error;
}
