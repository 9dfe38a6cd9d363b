#pragma once
// Pixel transfers between client memory and the current GL context
// (glReadPixels, glTexImage2D, gluScaleImage, gluBuild2DMipmaps) start from a
// known pixel-store state and leave the context's state as they found it.
// A context keeps one pack and one unpack state for every caller: a
// read-back that left GL_PACK_ROW_LENGTH at the view's width once made the
// next gluScaleImage write rows that wide into a texture-sized buffer.

// Saves the current context's pixel-store state, then sets tightly packed
// rows for packing and unpacking alike: alignment 1, row length 0, nothing
// skipped, no byte swapping. The saved state comes back when the scope ends.
class PixelStoreScope {
 public:
  PixelStoreScope();
  ~PixelStoreScope();
  PixelStoreScope(const PixelStoreScope&) = delete;
  PixelStoreScope& operator=(const PixelStoreScope&) = delete;
};
