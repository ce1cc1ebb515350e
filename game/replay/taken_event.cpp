#include "game/replay/taken_event.h"

#include <array>

namespace {

// Every key the game or its screens act on, and a few more: the first 32.
constexpr std::array<SDLKey, 32> kKeys{
    SDLK_UP,     SDLK_DOWN,  SDLK_RIGHT,     SDLK_LEFT,   SDLK_RETURN, SDLK_ESCAPE, SDLK_SPACE,
    SDLK_p,      SDLK_w,     SDLK_a,         SDLK_s,      SDLK_d,      SDLK_z,      SDLK_q,
    SDLK_F1,     SDLK_F2,    SDLK_F5,        SDLK_g,      SDLK_t,      SDLK_v,      SDLK_6,
    SDLK_EQUALS, SDLK_2,     SDLK_SEMICOLON, SDLK_RSHIFT, SDLK_LSHIFT, SDLK_LCTRL,  SDLK_BACKSPACE,
    SDLK_1,      SDLK_RCTRL, SDLK_TAB,       SDLK_UNKNOWN};

int KeyNumber(int sym) {
  for (std::size_t i = 0; i < kKeys.size(); ++i)
    if (kKeys[i] == sym) return static_cast<int>(i);
  return static_cast<int>(kKeys.size()) + sym;
}

int KeySym(int number) {
  const int count = static_cast<int>(kKeys.size());
  return number < count ? kKeys[static_cast<std::size_t>(number)] : number - count;
}

}  // namespace

TakenEvent Taken(const SDL_Event& event, bool fromPad) {
  TakenEvent t;
  switch (event.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP:
      t.kind = event.type == SDL_KEYDOWN ? TakenKind::kKeyDown : TakenKind::kKeyUp;
      t.fromPad = fromPad;
      t.key = KeyNumber(event.key.keysym.sym);
      break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
      t.kind = event.type == SDL_MOUSEBUTTONDOWN ? TakenKind::kMouseDown : TakenKind::kMouseUp;
      t.button = event.button.button & 7;
      t.x = event.button.x;
      t.y = event.button.y;
      break;
    case SDL_MOUSEMOTION:
      t.kind = TakenKind::kMotion;
      t.x = event.motion.x;
      t.y = event.motion.y;
      break;
    case SDL_QUIT: t.kind = TakenKind::kQuit; break;
    default: break;  // the game lets every other kind go by
  }
  return t;
}

SDL_Event EventOf(const TakenEvent& t) {
  SDL_Event e{};
  switch (t.kind) {
    case TakenKind::kKeyDown:
    case TakenKind::kKeyUp:
      e.type = t.kind == TakenKind::kKeyDown ? SDL_KEYDOWN : SDL_KEYUP;
      e.key.state = t.kind == TakenKind::kKeyDown ? SDL_PRESSED : SDL_RELEASED;
      e.key.keysym.sym = static_cast<SDLKey>(KeySym(t.key));
      break;
    case TakenKind::kMouseDown:
    case TakenKind::kMouseUp:
      e.type = t.kind == TakenKind::kMouseDown ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
      e.button.button = static_cast<Uint8>(t.button);
      e.button.x = static_cast<decltype(e.button.x)>(t.x);
      e.button.y = static_cast<decltype(e.button.y)>(t.y);
      break;
    case TakenKind::kMotion:
      e.type = SDL_MOUSEMOTION;
      e.motion.x = static_cast<decltype(e.motion.x)>(t.x);
      e.motion.y = static_cast<decltype(e.motion.y)>(t.y);
      break;
    case TakenKind::kQuit: e.type = SDL_QUIT; break;
    default: e.type = SDL_USEREVENT; break;
  }
  return e;
}
