#include "game/replay/intake.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <deque>
#include <utility>
#include <vector>

#include "common/pad_keys.h"
#include "game/flow/chance.h"
#include "game/flow/globals.h"
#include "game/flow/state.h"
#include "game/replay/kept_games.h"
#include "game/replay/linked.h"
#include "game/replay/recording_code.h"
#include "game/replay/shipped_levels.h"
#include "game/replay/state_check.h"
#include "game/replay/taken_event.h"
#include "game/replay/watching.h"
#include "level/level_file.h"
#include "level/level_rules.h"
#include "platform/open_page.h"
#include "platform/window.h"

namespace {

struct Intake {
  IntakeMode mode = IntakeMode::kPlay;
  Recording given;  // watched or challenged
  Recording made;   // this game's, as it goes
  bool framePoll = false;
  std::deque<TakenEvent> frameEvents;  // on two screens: the frames' events, in both devices' order
  int accounted = 0;                   // frames the moments made so far account for
  Uint32 lastTaken = 0;
  bool timing = false;  // lastTaken set: SDL's clock reads anything before SDL_Init
  // Watching: where the recording stands.
  std::size_t moment = 0, tick = 0;
  int quietLeft = 0, repeatLeft = 0, trailing = 0;
  bool pastEnd = false;
  std::string fault;  // the first way a watched game left its recording
  int status = 0;
};

Intake intake;

bool Watching() { return intake.mode == IntakeMode::kWatch; }
bool Linked() { return intake.mode == IntakeMode::kHost || intake.mode == IntakeMode::kGuest; }

void Fault(const std::string& sentence) {
  if (intake.fault.empty()) intake.fault = sentence;
}

// ---- playing: what the game took goes into `made` ----

// The game's first look for an event, its screens shown: the pace starts there.
void StartPace() {
  if (!intake.timing) intake.lastTaken = SDL_GetTicks(), intake.timing = true;
}

int Hundredths() {
  const Uint32 now = SDL_GetTicks();
  const Uint32 gone = now - intake.lastTaken;
  intake.lastTaken = now;
  return static_cast<int>(std::min<Uint32>(gone / 10, 6000));
}

void NoteFrameEvent(const TakenEvent& taken) {
  Recording& r = intake.made;
  const int frame = r.frames - 1;
  Hundredths();
  if (!r.moments.empty() && !r.moments.back().screen && intake.accounted == frame &&
      r.moments.back().event == taken) {
    r.moments.back().frames += 1;  // a held key: the same event on the next frame
  } else {
    Moment m;
    m.quiet = frame - intake.accounted;
    m.event = taken;
    r.moments.push_back(m);
  }
  intake.accounted = frame + 1;
}

void NoteScreenEvent(const TakenEvent& taken, int wait) {
  Recording& r = intake.made;
  Moment m;
  m.screen = true;
  m.quiet = r.frames - intake.accounted;
  m.wait = wait;
  m.event = taken;
  r.moments.push_back(m);
  intake.accounted = r.frames;
}

// ---- watching: what the game takes comes from `given` ----

void StartMoment() {
  const auto& moments = intake.given.moments;
  if (intake.moment < moments.size()) {
    intake.quietLeft = moments[intake.moment].quiet;
    intake.repeatLeft = moments[intake.moment].frames;
  } else {
    intake.pastEnd = true;
    intake.quietLeft = intake.trailing;
  }
}

int Deliver(const TakenEvent& taken, SDL_Event* event) {
  *event = EventOf(taken);
  SetLastKeyFromPad(taken.fromPad);
  return 1;
}

// The recording and the game parted: the game is ended as by closing it. `where`
// ends on the word before the number of the last frame played.
int Desync(SDL_Event* event, const char* where) {
  Fault("La partie rejou\u00e9e s'\u00e9carte de l'enregistrement " + std::string(where) +
        std::to_string(intake.made.frames - 1) + ".");
  *event = EventOf(TakenEvent{TakenKind::kQuit});
  return 1;
}

int WatchedFramePoll(SDL_Event* event) {
  if (WatchStopped()) return Deliver(TakenEvent{TakenKind::kQuit}, event);
  if (intake.quietLeft > 0) {
    --intake.quietLeft;
    return 0;
  }
  const auto& moments = intake.given.moments;
  if (intake.pastEnd || moments[intake.moment].screen)
    return Desync(event, "\u00e0 une image sans \u00e9v\u00e9nement, image ");
  const TakenEvent& taken = moments[intake.moment].event;
  if (--intake.repeatLeft == 0) ++intake.moment, StartMoment();
  return Deliver(taken, event);
}

int WatchedScreenPoll(SDL_Event* event) {
  if (WatchStopped()) return Deliver(TakenEvent{TakenKind::kQuit}, event);
  const auto& moments = intake.given.moments;
  if (intake.pastEnd || intake.quietLeft > 0 || !moments[intake.moment].screen)
    return Desync(event, "sur un \u00e9cran, apr\u00e8s l'image ");
  const Moment& m = moments[intake.moment];
  WatchPace(m.wait * 10);
  ++intake.moment;
  StartMoment();
  if (WatchStopped()) return Deliver(TakenEvent{TakenKind::kQuit}, event);
  return Deliver(m.event, event);
}

int GivenTicks(int frame) {
  const auto& ticks = intake.given.ticks;
  if (intake.tick < ticks.size() && ticks[intake.tick].frame == frame)
    return ticks[intake.tick++].count;
  return 0;
}

void CheckFrame(const GameState& s, int frame) {
  if (frame % kCheckEvery != 0) return;
  const std::uint16_t sum = KeptCheck(StateChecksum(s));
  const std::size_t at = static_cast<std::size_t>(frame / kCheckEvery);
  if (Watching()) {
    if (at >= intake.given.checks.size() || intake.given.checks[at] != sum)
      Fault("La partie rejou\u00e9e s'\u00e9carte de l'enregistrement \u00e0 l'image " +
            std::to_string(frame) + ".");
  }
  intake.made.checks.push_back(sum);
}

CarriedLevel Carried(int level, const SDL_Rect* walls, int count) {
  CarriedLevel carried;
  carried.level = level;
  carried.wallCount = count;
  for (int i = 0; i < count; ++i) carried.walls.emplace_back(walls[i].x, walls[i].y);
  return carried;
}

void AdoptGlobals(const StartGlobals& g) {
  tamponIMG = g.tamponIMG, attente = g.attente, invulnerable = g.invulnerable;
  Change = g.change, FINPROG = g.finprog;
}

// ---- on two screens: both devices' events, in lockstep (linked.h) ----

constexpr Uint32 kScreenLook = 10;  // ms between two looks of a screen that waits

// The host's level files that are not the shipped ones: both devices play these.
std::vector<CarriedLevel> OwnLevels() {
  std::vector<CarriedLevel> levels;
  std::vector<SDL_Rect> walls(kMaxWalls);
  for (int level = kFirstLevel; level <= kLastLevel; ++level) {
    char path[40];
    LevelFilePath(path, sizeof path, level);
    const int count = ReadLevelFile(path, walls.data(), kMaxWalls);
    if (!SameAsShipped(level, walls.data(), count))
      levels.push_back(Carried(level, walls.data(), count));
  }
  return levels;
}

int LinkedFramePoll(SDL_Event* event) {
  if (intake.frameEvents.empty()) return 0;
  const TakenEvent taken = intake.frameEvents.front();
  intake.frameEvents.pop_front();
  NoteFrameEvent(taken);
  return Deliver(taken, event);
}

// The host's screens take its own events and what the guest may ask; the
// guest's take the host's, with the host's waits.
int LinkedScreenPoll(SDL_Event* event, bool waits) {
  for (;;) {
    TakenEvent taken;
    int wait = 0;
    if (intake.mode == IntakeMode::kHost) {
      StartPace();
      if (LinkedHostScreen(event)) {
        taken = Taken(*event, LastKeyFromPad());
        wait = Hundredths();
        LinkedSendScreen(taken, wait);
        NoteScreenEvent(taken, wait);
        return Deliver(taken, event);
      }
    } else if (LinkedGuestScreen(&taken, &wait)) {
      NoteScreenEvent(taken, wait);
      return Deliver(taken, event);
    }
    if (!waits) return 0;
    SDL_Delay(kScreenLook);
  }
}

// A level as the game reads it: the file's, or a recording's or the shipped one.
int LevelWalls(int level, SDL_Rect* walls, int capacity) {
  if (intake.mode == IntakeMode::kPlay) {
    char path[40];
    LevelFilePath(path, sizeof path, level);
    return ReadLevelFile(path, walls, capacity);
  }
  for (const CarriedLevel& carried : intake.given.levels) {
    if (carried.level != level) continue;
    const int n = std::min(carried.wallCount, capacity);
    for (int i = 0; i < n; ++i)
      walls[i] = {static_cast<Sint16>(carried.walls[static_cast<std::size_t>(i)].first),
                  static_cast<Sint16>(carried.walls[static_cast<std::size_t>(i)].second), 0, 0};
    return n;
  }
  return ReadShippedLevel(level, walls, capacity);
}

}  // namespace

void IntakeBegin(IntakeMode mode, const Recording* recording, bool fast) {
  intake = Intake{};
  intake.mode = mode;
  if (recording) intake.given = *recording;
  WatchBegin(mode == IntakeMode::kWatch, fast);
  if (Linked()) LinkedBegin(mode == IntakeMode::kHost ? LinkSide::kHost : LinkSide::kGuest);
}

IntakeMode CurrentIntakeMode() { return intake.mode; }

std::uint32_t IntakeStartGame() {
  const IntakeMode mode = intake.mode;
  Recording given = std::move(intake.given);
  intake = Intake{};
  intake.mode = mode;
  intake.given = std::move(given);
  if (Linked()) intake.given = Recording{};
  if (intake.mode == IntakeMode::kHost) {
    intake.given.seed = FreshSeed();
    intake.given.levels = OwnLevels();
  }
  // A start that never came leaves the guest's game to end at its first look.
  if (intake.mode == IntakeMode::kGuest && LinkedTakeStart(&intake.given))
    AdoptGlobals(intake.given.globals);
  if (Watching()) {
    AdoptGlobals(intake.given.globals);
    intake.trailing = intake.given.frames;
    for (const Moment& m : intake.given.moments)
      intake.trailing -= m.quiet + (m.screen ? 0 : m.frames);
    StartMoment();
  }
  Recording& r = intake.made;
  r.seed = mode == IntakeMode::kPlay ? FreshSeed() : intake.given.seed;
  r.globals = {tamponIMG, attente, invulnerable, Change.load(), FINPROG};
  return r.seed;
}

int IntakeFirstLevel(int asked) {
  const bool own = intake.mode == IntakeMode::kPlay || intake.mode == IntakeMode::kHost;
  intake.made.firstLevel = own ? asked : intake.given.firstLevel;
  if (intake.mode == IntakeMode::kHost) {
    Recording start = intake.given;
    start.firstLevel = asked;
    start.globals = intake.made.globals;
    LinkedSendStart(start);
  }
  return intake.made.firstLevel;
}

int IntakeSkippedMenu() {
  if (!Linked()) return 0;
  SDL_Event press{};
  press.type = SDL_KEYDOWN;
  press.key.keysym.sym = static_cast<SDLKey>(PadKey(0, PadControl::kTwoPlayers));
  NoteScreenEvent(Taken(press, true), 0);
  return 2;
}

void IntakeInPause(bool paused) { LinkedInPause(paused); }

int IntakeFrame(const GameState& s) {
  Recording& r = intake.made;
  const int frame = r.frames++;
  intake.framePoll = true;
  CheckFrame(s, frame);
  int ticks;
  if (Linked()) {
    const int own = intake.mode == IntakeMode::kHost ? keptTicks.exchange(0) : 0;
    if (intake.mode == IntakeMode::kGuest) keptTicks = 0;  // the host's clock counts
    ticks = LinkedFrame(StateChecksum(s), own, &intake.frameEvents);
  } else if (Watching()) {
    ticks = GivenTicks(frame);
    keptTicks = 0;  // the timer's own are not this game's
    WatchUpkeep();
  } else {
    ticks = keptTicks.exchange(0);
  }
  if (ticks > 0) r.ticks.push_back({frame, ticks});
  return ticks;
}

int PollGameEvent(SDL_Event* event) {
  const bool framePoll = std::exchange(intake.framePoll, false);
  if (Watching()) {
    WatchUpkeep();
    return framePoll ? WatchedFramePoll(event) : WatchedScreenPoll(event);
  }
  if (Linked() && event) return framePoll ? LinkedFramePoll(event) : LinkedScreenPoll(event, false);
  StartPace();
  const int got = WindowPollEvent(event);
  if (got && event) {
    const TakenEvent taken = Taken(*event, LastKeyFromPad());
    framePoll ? NoteFrameEvent(taken) : NoteScreenEvent(taken, Hundredths());
  }
  return got;
}

int WaitGameEvent(SDL_Event* event) {
  intake.framePoll = false;
  if (Watching()) {
    WatchUpkeep();
    const int got = WatchedScreenPoll(event);
    return got;
  }
  if (Linked() && event) return LinkedScreenPoll(event, true);
  StartPace();
  const int got = WindowWaitEvent(event);
  if (got > 0 && event) NoteScreenEvent(Taken(*event, LastKeyFromPad()), Hundredths());
  return got;
}

void GameWait(Uint32 ms) {
  if (Watching()) return WatchWait(ms);
  SDL_Delay(ms);
}

int ReadGameLevel(int level, SDL_Rect* walls, int capacity) {
  const int count = LevelWalls(level, walls, capacity);
  if (!SameAsShipped(level, walls, count)) {
    auto& levels = intake.made.levels;
    const auto at = std::lower_bound(
        levels.begin(), levels.end(), level,
        [](const CarriedLevel& carried, int n) { return carried.level < n; });
    if (at == levels.end() || at->level != level) levels.insert(at, Carried(level, walls, count));
  }
  return count;
}

void OpenGamePage(const char* target, int showCommand) {
  if (!Watching() && intake.mode != IntakeMode::kGuest) OpenWithDesktop(target, showCommand);
}

const Recording& IntakeEndGame(const GameState& s) {
  Recording& r = intake.made;
  r.playerCount = s.playerCount;
  r.endLevel = s.level;
  r.endScore = s.score;
  r.endCheck = StateChecksum(s);
  r.frames = std::max(r.frames, intake.accounted);
  std::printf("Fin de partie : niveau %d, score %d.\n", s.level, s.score);
  if (intake.mode == IntakeMode::kChallenge) {
    const int theirs = intake.given.endScore;
    std::printf("D\u00e9fi %s : %d contre %d.\n", s.score > theirs ? "relev\u00e9" : "manqu\u00e9",
                s.score, theirs);
  }
  std::fflush(stdout);
  if (Watching()) {
    if (WatchStopped()) {
      intake.status = 0;  // the watcher left: nothing to compare
    } else {
      if (r.endLevel != intake.given.endLevel || r.endScore != intake.given.endScore ||
          r.endCheck != intake.given.endCheck)
        Fault("La partie rejou\u00e9e ne finit pas comme l'enregistrement, image " +
              std::to_string(r.frames - 1) + ".");
      if (!intake.fault.empty()) {
        std::fprintf(stderr, "game : %s\n", intake.fault.c_str());
        intake.status = 1;
      }
    }
  } else {
    KeepGame(EncodeRecording(r));
  }
  return r;
}

int IntakeStatus() { return intake.status; }
