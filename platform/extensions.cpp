#include "platform/extensions.h"

#include <sstream>

bool ExtensionListed(const std::string& extensions, const std::string& name) {
  std::istringstream tokens(extensions);
  std::string token;
  while (tokens >> token) {
    if (token == name) return true;
  }
  return false;
}
