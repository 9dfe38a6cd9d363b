#include "render/gl_features.h"

#include <GL/gl.h>

#include <cstdio>

#include "platform/extensions.h"

bool ContextFeatures::Lists(const std::string& extension) const {
  return ExtensionListed(extensions, extension);
}

ContextFeatures CurrentContextFeatures() {
  ContextFeatures features;
  const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
  if (!version) return features;
  features.known = std::sscanf(version, "%d.%d", &features.major, &features.minor) >= 1;
  if (const char* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS)))
    features.extensions = extensions;
  return features;
}
