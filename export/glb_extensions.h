#pragma once
// Assimp's glTF writer names extensions in "extensionsUsed" that the file
// does not use (KHR_materials_volume, FB_ngon_encoding, whatever the scene):
// validators warn about each, and a reader that does not know one may
// think it misses something. The list is made to say what the file uses.

#include <cstdint>
#include <vector>

// Rewrites the JSON chunk of a glTF binary file so that "extensionsUsed"
// names only extensions that appear elsewhere in the JSON, and is left out
// when none does. Bytes that are not laid out as a glTF binary file with a
// JSON chunk first stay as they are.
void DropUnusedExtensions(std::vector<std::uint8_t>* glb);
