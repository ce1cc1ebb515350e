#include "game/maze/images.h"

#include "platform/picture_files.h"

void ReloadImage(SDL_Surface** slot, const char* path) {
  if (*slot) SDL_FreeSurface(*slot);
  *slot = LoadPicture(path);
}

void KeyOutWhite(SDL_Surface* image) {
  if (!image) return;
  SDL_SetColorKey(image, SDL_SRCCOLORKEY, SDL_MapRGB(image->format, 255, 255, 255));
}
