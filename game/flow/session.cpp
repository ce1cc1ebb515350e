#include "game/flow/session.h"

#include <SDL_image.h>

#include <cstdio>

#include "game/flow/caption.h"
#include "game/flow/chance.h"
#include "game/flow/globals.h"
#include "game/flow/level.h"
#include "game/flow/rules.h"
#include "game/maze/images.h"
#include "game/replay/intake.h"
#include "game/screens/screen_kit.h"
#include "game/screens/screens.h"
#include "level/level_rules.h"
#include "platform/pads.h"
#include "platform/screens.h"
#include "platform/window.h"

namespace {

constexpr Uint32 kVideoFlags = SDL_HWSURFACE | SDL_DOUBLEBUF;

void Release(SDL_Surface*& surface) {
  if (surface) SDL_FreeSurface(surface);
  surface = nullptr;
}

template <typename Table>
void ReleaseAll(Table& images) {
  for (SDL_Surface*& image : images) Release(image);
}

void SetStartPositions(GameState& s) {
  s.heroPosition = {};
  CentreHero(s);
  s.remainingRect = {0, -5, 0, 0};
  s.clockRect = {static_cast<Sint16>(s.width - 130), -5, 0, 0};
  s.livesRect = {0, static_cast<Sint16>(s.height - 35), 0, 0};
  // Computed once: "Pause" stays here however wide the window grows.
  s.pauseRect = {static_cast<Sint16>(s.width / 2 - 40), static_cast<Sint16>(s.height / 2 - 20), 0,
                 0};
}

}  // namespace

bool StartUp(GameState& s) {
  SeedChance(IntakeStartGame());
  // Without video every later call would fail or crash (the window icon first).
  if (SDL_Init(SDL_INIT_TIMER | SDL_INIT_VIDEO) != 0) {
    std::fprintf(stderr, "game: cannot open the game's window: %s\n", SDL_GetError());
    return false;
  }
  PadsStart();
  TTF_Init();
  MusicStartUp();
  s.icon = IMG_Load("Images/Mur.png");
  if (s.icon) SDL_WM_SetIcon(s.icon, nullptr);
  s.font = OpenGameFont();
  s.textColor = {0, 0, 0, 0};
  s.pauseText = RenderText(s.font, "Pause", s.textColor);
  s.width = LevelWidth(1);
  s.height = kLevelHeight;
  s.screen = WindowSetVideoMode(s.width, s.height, 32, kVideoFlags);
  SDL_EnableKeyRepeat(5, 5);
  SetStartPositions(s);
  SetStartCounts(s);
  MusicFindTracks(s.music);
  SDL_WM_SetCaption("Bienvenue dans le monde du Glouto !", nullptr);
  return true;
}

void StartFirstLevel(GameState& s, int level) {
  const int skipped = IntakeSkippedMenu();
  s.playerCount = skipped ? skipped : Joueurs(s.width, s.height, s.screen, s.font);
  if (level > s.level) {
    // The menu keeps the start window; the level-start screen has the level's.
    AdvanceToLevel(s, level);
    s.screen = WindowSetVideoMode(s.width, s.height, 32, kVideoFlags);
    // "Pause" stays where the start window put it, as on any later level.
    s.clockRect.x = static_cast<Sint16>(s.width - 130);
  }
  ResetEnemyTurns(s);
  s.heroMode = 0;
  s.heroDirection = 0;
  // Player 2 steers enemy 0 alone on level 1 only.
  if (s.playerCount == 2 && s.level == 1) s.enemyModes[0] = 0;
  s.running = FINPROG ? 0 : ShowLevelStart(s);
  s.screen = WindowSetVideoMode(s.width, s.height, 32, kVideoFlags);
  ShowPlayScreen(s);
  ReloadImage(&s.heroImage, "Images/Glouto.png");
  SetWhiteKey(s.heroImage);
  s.timerId = SDL_AddTimer(250, minuteur, nullptr);
  MusicLoopForever(s.music);
}

void FinishGame(GameState& s) {
  MusicStop(s.music);
  if (s.playerCount == 2) s.score -= s.enemyScore;
  s.won = s.score > 0 && s.clock > 0 && s.lives >= 0 ? 1 : 0;
  if (FINPROG) return;
  s.running = FIN(s.won, s.score, s.screen, s.font, s.width, s.height, s.music.musicSwitch);
  ScreenNewGameNext(s.running == 1);
  Merci(s.width, s.height, s.screen, s.font);
}

void ReleaseGameSurfaces(GameState& s) {
  Release(s.heroImage);
  ReleaseAll(s.wallImages);
  ReleaseAll(s.chestImages);
  ReleaseAll(s.enemyImages);
  Release(s.remainingText);
  Release(s.clockText);
  Release(s.livesText);
  Release(s.pauseText);
  Release(s.icon);
}

bool ShutDown(GameState& s) {
  ReleaseGameSurfaces(s);
  SDL_RemoveTimer(s.timerId);
  s.timerId = {};
  SDL_Quit();
  CloseFont(s.font);
  s.font = nullptr;
  TTF_Quit();
  MusicShutDown(s.music);
  return s.running == 1 && FINPROG == 0;
}
