#pragma once
// Whole files in and out. Writing goes through a temporary file beside the
// target that is synced before it is renamed over it, and the folder is
// synced after: at every moment the target is either the old file or the
// whole new one, even across a power cut, and a failure (a full disk, a
// folder that cannot be written) leaves the old file as it was.

#include <cstdint>
#include <string>

#include "document/painting.h"

// False with `error` = "cannot save PATH: <the system's reason>".
bool WriteFileDurably(const std::string& path, const Bytes& bytes, std::string& error);
// False with `error` = "cannot open PATH: <reason>"; a file larger than
// `cap` bytes is refused before it is read.
bool ReadWholeFile(const std::string& path, std::uint64_t cap, Bytes& bytes, std::string& error);
