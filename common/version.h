#pragma once
// The version of Kelvra, from the build (CMake's project version).
#ifndef KELVRA_VERSION
#define KELVRA_VERSION "unknown"
#endif
