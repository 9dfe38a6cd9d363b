// Every file of a fuzz corpus (the seeds, and whatever the fuzzer kept)
// goes through its fuzz target's own checks, linked in beside this file:
// the picture readers', the document target's (opened, a painting that
// saves and opens again; refused, one line naming the file) or the
// thumbnailer's. The sanitizer build also checks that no read goes out of
// bounds.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/console.h"
#include "tests/support/corpus.h"
#include "tests/support/pictures.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

TEST(FuzzCorpus, EveryFileKeepsTheTargetsRules) {
  const std::vector<std::string> files = CorpusFiles(KELVRA_CORPUS_DIR, KELVRA_CORPUS_NAME);
  ASSERT_GE(files.size(), 5u);
  for (const std::string& file : files) {
    SCOPED_TRACE(file);
    const Bytes bytes = ReadBytes(file);
    std::fprintf(stderr, "%s\n", file.c_str());  // named before a broken rule stops the run
    Quietly([&] { LLVMFuzzerTestOneInput(bytes.data(), bytes.size()); });  // a reader's complaints
  }
}

}  // namespace
