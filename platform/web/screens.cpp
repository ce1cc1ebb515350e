#include "platform/screens.h"

#include <emscripten.h>

namespace {

struct PageKey {
  SDLKey key;
  const char* name;  // KeyboardEvent.key
};

// The keys screens offer, by the names the page sends them under.
constexpr PageKey kPageKeys[] = {
    {SDLK_RETURN, "Enter"},
    {SDLK_ESCAPE, "Escape"},
    {SDLK_p, "p"},
    {SDLK_SPACE, " "},
    {SDLK_F1, "F1"},
    {SDLK_F2, "F2"},
    {SDLK_6, "6"},
    {SDLK_EQUALS, "="},
    {SDLK_UP, "ArrowUp"},
    {SDLK_DOWN, "ArrowDown"},
    {SDLK_LEFT, "ArrowLeft"},
    {SDLK_RIGHT, "ArrowRight"},
    {SDLK_w, "w"},
    {SDLK_s, "s"},
    {SDLK_a, "a"},
    {SDLK_d, "d"},
};

const char* PageKeyName(SDLKey key) {
  for (const PageKey& k : kPageKeys)
    if (k.key == key) return k.name;
  return "";
}

}  // namespace

// The words are Latin-1: each byte is its own character.
// clang-format off
EM_JS(void, BeginScreen, (), { Module.gloutoPlates = []; });
EM_JS(void, AddPlate, (const char* word, int x, int y, int w, int h, const char* key), {
  var text = "";
  for (var p = word; HEAPU8[p]; ++p) text += String.fromCharCode(HEAPU8[p]);
  Module.gloutoPlates.push({word: text, x: x, y: y, w: w, h: h, key: UTF8ToString(key)});
});
EM_JS(void, TellScreen, (const char* name), {
  if (Module.onScreen) Module.onScreen(UTF8ToString(name), Module.gloutoPlates);
});
EM_JS(void, TellNewGameNext, (bool newGame), { Module.gloutoNewGameNext = newGame; });
// clang-format on

void ScreenShown(const char* name, const ScreenPlate* plates, int count) {
  BeginScreen();
  for (int k = 0; k < count; ++k) {
    const ScreenPlate& p = plates[k];
    AddPlate(p.word, p.x, p.y, p.width, p.height, PageKeyName(p.key));
  }
  TellScreen(name);
}

void ScreenNewGameNext(bool newGame) { TellNewGameNext(newGame); }
