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
  void Node(const StrokeNode& n) {
    Vec(n.position);
    Vec(n.tangent);
    Vec(n.perpendicular);
    Float(n.height);
    Float(n.width);
    Float(n.baseHeight);
    Float(n.baseWidth);
    Float(n.pressure);
    Int(static_cast<int>(n.locked));
  }
  template <class Array>
  void Whole(const Array& values) {
    Int(static_cast<int>(values.size()));
    if (!values.empty()) Bytes(values.data(), values.size() * sizeof values[0]);
  }
  void StrokeData(const Stroke& s) {
    Int(s.deleted);
    Int(s.renderType);
    Int(s.shapeResolution);
    for (float p : s.profile) Float(p);
    for (const StrokeNode& n : s.path) Node(n);
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
  // All a painting file keeps of a stroke: what a build writes, and the
  // painted nodes, the edge tables and the particles besides.
  void StrokeRecord(const Stroke& s) {
    StrokeData(s);
    Int(s.size.resolution);
    for (const StrokeNode& n : s.nodes) Node(n);
    Whole(s.subdivision.edges);
    Whole(s.subdivision.edgeFaces);
    Whole(s.subdivision.faceEdges);
    Whole(s.particles.positions);
    Whole(s.particles.colours);
    Whole(s.particles.sizes);
    Int(static_cast<int>(s.particles.spriteTexture));
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

inline std::string RecordPrint(const Stroke& stroke) {
  Fingerprint f;
  f.StrokeRecord(stroke);
  return Hex(f.hash);
}
