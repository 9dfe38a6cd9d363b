// Every file of the document fuzz corpus (the seeds, and whatever the
// fuzzer kept) goes through the fuzz target's own checks: opened, a
// painting that saves and opens again; refused, one line naming the file.
// The sanitizer build also checks that no read goes out of bounds.
#include <dirent.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/pictures.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

TEST(DocumentFuzzCorpus, EveryFileOpensAsAPaintingOrIsRefusedInOneLine) {
  const std::string folder = std::string(KELVRA_CORPUS_DIR) + "/document";
  std::vector<std::string> files;
  if (DIR* dir = opendir(folder.c_str())) {
    while (const dirent* entry = readdir(dir))
      if (entry->d_name[0] != '.') files.push_back(folder + "/" + entry->d_name);
    closedir(dir);
  }
  ASSERT_GE(files.size(), 5u);
  for (const std::string& file : files) {
    SCOPED_TRACE(file);
    const Bytes bytes = ReadBytes(file);
    std::fprintf(stderr, "%s\n", file.c_str());  // named before a broken rule stops the run
    LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
  }
}

}  // namespace
