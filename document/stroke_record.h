#pragma once
// One stroke as the file keeps it: a binary little-endian record of every
// field a stroke holds that the geometry core cannot make again from the
// others, as the stroke stands (its path after pile-ups, the widths,
// heights and locks the crossings left, its particles). Meshes, edge
// tables and GL names are not kept: opening rebuilds the meshes with
// BuildMesh, which reads only kept fields (the path's positions,
// perpendiculars, widths and heights, the profile, both colour arrays, the
// shape resolution and the subdivision levels), so the rebuilt meshes and
// edge table equal the saved ones. The bounds are kept: the build computes
// them once, and later rebuilds and pile-ups leave them as they were.
//
// Each stroke is encoded on its own so that an autosave can keep the
// records of the strokes no action touched and encode only the changed.

#include <cstdint>
#include <memory>
#include <string>

#include "document/limits.h"
#include "document/painting.h"
#include "stroke/stroke.h"

struct EncodedStroke {
  Bytes bytes;
  // False when a number of the stroke is NaN or infinite: such a stroke
  // could not be opened again, so a save refuses it.
  bool finite = true;
};

// A deleted stroke is encoded whole: rebuilding it ("Update") brings it
// back as it was.
std::shared_ptr<const EncodedStroke> EncodeStroke(const Stroke& stroke);

// Decodes one record of a file of format 1.`formatMinor` into `stroke`,
// which is fresh. A 1.0 record has no pressures (its nodes keep pressure
// 1); a newer minor format's records may carry fields after ours
// (skipped); from our own format or an older one, bytes past the record are
// an error.
// False with `error` saying what is wrong (no file name, no stroke number).
// The meshes are not built: a stroke that had one gets an empty base mesh,
// for RebuildStroke.
bool DecodeStroke(const std::uint8_t* data, std::size_t size, int formatMinor,
                  const DocumentLimits& limits, Stroke& stroke, std::string& error);

// The bytes the meshes of a decoded stroke take once rebuilt: the base
// mesh's and the subdivided one's vertex and face arrays.
std::uint64_t MeshBytes(const Stroke& stroke);

// Builds the meshes of a decoded stroke from its fields, and keeps its reach.
void RebuildStroke(Stroke& stroke);
