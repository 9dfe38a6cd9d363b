#include "document/brush.h"

extern "C" {
#include <libavutil/base64.h>
}

#include <algorithm>
#include <climits>

#include "document/settings_json.h"
#include "platform/atomic_file.h"
#include "platform/files.h"

using nlohmann::json;

namespace {

// A brush nests three levels; more is refused before parsing.
constexpr int kMaxNesting = 8;

std::string Base64Of(const Bytes& bytes) {
  std::string text(AV_BASE64_SIZE(bytes.size()), '\0');
  av_base64_encode(text.data(), static_cast<int>(text.size()), bytes.data(),
                   static_cast<int>(bytes.size()));
  text.resize(text.size() - 1);  // the encoder's terminating zero
  return text;
}

// The decoder stops at the first letter that is not base64: the text is
// taken only when the bytes encode back to it whole.
bool BytesOfBase64(const std::string& text, Bytes& bytes) {
  bytes.resize(static_cast<std::size_t>(AV_BASE64_DECODE_SIZE(text.size())) + 3);
  const int size = av_base64_decode(bytes.data(), text.c_str(), static_cast<int>(bytes.size()));
  if (size < 0) return false;
  bytes.resize(static_cast<std::size_t>(size));
  return Base64Of(bytes) == text;
}

std::uint32_t BigEndian32(const Bytes& bytes, std::size_t at) {
  return std::uint32_t(bytes[at]) << 24 | std::uint32_t(bytes[at + 1]) << 16 |
         std::uint32_t(bytes[at + 2]) << 8 | bytes[at + 3];
}

// "" when `png` is a PNG whose header gives a size a brush's picture may
// have; the pixels are decoded, within that size, only when shown.
std::string PictureProblem(const Bytes& png) {
  static const std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  if (png.size() < 24 || !std::equal(kSignature, kSignature + 8, png.begin()) ||
      std::string(png.begin() + 12, png.begin() + 16) != "IHDR")
    return "is not a PNG picture";
  const std::uint32_t width = BigEndian32(png, 16), height = BigEndian32(png, 20);
  if (width == 0 || height == 0 || width > kBrushPictureMostSide || height > kBrushPictureMostSide)
    return "is a picture of " + std::to_string(width) + " x " + std::to_string(height) +
           " pixels, not 1 to " + std::to_string(kBrushPictureMostSide) + " a side";
  return "";
}

}  // namespace

std::string BrushMapNameProblem(const std::string& name) {
  if (name.size() > kBrushMapNameBytes)
    return "is longer than " + std::to_string(kBrushMapNameBytes) + " bytes";
  if (name.find('/') != std::string::npos || name.find('\\') != std::string::npos ||
      name.find("..") != std::string::npos || name == ".")
    return "is a path, not a file name within its folder";
  for (const char c : name)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return "holds a control character";
  return "";
}

bool EncodeBrush(const Brush& brush, Bytes& file, std::string& error) {
  OrderedJson maps = OrderedJson::object();
  for (std::size_t i = 0; i < kBrushMapCount; ++i) {
    if (brush.maps[i].empty()) continue;
    if (const std::string problem = BrushMapNameProblem(brush.maps[i]); !problem.empty()) {
      error = std::string("the ") + kBrushMapSlots[i].key + " map's name " + problem;
      return false;
    }
    maps[kBrushMapSlots[i].key] = brush.maps[i];
  }
  OrderedJson root = {{"format", {{"major", kBrushFormatMajor}, {"minor", kBrushFormatMinor}}},
                      {"settings", GroupJson(brush.settings)},
                      {"maps", maps}};
  if (!brush.picture.empty()) root["picture"] = Base64Of(brush.picture);
  if (!AllFinite(root)) {
    error = "a setting is not a finite number";
    return false;
  }
  const std::string text = root.dump(1, ' ', false, OrderedJson::error_handler_t::replace) + "\n";
  file.assign(text.begin(), text.end());
  return true;
}

bool DecodeBrush(const Bytes& file, Brush& brush, std::string& error) {
  error.clear();
  if (file.size() > kBrushFileBytes) {
    error = "it holds " + std::to_string(file.size()) + " bytes, more than a brush's " +
            std::to_string(kBrushFileBytes);
    return false;
  }
  if (!NestingWithin(file, kMaxNesting)) {
    error = "it nests deeper than " + std::to_string(kMaxNesting) + " levels";
    return false;
  }
  const json root = json::parse(file.begin(), file.end(), nullptr, false);
  if (root.is_discarded() || !root.is_object()) {
    error = "it is not a JSON object (cut short, or not a brush)";
    return false;
  }
  JsonFields fields(&root, "", error, "");
  if (!fields.Has("format")) {
    error = "it names no format version: not a brush";
    return false;
  }
  JsonFields format = fields.Object("format");
  int major = -1, minor = 0;
  format.Int("major", major, 0, INT_MAX);
  format.Int("minor", minor, 0, INT_MAX);
  if (!error.empty()) return false;
  if (major != kBrushFormatMajor) {
    error = "it is in brush format " + std::to_string(major) + "." + std::to_string(minor) +
            "; this Kelvra reads format " + std::to_string(kBrushFormatMajor) + " only";
    return false;
  }
  Brush read;
  ReadGroup(fields.Object("settings"), read.settings);
  JsonFields maps = fields.Object("maps");
  for (std::size_t i = 0; i < kBrushMapCount && error.empty(); ++i) {
    const char* key = kBrushMapSlots[i].key;
    maps.String(key, read.maps[i], kBrushMapNameBytes);
    if (error.empty())
      if (const std::string problem = BrushMapNameProblem(read.maps[i]); !problem.empty())
        maps.Fail(key, problem);
  }
  std::string picture;
  fields.String("picture", picture, kBrushFileBytes);
  if (error.empty() && !picture.empty()) {
    if (!BytesOfBase64(picture, read.picture))
      fields.Fail("picture", "is not base64 text");
    else if (const std::string problem = PictureProblem(read.picture); !problem.empty())
      fields.Fail("picture", problem);
  }
  if (!error.empty()) return false;
  brush = std::move(read);
  return true;
}

bool SaveBrush(const std::string& path, const Brush& brush, std::string& error) {
  Bytes file;
  if (!EncodeBrush(brush, file, error)) {
    error = "cannot save " + path + ": " + error;
    return false;
  }
  return WriteFileWhole(path, file, &error, "save");
}

bool LoadBrush(const std::string& path, Brush& brush, std::string& error) {
  Bytes file;
  if (std::string reason = ReadWholeFile(path, kBrushFileBytes, &file); !reason.empty()) {
    error = "cannot read " + path + ": " + reason;
    return false;
  }
  if (!DecodeBrush(file, brush, error)) {
    error = path + ": " + error;
    return false;
  }
  return true;
}
