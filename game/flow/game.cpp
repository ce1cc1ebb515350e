#include "game/flow/game.h"

#include <memory>

#include "common/command_line.h"
#include "game/flow/globals.h"
#include "game/flow/loop.h"
#include "game/flow/session.h"
#include "platform/window.h"

void (*gameStartHook)(GameState&) = nullptr;
void (*gameEndHook)(GameState&) = nullptr;

int SDL_main(int argc, char** argv) {
  CommandLine options;
  if (!ReadCommandLine(argc, argv, "game", Accepts::Level, options)) return 2;
  WindowSetZoom(options.zoom);
  // Only the first game starts at the level asked for; a new one starts at 1.
  int firstLevel = options.level;
  bool again = true;
  while (again) {
    // Each game starts from fresh tables and counters; the globals carry over.
    auto state = std::make_unique<GameState>();
    if (!StartUp(*state)) return 1;
    if (gameStartHook) gameStartHook(*state);
    StartFirstLevel(*state, firstLevel);
    firstLevel = 1;
    PlayLevels(*state);
    FinishGame(*state);
    if (gameEndHook) gameEndHook(*state);
    again = ShutDown(*state);
  }
  return 0;
}
