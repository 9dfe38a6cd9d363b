// Every file of the fuzz corpus (seeds and whatever the fuzzers kept) goes
// through both readers: they must return, not crash or read out of bounds
// (the sanitizer build checks the latter).
#include <dirent.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "image/image.h"
#include "image/texture_image.h"

namespace {

std::vector<std::string> CorpusFiles() {
  std::vector<std::string> files;
  for (const char* reader : {"bmp", "texture"}) {
    const std::string folder = std::string(KELVRA_CORPUS_DIR) + "/" + reader;
    if (DIR* dir = opendir(folder.c_str())) {
      while (const dirent* entry = readdir(dir))
        if (entry->d_name[0] != '.') files.push_back(folder + "/" + entry->d_name);
      closedir(dir);
    }
  }
  return files;
}

TEST(FuzzCorpus, BothReadersSurviveEveryFile) {
  const std::vector<std::string> files = CorpusFiles();
  ASSERT_GE(files.size(), 5u);
  testing::internal::CaptureStdout();
  for (const std::string& file : files) {
    SCOPED_TRACE(file);
    BmpImage image;
    if (image.Load(file) && image.Data()) {
      ASSERT_GE(image.Width(), 0);
    }
    TextureImage texture;
    if (texture.Read(file.c_str())) {
      ASSERT_EQ(texture.rgbPixels.size(), std::size_t(texture.width) * texture.height * 3);
    }
  }
  testing::internal::GetCapturedStdout();
}

}  // namespace
