#include "game/flow/keys.h"

#include "common/pad_keys.h"
#include "game/flow/globals.h"
#include "game/flow/pause.h"
#include "game/maze/movement.h"
#include "game/replay/intake.h"

namespace {

// A new direction shows at once: the next animation step reloads the sprites.
void SteerHero(GameState& s, int direction) {
  s.heroDirection = direction;
  tamponIMG = 3;
}

// Player 2 steers enemy 0; with one player these keys mean nothing.
void SteerEnemy(GameState& s, int direction) {
  if (s.playerCount != 2) return;
  s.enemyDirections[0] = direction;
  tamponIMG = 3;
}

}  // namespace

void HandleKey(GameState& s, int key) {
  switch (key) {
    case SDLK_BACKSPACE: s.wallCount = 0; break;
    case SDLK_RETURN: SteerHero(s, kStopped); break;
    case SDLK_ESCAPE:
      // A pad's Back pauses: one stray press must not end the game. In the
      // pause, Back again ends it, as Escape does there.
      if (LastKeyFromPad()) {
        PauseGame(s);
        break;
      }
      s.running = 0;
      FINPROG = 1;
      GameWait(100);
      break;
    case SDLK_SPACE:
      MusicToggle(s.music);
      GameWait(50);
      break;
    case SDLK_6: MusicSofter(s.music); break;
    case SDLK_EQUALS: MusicLouder(s.music); break;
    // The same four keys under the left hand on QWERTY (w a s d) and AZERTY (z q s d).
    case SDLK_a:
    case SDLK_q: SteerEnemy(s, kLeft); break;
    case SDLK_d: SteerEnemy(s, kRight); break;
    case SDLK_s: SteerEnemy(s, kDown); break;
    case SDLK_w:
    case SDLK_z: SteerEnemy(s, kUp); break;
    case SDLK_g:  // the level completes in this frame; the level-start screen decides running
      s.remaining = s.keyRemaining = 0;
      s.clock = 10;
      s.running = 0;
      GameWait(100);
      break;
    case SDLK_p: PauseGame(s); break;
    case SDLK_t:  // this frame's clock run-out takes a life, then the game ends
      s.running = 0;
      s.clock = 0;
      s.remaining = s.keyRemaining = 1;
      break;
    case SDLK_v:
      s.lives += 1;
      GameWait(50);
      break;
    case SDLK_UP: SteerHero(s, kUp); break;
    case SDLK_DOWN: SteerHero(s, kDown); break;
    case SDLK_RIGHT: SteerHero(s, kRight); break;
    case SDLK_LEFT: SteerHero(s, kLeft); break;
    case SDLK_F1: MusicNextTrack(s.music); break;
    case SDLK_F2: MusicPreviousTrack(s.music); break;
    case SDLK_F5:
      s.clock += 100;
      GameWait(50);
      break;
    case SDLK_RSHIFT: invulnerable = 10000; break;  // never counts down: 1000 and above
    case SDLK_LSHIFT: invulnerable = 0; break;
    case SDLK_LCTRL: s.enemyCount = 0; break;
    default: break;
  }
}
