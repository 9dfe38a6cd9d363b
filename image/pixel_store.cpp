#include "image/pixel_store.h"

#include <GL/gl.h>

#include <initializer_list>

PixelStoreScope::PixelStoreScope() {
  glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
  for (const GLenum alignment : {GL_PACK_ALIGNMENT, GL_UNPACK_ALIGNMENT})
    glPixelStorei(alignment, 1);
  for (const GLenum zero :
       {GL_PACK_ROW_LENGTH, GL_PACK_SKIP_ROWS, GL_PACK_SKIP_PIXELS, GL_PACK_IMAGE_HEIGHT,
        GL_PACK_SKIP_IMAGES, GL_PACK_SWAP_BYTES, GL_PACK_LSB_FIRST, GL_UNPACK_ROW_LENGTH,
        GL_UNPACK_SKIP_ROWS, GL_UNPACK_SKIP_PIXELS, GL_UNPACK_IMAGE_HEIGHT, GL_UNPACK_SKIP_IMAGES,
        GL_UNPACK_SWAP_BYTES, GL_UNPACK_LSB_FIRST})
    glPixelStorei(zero, 0);
}

PixelStoreScope::~PixelStoreScope() { glPopClientAttrib(); }
