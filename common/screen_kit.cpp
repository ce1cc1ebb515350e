#include "common/screen_kit.h"

#include "common/Condition.h"
#include "platform/picture_blits.h"
#include "platform/surface_fill.h"

TTF_Font* OpenGameFont() { return TTF_OpenFont("Police/comic.ttf", 25); }

void CloseFont(TTF_Font* font) {
  if (font) TTF_CloseFont(font);
}

SDL_Surface* RenderText(TTF_Font* font, const char* text, SDL_Color colour) {
  // SDL_ttf dereferences the font without a check.
  if (!font || !text) return nullptr;
  return TTF_RenderText_Blended(font, text, colour);
}

void BlitAt(SDL_Surface* picture, SDL_Surface* screen, SDL_Rect position) {
  if (!picture || !screen) return;
  BlitPicture(picture, screen, &position);
}

void FillGrey(SDL_Surface* surface, SDL_Surface* screen, int grey) {
  if (!surface || !screen) return;
  const Uint8 g = static_cast<Uint8>(grey & 0xFF);
  FillWhole(surface, SDL_MapRGB(screen->format, g, g, g));
}

void SetWhiteKey(SDL_Surface* image) {
  if (!image) return;
  SDL_SetColorKey(image, SDL_SRCCOLORKEY, SDL_MapRGB(image->format, 255, 255, 255));
}

SDL_Surface* MakePlate(int width) {
  return SDL_CreateRGBSurface(SDL_HWSURFACE, width, kPlateHeight, 32, 0, 0, 0, 0);
}

bool OnPlate(int x, int y, SDL_Rect box, int width, int height) {
  // The point test reads neither table.
  SDL_Rect none{};
  SDL_Rect point{};
  point.x = static_cast<Sint16>(x);
  point.y = static_cast<Sint16>(y);
  return Condition(&none, &none, point, box, 0, 0, 0, 0, 0, width, 0, height, 2) == 1;
}
