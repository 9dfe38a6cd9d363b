#pragma once
// The relief mesh of a stroke: the cross-section swept along the path, two
// triangles per cell, no vertex shared between triangles (the normals and
// the subdivision depend on that).

#include "stroke/stroke.h"

void AllocateVertices(Mesh& mesh, int count);
void AllocateFaces(Mesh& mesh, int count);
Mesh CloneMesh(const Mesh& mesh);
// A new content id for a mesh just made (Mesh::id).
std::uint64_t NewMeshId();
// Face normal (P1 − P2) × (P0 − P1), added to each corner's normal.
void ComputeVertexNormals(Mesh& mesh);
// s, t = 2 × (x − min) / extent; an axis of zero extent gets 0 (a stroke
// drawn straight along one axis must not produce NaN coordinates).
void ComputePlanarTexCoords(Mesh& mesh);

// Base mesh from path, profile and sizes, then `subdivisionLevels` levels.
void BuildMesh(Stroke& stroke, int subdivisionLevels);
