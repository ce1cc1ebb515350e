#ifndef GLOUTO_PLATFORM_SCREENS_H
#define GLOUTO_PLATFORM_SCREENS_H

#include <SDL.h>

// What a screen offers the player: a plate to click, at its box in the
// window's pixels (edges included), or, on a screen without plates, a key it
// takes (the box then empty).
struct ScreenPlate {
  const char* word;  // Latin-1, as the screen draws it or names the key
  int x, y, width, height;
  SDLKey key;
};

// A plate from the box the screen itself tests clicks against.
constexpr ScreenPlate PlateAt(const char* word, SDL_Rect at, int width, int height) {
  return {word, at.x, at.y, width, height, SDLK_UNKNOWN};
}
constexpr ScreenPlate KeyPlate(const char* word, SDLKey key) { return {word, 0, 0, 0, 0, key}; }

// Each screen of both programs says so as it shows, with what it offers. The
// browser's page makes its own buttons of them; the desktop window shows the
// screen as drawn and has nothing to do.
void ScreenShown(const char* name, const ScreenPlate* plates, int count);

// Whether a new game follows the credits, for a page that names their way out.
void ScreenNewGameNext(bool newGame);

#endif
