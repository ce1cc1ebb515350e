#ifndef GLOUTO_GAME_REPLAY_RECORDING_H
#define GLOUTO_GAME_REPLAY_RECORDING_H

#include <cstdint>
#include <string>
#include <vector>

// A game as what it took from outside its rules: from this and the program's
// own rules the whole game follows, frame by frame, on every target.

// An event as the game reads it, in words of no target's SDL: which kind, and
// the fields the game looks at.
enum class TakenKind : std::uint8_t {
  kKeyDown,
  kKeyUp,
  kMouseDown,
  kMouseUp,
  kMotion,
  kQuit,
  kOther
};
constexpr int kTakenKinds = 7;

struct TakenEvent {
  TakenKind kind = TakenKind::kOther;
  bool fromPad = false;  // keys: a pad's button stood for it
  int key = 0;           // keys: KeyOf's number for it (taken_event.h)
  int button = 0;        // mouse buttons
  int x = 0, y = 0;      // mouse buttons and motion, in the game's pixels
  bool operator==(const TakenEvent& o) const {
    return kind == o.kind && fromPad == o.fromPad && key == o.key && button == o.button &&
           x == o.x && y == o.y;
  }
  bool operator!=(const TakenEvent& o) const { return !(*this == o); }
};

// One event taken, after `quiet` frames whose look found none. A frame's own
// look (one a frame) may take the same event on `frames` frames in a row, as a
// held key repeats; a screen's or the pause's look comes `wait` hundredths of
// a second after the game's previous event or frame (its pace, for watching).
struct Moment {
  int quiet = 0;
  bool screen = false;
  int frames = 1;
  int wait = 0;
  TakenEvent event;
  bool operator==(const Moment& o) const {
    return quiet == o.quiet && screen == o.screen && frames == o.frames && wait == o.wait &&
           event == o.event;
  }
};

// The timer's quarter seconds a frame saw, when it saw any.
struct Ticks {
  int frame = 0;
  int count = 0;
  bool operator==(const Ticks& o) const { return frame == o.frame && count == o.count; }
};

// A level file as the game read it: its walls, or none at all (-1: no file).
struct CarriedLevel {
  int level = 0;
  int wallCount = -1;
  std::vector<std::pair<int, int>> walls;
  bool operator==(const CarriedLevel& o) const {
    return level == o.level && wallCount == o.wallCount && walls == o.walls;
  }
};

// The program's globals when the game began.
struct StartGlobals {
  int tamponIMG = 1, attente = 0, invulnerable = 0, change = 0, finprog = 0;
  bool operator==(const StartGlobals& o) const {
    return tamponIMG == o.tamponIMG && attente == o.attente && invulnerable == o.invulnerable &&
           change == o.change && finprog == o.finprog;
  }
};

// Every kCheckEvery-th frame's state is checked, from frame 0, on its low
// kCheckBits: a replay that drifts stays off, so the next checks catch what
// one lets through.
constexpr int kCheckEvery = 64;
constexpr int kCheckBits = 8;
inline std::uint16_t KeptCheck(std::uint32_t checksum) {
  return static_cast<std::uint16_t>(checksum & ((1u << kCheckBits) - 1));
}

struct Recording {
  std::uint32_t seed = 0;
  int firstLevel = 1;
  int playerCount = 1;  // as the menu answered
  StartGlobals globals;
  std::vector<CarriedLevel> levels;  // those that were not the shipped ones
  std::vector<Moment> moments;
  int frames = 0;  // the frame loop's frames, all levels together
  std::vector<Ticks> ticks;
  std::vector<std::uint16_t> checks;  // KeptCheck of StateChecksum, frames 0, 64, 128...
  int endLevel = 1, endScore = 0;
  std::uint32_t endCheck = 0;  // StateChecksum as the game ended

  bool operator==(const Recording& o) const {
    return seed == o.seed && firstLevel == o.firstLevel && playerCount == o.playerCount &&
           globals == o.globals && levels == o.levels && moments == o.moments &&
           frames == o.frames && ticks == o.ticks && checks == o.checks && endLevel == o.endLevel &&
           endScore == o.endScore && endCheck == o.endCheck;
  }
};

#endif
