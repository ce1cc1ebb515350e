#include "game/flow/game.h"

#include <cstdio>
#include <memory>

#include "common/command_line.h"
#include "game/flow/globals.h"
#include "game/flow/loop.h"
#include "game/flow/session.h"
#include "game/replay/intake.h"
#include "game/replay/recording_code.h"
#include "game/replay/sources.h"
#include "platform/link.h"
#include "platform/window.h"

void (*gameStartHook)(GameState&) = nullptr;
void (*gameEndHook)(GameState&) = nullptr;

namespace {

// --revoir and --defi take their recording here, --partager prints its code.
// Returns the program's status when it must end now, else -1.
int TakeRecording(const CommandLine& options) {
  const char* source = options.watch       ? options.watch
                       : options.challenge ? options.challenge
                                           : options.share;
  if (!source) {
    IntakeBegin(IntakeMode::kPlay);
    return -1;
  }
  Recording recording;
  const std::string refusal = LoadRecording(source, &recording);
  if (!refusal.empty()) {
    std::fprintf(stderr, "game : %s\n", refusal.c_str());
    return 1;
  }
  if (options.share) {
    std::printf("%s\n", RecordingCode(recording).c_str());
    return 0;
  }
  IntakeBegin(options.watch ? IntakeMode::kWatch : IntakeMode::kChallenge, &recording,
              options.fast);
  return -1;
}

// --deux-ecrans and --invite: the link must be there, on the side asked.
// Returns the program's status when it must end now, else -1.
int TakeLink(const CommandLine& options) {
  const LinkSide side = options.host    ? LinkSide::kHost
                        : options.guest ? LinkSide::kGuest
                                        : LinkSide::kNone;
  if (side == LinkSide::kNone) return -1;
  LinkAskSide(side);
  const LinkSide role = LinkRole();
  if (role != side) {
    LinkSay(role == LinkSide::kNone ? "Pas de liaison avec l'autre \xE9"
                                      "cran (GLOUTO_LIEN la nomme sur ordinateur) : "
                                      "la partie sur deux \xE9"
                                      "crans ne peut pas commencer."
                                    : "La page a pris l'autre c\xF4t\xE9 de la partie sur deux \xE9"
                                      "crans : "
                                      "elle ne peut pas commencer.");
    return 2;
  }
  IntakeBegin(side == LinkSide::kHost ? IntakeMode::kHost : IntakeMode::kGuest);
  return -1;
}

}  // namespace

int SDL_main(int argc, char** argv) {
  CommandLine options;
  if (!ReadCommandLine(argc, argv, "game", Accepts::Level, options)) return 2;
  if (const int status = TakeRecording(options); status >= 0) return status;
  if (const int status = TakeLink(options); status >= 0) return status;
  WindowSetZoom(options.zoom);
  // Only the first game starts at the level asked for; a new one starts at 1.
  int firstLevel = options.level;
  bool again = true;
  while (again) {
    // Each game starts from fresh tables and counters; the globals carry over.
    auto state = std::make_unique<GameState>();
    if (!StartUp(*state)) return 1;
    if (gameStartHook) gameStartHook(*state);
    StartFirstLevel(*state, IntakeFirstLevel(firstLevel));
    firstLevel = 1;
    PlayLevels(*state);
    FinishGame(*state);
    IntakeEndGame(*state);
    if (gameEndHook) gameEndHook(*state);
    again = ShutDown(*state);
    // A replay is one game; after a challenge, games are played as any.
    if (CurrentIntakeMode() == IntakeMode::kWatch) again = false;
    if (CurrentIntakeMode() == IntakeMode::kChallenge) IntakeBegin(IntakeMode::kPlay);
  }
  return IntakeStatus();
}
