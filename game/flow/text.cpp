#include "game/flow/text.h"

#include <cstdio>

#include "game/flow/state.h"

SDL_Surface* RenderBlended(TTF_Font* font, const char* text, SDL_Color color) {
  if (!font || !text) return nullptr;
  return TTF_RenderText_Blended(font, text, color);
}

void ShowLevelCaption(int level, bool paused) {
  char caption[kCaptionSize];
  std::snprintf(caption, sizeof caption,
                paused ? "Glouto seconde generation ! Niveau %d PAUSE"
                       : "Glouto seconde generation ! Niveau %d",
                level);
  SDL_WM_SetCaption(caption, nullptr);
}
