// Every script the fuzzer kept (and the seeds) goes through the reader: it
// stops at a line within the text with "NAME:LINE: …", or reads as events
// that write back as lines reading as themselves.
#include <dirent.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>
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

// The seeds are written as the writer writes: each reads as events that
// write back as its own lines, comments and blank lines left out; the bad
// one stops at its line with what was expected.
TEST(ScriptCorpus, SeedsReadAsTheLinesTheyHold) {
  auto read = [](const char* seed) {
    std::ifstream in(std::string(KELVRA_CORPUS_DIR) + "/script/" + seed);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  };
  for (const char* seed :
       {"seed_comments", "seed_controls", "seed_keys", "seed_misc", "seed_paint"}) {
    SCOPED_TRACE(seed);
    const std::string text = read(seed);
    std::istringstream lines(text);
    std::string expected, line;
    while (std::getline(lines, line))
      if (line.find_first_not_of(" \t") != std::string::npos && line[0] != '#')
        expected += line + "\n";
    std::string error;
    const auto events = ParseScript(text, "f", &error);
    ASSERT_TRUE(events.has_value()) << error;
    std::string written;
    for (const Event& event : *events) written += FormatEvent(event) + "\n";
    EXPECT_EQ(written, expected);
  }
  std::string error;
  EXPECT_FALSE(ParseScript(read("seed_bad"), "f", &error).has_value());
  EXPECT_EQ(error, "f:1: expected a window name (main, stroke, camera, filter or size)");
}

}  // namespace
