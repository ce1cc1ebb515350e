#include "platform/picture_files.h"

#include <SDL_image.h>

// The browser decoded every preloaded picture once, when the page loaded.
SDL_Surface* LoadPicture(const char* path) {
  if (!path) return nullptr;
  return IMG_Load(path);
}
