#include "editor/safe_sdl.h"

#include "platform/picture_blits.h"

SDL_Surface* RenderBlack(TTF_Font* font, const char* text) {
  if (!font) return nullptr;
  const SDL_Color black{0, 0, 0, 0};
  return TTF_RenderText_Blended(font, text, black);
}

void BlitAt(SDL_Surface* picture, SDL_Surface* screen, SDL_Rect position) {
  if (!picture || !screen) return;
  BlitPicture(picture, screen, &position);
}

void CloseFont(TTF_Font* font) {
  if (font) TTF_CloseFont(font);
}
