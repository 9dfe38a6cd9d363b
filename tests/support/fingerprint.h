#pragma once
// A hash of every field of a stroke record that a build or an edit writes
// (path, profile, sizes, bounds, meshes), or of all a painting file keeps,
// bit for bit, so that two records can be compared, or a record with one
// taken earlier. The one list of a stroke's fields the tests keep.

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
    for (float part : {v.x, v.y, v.z, v.w}) Float(part);  // not the cached length
  }
  void MeshData(const Mesh& mesh) {
    Int(mesh.vertexCount);
    Int(mesh.faceCount);
    for (int v = 0; v < mesh.vertexCount; ++v) {
      for (const Vec4* part : {&mesh.positions[v], &mesh.normals[v], &mesh.colours[v]}) Vec(*part);
      for (float t : {mesh.texCoords[v].x, mesh.texCoords[v].y}) Float(t);
    }
    for (int f = 0; f < mesh.faceCount; ++f) {
      for (int k : mesh.faces[f].vertex) Int(k);
      Vec(mesh.faces[f].normal);
    }
  }
  void Node(const StrokeNode& n) {
    for (const Vec4* v : {&n.position, &n.tangent, &n.perpendicular}) Vec(*v);
    for (float f : {n.height, n.width, n.baseHeight, n.baseWidth, n.pressure}) Float(f);
    Int(static_cast<int>(n.locked));
  }
  template <class Array>
  void Whole(const Array& values) {
    Int(static_cast<int>(values.size()));
    if (!values.empty()) Bytes(values.data(), values.size() * sizeof values[0]);
  }
  void StrokeData(const Stroke& s) {
    for (int i : {s.deleted, s.renderType, s.shapeResolution}) Int(i);
    for (float p : s.profile) Float(p);
    for (const StrokeNode& n : s.path) Node(n);
    for (const auto* colours : {&s.size.startColours, &s.size.endColours})
      for (const Vec4& c : *colours) Vec(c);
    for (float f : {s.size.widthStart, s.size.widthEnd, s.size.heightStart, s.size.heightEnd})
      Float(f);
    for (const Vec4& b : s.bounds)
      for (float f : {b.x, b.y}) Float(f);
    for (int i : {s.subdivision.levels, s.subdivision.edgeCount}) Int(i);
    for (const auto* mesh : {&s.subdivision.baseMesh, &s.subdivision.resultMesh})
      if (*mesh) MeshData(**mesh);
  }
  // All a painting file keeps of a stroke: what a build writes, and the
  // painted nodes, the edge tables and the particles besides.
  void StrokeRecord(const Stroke& s) {
    StrokeData(s);
    Int(s.size.resolution);
    for (const StrokeNode& n : s.nodes) Node(n);
    Whole(s.subdivision.edges), Whole(s.subdivision.edgeFaces), Whole(s.subdivision.faceEdges);
    Whole(s.particles.positions), Whole(s.particles.colours), Whole(s.particles.sizes);
    Int(static_cast<int>(s.particles.spriteTexture));
  }
};

inline std::string Hex(std::uint64_t v) {
  char text[20];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(v));
  return text;
}

// The fingerprint of what a build writes, or of the whole record, as text.
inline std::string Print(const Stroke& stroke, void (Fingerprint::*part)(const Stroke&)) {
  Fingerprint f;
  (f.*part)(stroke);
  return Hex(f.hash);
}
inline std::string StrokePrint(const Stroke& s) { return Print(s, &Fingerprint::StrokeData); }
inline std::string RecordPrint(const Stroke& s) { return Print(s, &Fingerprint::StrokeRecord); }
