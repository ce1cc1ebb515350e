#include "game/maze/images.h"

#include "platform/picture_files.h"

void ReloadImage(SDL_Surface** slot, const char* path) {
  if (*slot) SDL_FreeSurface(*slot);
  *slot = LoadPicture(path);
}
