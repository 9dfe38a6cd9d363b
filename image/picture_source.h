#pragma once
// Where a picture's bytes come from: its file, or bytes already in memory
// (the maps a painting carries inside its document). The readers take
// either the same way.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct PictureSource {
  std::string path;  // read when there are no bytes; letter case is folded
  std::shared_ptr<const std::vector<std::uint8_t>> bytes;

  PictureSource() = default;
  PictureSource(std::string file, std::shared_ptr<const std::vector<std::uint8_t>> data)
      : path(std::move(file)), bytes(std::move(data)) {}
  PictureSource(std::string file) : path(std::move(file)) {}  // NOLINT: a path is a source
  PictureSource(const char* file) : path(file ? file : "") {}  // NOLINT
};
