#include "game/screens/screen_kit.h"

#include "common/Condition.h"
#include "platform/surface_fill.h"
#include "game/flow/globals.h"

SDL_Rect At(int x, int y) {
  SDL_Rect r{};
  r.x = static_cast<Sint16>(x);
  r.y = static_cast<Sint16>(y);
  return r;
}

SDL_Surface* RenderText(TTF_Font* font, const char* text, SDL_Color colour) {
  // SDL_ttf dereferences the font without a check.
  if (!font || !text) return nullptr;
  return TTF_RenderText_Blended(font, text, colour);
}

void FillGrey(SDL_Surface* surface, const SDL_PixelFormat* format, int grey) {
  if (!surface || !format) return;
  const Uint8 g = static_cast<Uint8>(grey & 0xFF);
  FillWhole(surface, SDL_MapRGB(const_cast<SDL_PixelFormat*>(format), g, g, g));
}

void SetWhiteKey(SDL_Surface* image) {
  if (!image) return;
  SDL_SetColorKey(image, SDL_SRCCOLORKEY, SDL_MapRGB(image->format, 255, 255, 255));
}

SDL_Surface* MakePlate(int width) {
  return SDL_CreateRGBSurface(SDL_HWSURFACE, width, kPlateHeight, 32, 0, 0, 0, 0);
}

bool OnPlate(int x, int y, SDL_Rect box, int width, int height) {
  return Condition(&PRIEN, &PRIEN, At(x, y), box, 0, 0, 0, 0, 0, width, 0, height, 2) == 1;
}
