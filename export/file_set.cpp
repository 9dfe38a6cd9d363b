#include "export/file_set.h"

#include <unistd.h>

#include <algorithm>

AtomicFile* AtomicFileSet::Add(const std::string& path) {
  entries_.erase(std::remove_if(entries_.begin(), entries_.end(),
                                [&path](const Entry& entry) { return entry.path == path; }),
                 entries_.end());
  auto file = std::make_unique<AtomicFile>(path);
  std::string error;
  if (!file->Open(&error)) {
    if (error_.empty()) error_ = error;
    return nullptr;
  }
  entries_.push_back(Entry{path, std::move(file)});
  return entries_.back().file.get();
}

bool AtomicFileSet::CommitAll(const std::string& last, std::string* error) {
  if (!error_.empty()) {
    if (error) *error = error_;
    return false;
  }
  std::stable_partition(entries_.begin(), entries_.end(),
                        [&last](const Entry& entry) { return entry.path != last; });
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    if (entries_[i].file->Commit(error)) continue;
    for (std::size_t j = 0; j < i; ++j) ::unlink(entries_[j].path.c_str());
    return false;
  }
  return true;
}
