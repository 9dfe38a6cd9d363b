#pragma once
// The files of one fuzz corpus folder (tests/fuzz/corpus/NAME), seeds and
// whatever the fuzzers kept, as paths; none when the folder is missing.

#include <dirent.h>

#include <string>
#include <vector>

inline std::vector<std::string> CorpusFiles(const std::string& corpus, const std::string& name) {
  std::vector<std::string> files;
  const std::string folder = corpus + "/" + name;
  if (DIR* dir = opendir(folder.c_str())) {
    while (const dirent* entry = readdir(dir))
      if (entry->d_name[0] != '.') files.push_back(folder + "/" + entry->d_name);
    closedir(dir);
  }
  return files;
}
