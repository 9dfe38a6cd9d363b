#pragma once
// A hash of every field of a stroke record that a build or an edit writes
// (path, profile, sizes, bounds, meshes), bit for bit, so that two records
// can be compared, or a record with one taken earlier.

#include <cstdint>
#include <cstdio>
#include <string>

#include "stroke/stroke.h"

struct Fingerprint {
  std::uint64_t hash = 1469598103934665603ull;
  void Bytes(const void* data, std::size_t size) {
    const auto* p = static_cast<const unsigned char*>(data);
    for (std::size_t i = 0; i < size; ++i) hash = (hash ^ p[i]) * 1099511628211ull;
  }
  void Float(float v) { Bytes(&v, sizeof v); }
  void Int(int v) { Bytes(&v, sizeof v); }
  void Vec(const Vec4& v) {
    Float(v.x);
    Float(v.y);
    Float(v.z);
    Float(v.w);
  }
  void MeshData(const Mesh& mesh) {
    Int(mesh.vertexCount);
    Int(mesh.faceCount);
    for (int v = 0; v < mesh.vertexCount; ++v) {
      Vec(mesh.positions[v]);
      Vec(mesh.normals[v]);
      Vec(mesh.colours[v]);
      Float(mesh.texCoords[v].x);
      Float(mesh.texCoords[v].y);
    }
    for (int f = 0; f < mesh.faceCount; ++f) {
      for (int k : mesh.faces[f].vertex) Int(k);
      Vec(mesh.faces[f].normal);
    }
  }
  void StrokeData(const Stroke& s) {
    Int(s.deleted);
    Int(s.renderType);
    Int(s.shapeResolution);
    for (float p : s.profile) Float(p);
    for (const StrokeNode& n : s.path) {
      Vec(n.position);
      Vec(n.tangent);
      Vec(n.perpendicular);
      Float(n.height);
      Float(n.width);
      Float(n.baseHeight);
      Float(n.baseWidth);
      Int(static_cast<int>(n.locked));
    }
    for (const Vec4& c : s.size.startColours) Vec(c);
    for (const Vec4& c : s.size.endColours) Vec(c);
    Float(s.size.widthStart);
    Float(s.size.widthEnd);
    Float(s.size.heightStart);
    Float(s.size.heightEnd);
    for (const Vec4& b : s.bounds) {
      Float(b.x);
      Float(b.y);
    }
    Int(s.subdivision.levels);
    Int(s.subdivision.edgeCount);
    if (s.subdivision.baseMesh) MeshData(*s.subdivision.baseMesh);
    if (s.subdivision.resultMesh) MeshData(*s.subdivision.resultMesh);
  }
};

inline std::string Hex(std::uint64_t v) {
  char text[20];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(v));
  return text;
}

// The fingerprint of one record, as text.
inline std::string StrokePrint(const Stroke& stroke) {
  Fingerprint f;
  f.StrokeData(stroke);
  return Hex(f.hash);
}
