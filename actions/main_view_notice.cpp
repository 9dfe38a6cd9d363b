#include "actions/main_view_notice.h"

#include <chrono>

#include "state/state.h"

namespace {

// Long enough to read a line with a file name in it twice.
constexpr double kShownSeconds = 6;

double Now() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

}  // namespace

void ShowMainViewNotice(const std::string& line) {
  MainViewNotice& notice = AppState().notice;
  notice.text = line;
  notice.until = Now() + kShownSeconds;
  ++notice.revision;
}

void ExpireMainViewNotice() {
  MainViewNotice& notice = AppState().notice;
  if (notice.text.empty() || Now() < notice.until) return;
  notice.text.clear();
  ++notice.revision;
}
