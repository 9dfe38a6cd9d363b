#pragma once
// Butterfly subdivision of a stroke's base mesh. Each level splits every
// triangle in four around new edge vertices:
//
//          w1 ---- c ---- w2          new vertex n on edge a–b:
//            \    / \    /            n = (a + b)/2 + (c + d)/8
//             \  /   \  /                 − (w1 + w2 + w3 + w4)/16
//              a ----- b              when all eight stencil vertices
//             /  \   /  \             exist, else the plain midpoint
//            /    \ /    \            (tension 0).
//          w3 ---- d ---- w4
//
// Edges are numbered in order of first appearance; the table is indexed by
// vertex pair, so finding an edge is a lookup, not a scan, and it keeps each
// face's three edge numbers, so the steps after it need no lookup at all.

#include "stroke/stroke.h"

// Runs `levels` levels from the base mesh into the result mesh.
void Subdivide(MeshSubdivision& subdivision);

// Every face's edges in face order, with the per-face edge numbers.
void BuildEdgeTable(MeshSubdivision& table, const Mesh& mesh);
// Appends edge (a, b) of `face`, or makes `face` its second face; returns
// its number.
int AddEdge(MeshSubdivision& table, int a, int b, int face);
// Number of the edge joining a and b in either orientation, or −1.
int FindEdge(const MeshSubdivision& table, int a, int b);
// Both read the per-face edge numbers when the table has them for
// `current`, and look edges up by vertex pair otherwise.
void ButterflyEdgeVertices(const MeshSubdivision& table, const Mesh& current, Mesh& next);
void SplitFaces(const MeshSubdivision& table, const Mesh& current, Mesh& next);
