#include "export/glb_extensions.h"

#include <string>

namespace {

constexpr std::size_t kHeaderBytes = 12, kChunkHeaderBytes = 8;
constexpr std::uint32_t kMagic = 0x46546C67;      // "glTF"
constexpr std::uint32_t kJsonChunk = 0x4E4F534A;  // "JSON"

std::uint32_t WordAt(const std::vector<std::uint8_t>& bytes, std::size_t offset) {
  std::uint32_t word = 0;
  for (int k = 3; k >= 0; --k) word = word << 8 | bytes[offset + k];
  return word;
}

void PutWordAt(std::vector<std::uint8_t>& bytes, std::size_t offset, std::size_t value) {
  for (int k = 0; k < 4; ++k) bytes[offset + k] = static_cast<std::uint8_t>(value >> (8 * k));
}

std::size_t SkipBlanks(const std::string& json, std::size_t at) {
  const std::size_t next = json.find_first_not_of(" \t\r\n", at);
  return next == std::string::npos ? json.size() : next;
}

// Reads the array of plain names that opens at `open` ('['); false when it
// is something else. `end` is where the array ends (past its ']').
bool ReadNames(const std::string& json, std::size_t open, std::vector<std::string>* names,
               std::size_t* end) {
  if (open >= json.size() || json[open] != '[') return false;
  std::size_t at = SkipBlanks(json, open + 1);
  while (at < json.size() && json[at] != ']') {
    if (json[at] != '"') return false;
    const std::size_t close = json.find('"', at + 1);
    if (close == std::string::npos) return false;
    names->push_back(json.substr(at + 1, close - at - 1));
    at = SkipBlanks(json, close + 1);
    if (at < json.size() && json[at] == ',') at = SkipBlanks(json, at + 1);
  }
  if (at >= json.size()) return false;
  *end = at + 1;
  return true;
}

// True when "name", quoted, appears in the JSON outside [from, to): an
// extension is used where it names an "extensions" member.
bool NamedOutside(const std::string& json, const std::string& name, std::size_t from,
                  std::size_t to) {
  const std::string quoted = '"' + name + '"';
  for (std::size_t at = json.find(quoted); at != std::string::npos; at = json.find(quoted, at + 1))
    if (at < from || at >= to) return true;
  return false;
}

// The JSON with "extensionsUsed" naming only what is used; unchanged when
// nothing needs to go.
std::string WithUsedExtensions(const std::string& json) {
  const std::string key = "\"extensionsUsed\"";
  const std::size_t member = json.find(key);
  if (member == std::string::npos) return json;
  const std::size_t colon = SkipBlanks(json, member + key.size());
  if (colon >= json.size() || json[colon] != ':') return json;
  const std::size_t open = SkipBlanks(json, colon + 1);
  std::vector<std::string> names;
  std::size_t end = 0;
  if (!ReadNames(json, open, &names, &end)) return json;
  std::string kept;
  std::size_t keptCount = 0;
  for (const std::string& name : names) {
    if (!NamedOutside(json, name, member, end)) continue;
    kept += (keptCount++ == 0 ? "\"" : ",\"") + name + '"';
  }
  if (keptCount == names.size()) return json;
  if (keptCount > 0) return json.substr(0, open) + "[" + kept + "]" + json.substr(end);
  // No extension left: the member goes, with the comma that parts it from
  // its neighbour (glTF allows no empty list here).
  const std::size_t before =
      member == 0 ? std::string::npos : json.find_last_not_of(" \t\r\n", member - 1);
  if (before != std::string::npos && json[before] == ',')
    return json.substr(0, before) + json.substr(end);
  const std::size_t after = SkipBlanks(json, end);
  if (after < json.size() && json[after] == ',')
    return json.substr(0, member) + json.substr(after + 1);
  return json.substr(0, member) + json.substr(end);
}

}  // namespace

void DropUnusedExtensions(std::vector<std::uint8_t>* glb) {
  std::vector<std::uint8_t>& bytes = *glb;
  const std::size_t jsonStart = kHeaderBytes + kChunkHeaderBytes;
  if (bytes.size() < jsonStart || WordAt(bytes, 0) != kMagic ||
      WordAt(bytes, kHeaderBytes + 4) != kJsonChunk)
    return;
  const std::size_t jsonBytes = WordAt(bytes, kHeaderBytes);
  if (jsonBytes > bytes.size() - jsonStart) return;
  const std::string json(bytes.begin() + jsonStart, bytes.begin() + jsonStart + jsonBytes);
  std::string tidy = WithUsedExtensions(json);
  if (tidy == json) return;
  // Chunks stay 4-byte aligned; the JSON chunk is padded with blanks.
  tidy.resize((tidy.size() + 3) / 4 * 4, ' ');
  std::vector<std::uint8_t> rebuilt(bytes.begin(), bytes.begin() + jsonStart);
  rebuilt.insert(rebuilt.end(), tidy.begin(), tidy.end());
  rebuilt.insert(rebuilt.end(), bytes.begin() + jsonStart + jsonBytes, bytes.end());
  PutWordAt(rebuilt, kHeaderBytes, tidy.size());
  PutWordAt(rebuilt, 8, rebuilt.size());
  bytes.swap(rebuilt);
}
