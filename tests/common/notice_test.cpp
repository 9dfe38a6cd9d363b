// Notices caught while a CaughtNotices lives: kept by the innermost one, in
// order, instead of printed; other threads, and the thread once it ends,
// print as ever.
#include "common/notice.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

TEST(CaughtNotices, KeepTheirThreadsLinesInsteadOfPrintingThem) {
  testing::internal::CaptureStderr();
  {
    CaughtNotices outer;
    Notice("saved a.kelvra");
    {
      CaughtNotices inner;
      Notice("cannot open b.kelvra: No such file or directory");
      EXPECT_EQ(inner.Lines(), Lines{"cannot open b.kelvra: No such file or directory"});
    }
    std::thread([] { Notice("written by another thread"); }).join();
    Notice("opened c.kelvra");
    EXPECT_EQ(outer.Lines(), (Lines{"saved a.kelvra", "opened c.kelvra"}));
  }
  Notice("printed again");
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "kelvra: written by another thread\nkelvra: printed again\n");
}

}  // namespace
