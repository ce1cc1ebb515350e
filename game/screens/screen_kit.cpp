#include "game/screens/screen_kit.h"

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
