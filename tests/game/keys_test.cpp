// Every key, in play and in the pause, one row each: what it changes, and
// (through `only`) that it changes nothing else.
#include <gtest/gtest.h>

#include "game/flow/keys.h"
#include "tests/game/flow_harness.h"

namespace {
class Keys : public FlowTest {};
}  // namespace

TEST_F(Keys, EachKeyDoesItsPartAndNothingElse) {
  RunRows({
      {"Backspace", "set walls=7 | mark | press Backspace | only walls=0"},
      {"Return",
       "hero 301,301 left | set tampon=0 | mark | press Return | only hero.dir=stop tampon=3"},
      {"Escape", "mark | press Escape | only running=0 finprog=1 waited>=100"},
      {"Space", "mark | press Space | only switch=1 waited>=50"},
      {"6", "mark | press 6 | only volume=90"},
      {"=", "mark | press = | only volume=110"},
      {"g",
       "set remaining=40 clock=60 | mark | press g | only remaining=0 clock=10 running=0"
       " waited>=100"},
      {"t", "mark | press t | only running=0 clock=0 remaining=1"},
      {"v", "mark | press v | only lives=2 waited>=50"},
      {"arrows",
       "set tampon=0 | mark | press Up | only hero.dir=up tampon=3 | press Down"
       "| only hero.dir=down tampon=3 | press Right | only hero.dir=right tampon=3"
       "| press Left | only hero.dir=left tampon=3"},
      {"F1", "mark | press F1 | only track=1 waited>=100"},
      {"F2", "mark | press F2 | only track=4 waited>=100"},
      {"F1 from the last track", "set track=4 | press F1 | expect track=0"},
      {"F5", "mark | press F5 | only clock=235 waited>=50"},
      {"right Shift", "mark | press RShift | only invulnerable=10000"},
      {"left Shift", "set invulnerable=7 | mark | press LShift | only invulnerable=0"},
      {"left Ctrl", "set enemies=2 | mark | press LCtrl | only enemies=0"},
      {"player 2 steers enemy 0 with w a s d, and z q",
       "set players=2 tampon=0 | mark | press a | only enemy0.dir=left tampon=3 | press d"
       "| only enemy0.dir=right tampon=3 | press s | only enemy0.dir=down tampon=3 | press w"
       "| only enemy0.dir=up tampon=3 | set enemy0.dir=stop | press z | only enemy0.dir=up tampon=3"
       "| press q | only enemy0.dir=left tampon=3"},
      {"one player: those keys do nothing",
       "set tampon=0 | enemy 0 5000,5000 right | mark"
       "| press a | press d | press s | press w | press z"
       "| press q | only"},
      {"keys of no use",
       "set players=2 | mark | press ; | press e | press F3 | press RCtrl | only"},
      // The pause takes events until p, Escape or a closed window; play keys mean nothing there.
      {"pause: p resumes",
       "set level=3 | timer | queue ; v g Up p Down quit | mark | press p"
       "| only timer=1 stale=0 waited>=330"
       "| caption Glouto seconde generation ! Niveau 3 | set change=0 | frame"
       "| expect hero.dir=down"},
      {"pause: Escape ends the game",
       "queue Escape Up quit | mark | press p | only running=0 timer=1 | set change=0 | frame"
       "| expect hero.dir=up"},
      {"a pad's Back pauses, and in the pause ends the game",
       "frame back back Up quit | expect running=0 finprog=0"},
      {"pause: closing the window ends the program",
       "queue quit Up p | mark | press p | only running=0 finprog=1"},
      // The event step takes at most one event a frame and ignores all but keys and a close.
      {"one event a frame",
       "queue - Up v | frame | expect hero.dir=stop lives=1 | frame"
       "| expect hero.dir=up lives=1 | frame | expect lives=2"},
      {"closing the window", "frame quit | expect running=0 finprog=1"},
  });
}

TEST_F(Keys, PauseShowsItsWordWhereTheStartWindowPutIt) {
  GameState& s = *game_;
  s.width = 900;  // a later level: "Pause" does not follow the window
  s.pauseText = SDL_CreateRGBSurface(SDL_SWSURFACE, 60, 30, 32, 0xFF0000, 0xFF00, 0xFF, 0);
  SDL_FillRect(s.pauseText, nullptr, SDL_MapRGB(s.pauseText->format, 10, 20, 200));
  SDL_FillRect(s.screen, nullptr, SDL_MapRGB(s.screen->format, 255, 255, 255));
  Push(KeyDown(SDLK_p));
  HandleKey(s, SDLK_p);
  EXPECT_EQ(PixelAt(s.screen, 261, 281), (Rgb{10, 20, 200}));
  EXPECT_EQ(PixelAt(s.screen, 259, 281), (Rgb{255, 255, 255}));
}
