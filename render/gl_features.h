#pragma once
// What the current GL context offers, for choosing optional entry points.
// The entry-point lookup answers even for names a driver lacks, so the
// version and the extension string decide whether a name is there.

#include <GL/freeglut.h>

#include <string>

struct ContextFeatures {
  bool known = false;  // false without a current context: ask again later
  int major = 0, minor = 0;
  std::string extensions;

  bool AtLeast(int wantMajor, int wantMinor) const {
    return major > wantMajor || (major == wantMajor && minor >= wantMinor);
  }
  bool Lists(const std::string& extension) const;
};

ContextFeatures CurrentContextFeatures();

// Sets `entry` to the entry point called `name`; false where there is none.
template <typename Entry>
bool LookUpEntry(Entry& entry, const std::string& name) {
  entry = reinterpret_cast<Entry>(glutGetProcAddress(name.c_str()));
  return entry != nullptr;
}
