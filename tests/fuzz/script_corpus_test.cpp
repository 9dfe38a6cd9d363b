// Every script the fuzzer kept (and the seeds) goes through the reader: it
// stops at a line within the text with "NAME:LINE: …", or reads as events
// that write back as lines reading as themselves.
#include <dirent.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "play/script.h"

namespace {

std::vector<std::string> CorpusFiles() {
  std::vector<std::string> files;
  const std::string folder = std::string(KELVRA_CORPUS_DIR) + "/script";
  if (DIR* dir = opendir(folder.c_str())) {
    while (const dirent* entry = readdir(dir))
      if (entry->d_name[0] != '.') files.push_back(folder + "/" + entry->d_name);
    closedir(dir);
  }
  return files;
}

TEST(ScriptCorpus, EveryFileStopsAtALineOrReadsBackAsItself) {
  const std::vector<std::string> files = CorpusFiles();
  ASSERT_GE(files.size(), 5u);
  for (const std::string& file : files) {
    SCOPED_TRACE(file);
    std::ifstream in(file, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::string error;
    const auto events = ParseScript(text, "f", &error);
    if (!events) {
      ASSERT_EQ(error.rfind("f:", 0), 0u) << error;
      const int line = std::atoi(error.c_str() + 2);
      EXPECT_GE(line, 1);
      EXPECT_LE(line, 1 + static_cast<int>(std::count(text.begin(), text.end(), '\n')));
      continue;
    }
    for (const Event& event : *events) {
      const auto reread = ParseScript(FormatEvent(event), "f", &error);
      ASSERT_TRUE(reread && reread->size() == 1) << FormatEvent(event);
      EXPECT_TRUE((*reread)[0] == event) << FormatEvent(event);
    }
  }
}

}  // namespace
