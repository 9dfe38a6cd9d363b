#pragma once
// OpenGL extension support, decided by the extension string alone: on Mesa
// the entry-point lookup answers even for names that do not exist.

#include <string>

// True when `name` is one of the space-separated tokens of `extensions`
// (an exact token, so "GL_ARB_multitexture" is not found inside
// "GL_ARB_multitexture_foo").
bool ExtensionListed(const std::string& extensions, const std::string& name);
