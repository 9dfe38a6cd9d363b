#pragma once
// Mesh files through Assimp: the drawn strokes as glTF binary, OBJ (with
// its material library and map pictures) or PLY. They are made in memory, each file's path and
// bytes, for WriteFileSet (export/file_set.h) to write as one.

#include <string>

#include "export/file_set.h"
#include "image/picture_source.h"
#include "stroke/stroke.h"

enum class MeshFormat { kGlb, kObj, kPly };

// The map files the strokes are drawn with; an empty name leaves that map
// out (see export/paint_maps.h).
struct StrokeMaps {
  PictureSource mesh, detail, particle;
};

// Every drawn stroke of the canvas in two meshes: "strokes", the painted
// meshes, and "particles", the particle quads, each in stroke order. Canvas
// coordinates (x right, y up, z towards the viewer, as the painter's camera
// starts: also glTF's view). Vertices as the main view sends them:
// positions, colours (clamped to 0..1, as GL clamps them), texture
// coordinates, and normals made unit and turned outwards. (The stroke
// normals point into the paint; viewers light the side the normal points
// to and expect it to agree with the winding, which is counter-clockwise
// seen from the front.) Particle quads have normal +z. Returns "" and adds
// the files to `files`, `path` last, or returns what went wrong.
//   glb: the baked paint map and the particle sprite embedded as PNG; the
//        strokes use a matte material (metallic 0, roughness 0.9) whose
//        base colour is vertex colour × paint map; the particles an unlit,
//        blended one (the main view draws them unlit, see-through where the
//        sprite is dark). They lie in the canvas plane, where the paint's
//        edges are: the main view draws them over what was drawn before
//        them, a file can only place them.
//   obj: NAME.obj, NAME.mtl and NAME_paint.png / NAME_particles.png beside
//        it; vertex colours on the "v" lines.
//   ply: ASCII (Assimp's binary writer mislabels the colours), one mesh of
//        both, colours as bytes; no maps and no texture coordinates, so
//        particles show as squares of their colour.
std::string MeshFiles(const Canvas& canvas, const std::string& path, MeshFormat format,
                      const StrokeMaps& maps, std::vector<FileBytes>* files);
