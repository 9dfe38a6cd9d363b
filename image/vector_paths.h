#pragma once
// The instruction-set paths of the picture loops (filters, BGR to RGB rows).
// Every path gives the same bytes; the widest one the processor has is
// taken unless a test asks for another, so that each path can be checked
// against the plain definition on the machine the tests run on.

enum class VectorPath {
  kPlain,  // one byte at a time
  kSse2,   // 16 bytes at a time; every x86-64 processor has it
  kAvx2,   // 32 bytes at a time, with SSSE3 byte shuffles
};

bool VectorPathAvailable(VectorPath path);
// The path the loops take now.
VectorPath ActiveVectorPath();
// Makes the loops take `path`, or the widest available path below it.
void UseVectorPathForTesting(VectorPath path);
