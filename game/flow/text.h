#ifndef GLOUTO_GAME_FLOW_TEXT_H
#define GLOUTO_GAME_FLOW_TEXT_H

#include <SDL.h>
#include <SDL_ttf.h>

// TTF_RenderText_Blended crashes on a null font: a missing font gives no text.
SDL_Surface* RenderBlended(TTF_Font* font, const char* text, SDL_Color color);

// Caption "Glouto seconde generation ! Niveau %d", with " PAUSE" while paused.
void ShowLevelCaption(int level, bool paused = false);

#endif
