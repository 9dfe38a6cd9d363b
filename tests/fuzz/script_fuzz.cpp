// libFuzzer target: the session-script reader on arbitrary text. A script
// either stops at a line with "NAME:LINE: what was expected", LINE within
// the text, or reads as events that write back as lines reading as
// themselves.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "play/script.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  std::string error;
  const auto events = ParseScript(text, "f", &error);
  if (!events) {
    if (error.rfind("f:", 0) != 0) std::abort();
    return 0;
  }
  for (const Event& event : *events) {
    std::string again;
    const auto reread = ParseScript(FormatEvent(event), "f", &again);
    if (!reread || reread->size() != 1 || !((*reread)[0] == event)) std::abort();
  }
  return 0;
}
