#pragma once
// Painting documents (.kelvra): saving a painting to a file and opening it
// again. A file is a zip whose first entry, "mimetype", names the type;
// "manifest.json" holds the format version, the writer and the settings;
// "strokes.bin" every stroke's binary record; "maps/*.bmp" the maps the
// painting uses; "filtered.bmp" the picture under "Paper ON";
// "thumbnail.png" a small picture of it (docs/painting-format.md).
//
// Saving is safe on a worker thread: it reads only the snapshot it is
// given and touches no global state. Opening builds meshes (the geometry
// core numbers them from one counter), so it belongs on the thread that
// owns the strokes.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "document/limits.h"
#include "document/painting.h"
#include "document/stroke_record.h"

// The "mimetype" entry's content.
constexpr char kPaintingMimeType[] = "application/x-kelvra-painting";

// A painting ready to be written: every stroke already encoded, and the
// large parts shared, not copied. The program's autosave keeps one, swaps
// in new encodings of the strokes an action changed and hands a copy to
// its writer thread: copying a snapshot copies pointers.
struct PaintingSnapshot {
  std::vector<std::shared_ptr<const EncodedStroke>> strokes;  // slot order
  int selectedStroke = 0;
  PaintingSettings settings;
  std::vector<std::shared_ptr<const EmbeddedMap>> maps;
  std::shared_ptr<const Bytes> filteredPicture;  // none when null or empty
  std::shared_ptr<const Bytes> thumbnail;        // none when null or empty
};

// Encodes every stroke and shares copies of the rest.
PaintingSnapshot SnapshotOf(const Painting& painting);

// The file's bytes. False with `error` (what is wrong, no file name) when
// the snapshot cannot be written so that it opens again: a number that is
// not finite, a selection past the strokes, more strokes than a canvas
// holds, a map of a slot no painting embeds, or a slot twice.
bool EncodePainting(const PaintingSnapshot& snapshot, Bytes& file, std::string& error);

// Writes the file whole or not at all (platform/atomic_file.h). False
// with `error` = "cannot save PATH: reason".
bool SavePainting(const std::string& path, const PaintingSnapshot& snapshot, std::string& error);
bool SavePainting(const std::string& path, const Painting& painting, std::string& error);

// What opening gives: a complete painting, or nothing and one line naming
// the file and what is wrong. `note` is set when a newer minor format
// wrote the file (it opens; what it added is left out): the caller prints
// it on stderr.
struct OpenedPainting {
  bool Ok() const { return error.empty(); }
  Painting painting;
  std::string note;
  std::string error;
  // Of the bytes read (HashOfBytes), so that the opener can tell later
  // whether the file still holds what it opened.
  std::uint64_t fileHash = 0;
};

// A hash of a file's bytes, to tell within one run whether a file changed.
std::uint64_t HashOfBytes(const Bytes& bytes);

// Opens a painting from the file's bytes; `fileName` names it in messages.
OpenedPainting ReadPainting(const std::uint8_t* data, std::size_t size, const std::string& fileName,
                            const DocumentLimits& limits = DocumentLimits());
OpenedPainting OpenPainting(const std::string& path,
                            const DocumentLimits& limits = DocumentLimits());

// The thumbnail's PNG bytes of the painting file at `path`, read without
// opening the painting: a file manager asks for the picture of every file
// a folder shows, so only the archive's directory, its type and the
// thumbnail entry are read from the file (no manifest, no stroke, no
// mesh), the archive refused as opening refuses it. False with `error` =
// "cannot open PATH: reason" (a folder, a missing file) or "PATH: what is
// wrong" ("it holds no thumbnail" for a painting saved without one).
bool ReadThumbnail(const std::string& path, Bytes& png, std::string& error,
                   const DocumentLimits& limits = DocumentLimits());
