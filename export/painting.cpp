#include "export/painting.h"

#include <cctype>
#include <cmath>

#include "export/drawn.h"
#include "export/file_set.h"
#include "export/mesh_files.h"
#include "export/png.h"
#include "export/relief.h"
#include "export/stl.h"
#include "platform/atomic_file.h"

namespace {

// A 2048² solid is 8.4 million triangles and a 420 MB STL file, held whole
// in memory until it is written: past that a relief only fills memory.
constexpr int kLargestGrid = 2048;

// The text after the last dot of the file name, or "" when it has none.
std::string Extension(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  const std::size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
  return path.substr(dot + 1);
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

const char kFormats[] = "use .glb, .obj, .ply, .stl or .png";

// The files of the export, in memory, the one of `path` last.
std::string ComposeFiles(const Canvas& canvas, const std::string& path, const std::string& kind,
                         const ExportSettings& settings, std::vector<FileBytes>* files) {
  if (kind == "stl" || kind == "png") {
    if (settings.reliefGrid < 2 || settings.reliefGrid > kLargestGrid)
      return "the relief grid must be 2 to " + std::to_string(kLargestGrid) + " samples a side";
    if (kind == "stl" && (!(settings.reliefSizeMm > 0.0f) || !std::isfinite(settings.reliefSizeMm)))
      return "the relief size must be a positive number of millimetres";
    const HeightField field = SampleHeightField(canvas, settings.reliefGrid);
    if (kind == "stl") {
      files->push_back(FileBytes{path, ReliefStl(BuildReliefSolid(field, settings.reliefSizeMm))});
      return "";
    }
    files->push_back(
        FileBytes{path, EncodePngGrey16(field.size, field.size, HeightMapSamples(field))});
    return files->back().bytes.empty() ? "cannot write " + path + ": cannot encode the picture"
                                       : "";
  }
  const MeshFormat format = kind == "glb"   ? MeshFormat::kGlb
                            : kind == "obj" ? MeshFormat::kObj
                                            : MeshFormat::kPly;
  return MeshFiles(canvas, path, format,
                   StrokeMaps{settings.meshMap, settings.detailMap, settings.particleMap}, files);
}

}  // namespace

std::string ExportPainting(const Canvas& canvas, const std::string& path,
                           const ExportSettings& settings) {
  const std::string extension = Extension(path);
  const std::string kind = Lower(extension);
  if (kind != "glb" && kind != "obj" && kind != "ply" && kind != "stl" && kind != "png")
    return extension.empty() ? "no extension in \"" + path + "\": " + kFormats
                             : "unknown extension ." + extension + ": " + kFormats;
  if (!HasDrawnStrokes(canvas)) return "nothing to export: no stroke is drawn";
  // Everything that can fail without touching the disk comes first: a
  // failed export leaves no trace, not even a new folder.
  std::vector<FileBytes> files;
  std::string error = ComposeFiles(canvas, path, kind, settings, &files);
  if (error.empty() && settings.makeFolders) {
    if (const std::string reason = MakeFoldersOf(path); !reason.empty())
      error = "cannot write " + path + ": " + reason;
  }
  return error.empty() ? WriteFileSet(files) : error;
}
