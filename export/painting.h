#pragma once
// Exporting a painting: every drawn stroke of a canvas, written in the
// format the file's extension names. Reads the canvas and the map files,
// changes nothing.

#include <string>

#include "image/picture_source.h"
#include "stroke/stroke.h"

struct ExportSettings {
  // The canvas square's side in the printed relief (.stl). The height keeps
  // the canvas's proportions (see export/relief.h): a default stroke stands
  // about 1 mm proud of a 2 mm base on 100 mm, five to ten printed layers,
  // more where crossings pile paint up; exaggerating it would distort what
  // was painted.
  float reliefSizeMm = 100.0f;
  // Height-field samples per side (.stl and .png), 2 to 2048. 512 samples
  // over 100 mm are 0.2 mm apart, half a usual nozzle's width and finer than
  // a CNC cutter: every stroke (4 mm wide at the default width) gets some 20
  // samples across, while the solid stays near half a million triangles.
  int reliefGrid = 512;
  // The map files the strokes are drawn with (the mesh, detail and particle
  // brush slots of the map table); an empty name leaves that map out.
  PictureSource meshMap, detailMap, particleMap;
  // Makes the file's missing folders, once everything else has been checked
  // and the export is about to be written.
  bool makeFolders = false;
};

// Writes every visible stroke of `canvas` to `path` in the format its
// extension names (.glb .obj .ply .stl .png, letter case ignored):
//   .glb .obj .ply  the strokes as drawn (export/mesh_files.h);
//   .stl            the relief as a closed solid in millimetres;
//   .png            the relief's height field as 16-bit grey, row 0 the top
//                   edge of the canvas: lowest → 0, highest → 65535, the bare
//                   canvas counting as height 0 (export/relief.h).
// Returns "" or what went wrong: an unknown extension, a canvas with no
// drawn stroke (nothing is written: an empty file would only puzzle the
// program that opens it), settings out of range, a map that cannot be read,
// "cannot write FILE: reason" (the system's reason for the call that
// failed). A failed export leaves every file and folder as it was: nothing
// half-written, no new folder, and an export of several files (OBJ) writes
// all or none of them.
std::string ExportPainting(const Canvas& canvas, const std::string& path,
                           const ExportSettings& settings);
