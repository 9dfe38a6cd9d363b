#pragma once
// manifest.json: the format version, the program that wrote the file, the
// painting's settings, and what the other entries hold. Reading takes a
// missing field for its default and skips fields it does not know, so
// files of a newer minor format open; a field of the wrong kind or out of
// range is refused.

#include <cstdint>
#include <string>
#include <vector>

#include "document/painting.h"

// The format this program writes. A newer minor number only adds what an
// older reader may skip; a newer major number changes what is there.
constexpr int kFormatMajor = 1;
constexpr int kFormatMinor = 1;  // 1.1: each node's pen pressure

struct Manifest {
  int formatMajor = kFormatMajor;
  int formatMinor = kFormatMinor;
  // "Kelvra <version>"; as messages quote it: control characters made
  // '?', "a newer Kelvra" when the file does not say.
  std::string writer;
  PaintingSettings settings;
  std::uint64_t strokeCount = 0;
  int selectedStroke = 0;
  std::vector<EmbeddedMap> maps;  // slots and file names; the bytes are entries of their own
  bool filteredPicture = false;
  bool thumbnail = false;
};

// The entries besides the manifest. Their names are fixed: the manifest
// names them too, for whoever reads it, but a reader never looks up a name
// the file gives.
constexpr char kStrokesEntry[] = "strokes.bin";
constexpr char kFilteredEntry[] = "filtered.bmp";
constexpr char kThumbnailEntry[] = "thumbnail.png";
// The entry that holds the map of `slot` ("maps/mesh.bmp", ...).
std::string MapEntryName(MapSlot slot);

// Fails (with `error`) when a setting is NaN or infinite: such a file
// would not open again.
bool WriteManifest(const Manifest& manifest, std::string& json, std::string& error);

// Reads the version first: a newer major format is refused with the writer
// it names, before anything else is looked at.
bool ReadManifest(const Bytes& json, Manifest& manifest, std::string& error);
