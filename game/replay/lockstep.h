#ifndef GLOUTO_GAME_REPLAY_LOCKSTEP_H
#define GLOUTO_GAME_REPLAY_LOCKSTEP_H

#include <SDL.h>

#include <cstdint>
#include <deque>
#include <vector>

#include "game/replay/recording.h"
#include "level/code_bits.h"
#include "platform/link.h"

// The messages of a game on two screens. Both devices play the same frames
// from the same start; each sends, at each frame F, its own input for frame
// F + kInputDelay and its state's checksum at F, and a frame runs once both
// inputs for it are known. The host (player 1) starts each game, sends the
// timer's quarter seconds and drives every screen; the guest (player 2) sends
// only its enemy's four directions, the pause and its leaving.

constexpr std::uint8_t kLockstepVersion = 1;

// A frame of the game lasts about 40 ms (its waits alone are 39): three frames
// are 120 ms for a message to cross, enough for a 150 ms round trip, jitter
// included, before a frame has to wait.
constexpr int kInputDelay = 3;

// A frame's input holds at most this many events; more wait for later frames.
constexpr int kMaxFrameEvents = 32;
// A start, levels included (99 of 1000 walls off the grid: 400 KiB), sent in pieces.
constexpr int kMaxStartBytes = 1 << 20;
constexpr int kStartPiece = 1000;

enum class GuestKey : std::uint8_t { kUp, kDown, kLeft, kRight, kPause, kLeave };
constexpr int kGuestKeys = 6;

enum class MessageKind : std::uint8_t {
  kHello = 1,  // guest: its version, first of all
  kStart,      // host: version, the start's size, its first piece
  kStartMore,  // host: the start's next piece
  kFrame,      // both: an input and a checksum
  kScreen,     // host: the event a screen took
  kRequest,    // guest: a press on a screen, for the host to take
  kStop        // both: why this side stopped
};

enum class StopReason : std::uint8_t { kDesync = 1, kRefused };

struct Message {
  MessageKind kind = MessageKind::kFrame;
  int version = 0;                  // hello, start
  int startSize = 0;                // start: the start recording's bytes, in all
  CodeBytes piece;                  // start, start more
  int frame = 0;                    // frame: the frame its input is for
  std::uint32_t check = 0;          // frame: StateChecksum at frame - kInputDelay
  int ticks = 0;                    // frame (host): the timer's quarter seconds
  std::vector<TakenEvent> events;   // frame (host); screen: exactly one
  std::vector<GuestKey> keys;       // frame (guest)
  int wait = 0;                     // screen: hundredths, as the host recorded them
  int frames = 0;                   // request: the frames the guest had played
  GuestKey key = GuestKey::kPause;  // request: kPause or kLeave
  StopReason reason = StopReason::kDesync;
};

enum class LinkFault { kNone, kMalformed, kTooLong, kVersion };

// `from` is the side that sends.
CodeBytes EncodeMessage(const Message& m, LinkSide from);
// Anything but what EncodeMessage writes for `from` is refused, `*out` then
// left as it was.
LinkFault DecodeMessage(const std::uint8_t* data, int size, LinkSide from, Message* out);

// The guest's press as a key it may send; false for every other event. Its
// arrows (which its pads and touch pads give too) and w a s d, z q steer.
bool GuestKeyOf(const SDL_Event& event, GuestKey* key);
// The guest's key as both games take it: w a s d, p, or the window closed.
TakenEvent GuestEvent(GuestKey key);
// A frame's events, in the one order both devices take them: the host's, then the guest's.
void MergeFrame(const std::vector<TakenEvent>& host, const std::vector<GuestKey>& guest,
                std::deque<TakenEvent>* queue);

#endif
