#include "game/replay/linked.h"

#include <algorithm>
#include <array>
#include <tuple>
#include <utility>
#include <vector>

#include "common/pad_keys.h"
#include "game/replay/lockstep.h"
#include "game/replay/recording_code.h"
#include "game/replay/taken_event.h"
#include "platform/window.h"

namespace {

// Why the game on two screens stopped, as the player reads it.
enum class Why { kLost, kDesync, kTooLong, kMalformed, kOutOfOrder, kVersion, kRefusedHere };
constexpr std::array<const char*, 7> kWhy{
    "La liaison avec l'autre \xE9"
    "cran est perdue : la partie s'arr\xEAte.",
    "D\xE9synchronisation : les deux \xE9"
    "crans ne voient plus la m\xEAme partie, elle s'arr\xEAte.",
    "L'autre \xE9"
    "cran a envoy\xE9 un message trop long : la partie s'arr\xEAte.",
    "L'autre \xE9"
    "cran a envoy\xE9 un message illisible : la partie s'arr\xEAte.",
    "L'autre \xE9"
    "cran a envoy\xE9 un message hors de son ordre : la partie s'arr\xEAte.",
    "L'autre \xE9"
    "cran joue une autre version de Glouto : mettez les deux \xE0 jour pour jouer ensemble.",
    "L'autre \xE9"
    "cran a refus\xE9 un message de celui-ci : la partie s'arr\xEAte."};

// A frame's input of one device.
struct FrameInput {
  std::vector<TakenEvent> events;  // the host's
  std::vector<GuestKey> keys;      // the guest's
  int ticks = 0;
};

// One device's inputs from frame `first` on; the first kInputDelay frames have none.
struct Inputs {
  int first = 0;
  std::deque<FrameInput> held = std::deque<FrameInput>(kInputDelay);
  int Next() const { return first + static_cast<int>(held.size()); }
  FrameInput Take() {
    FrameInput in = std::move(held.front());
    held.pop_front();
    ++first;
    return in;
  }
};

// The last frames' checksums of one device; the two devices are never more
// than kInputDelay frames apart.
struct Checks {
  static constexpr int kKept = 64;
  std::array<std::pair<int, std::uint32_t>, kKept> at;
  Checks() { at.fill({-1, 0}); }
  std::pair<int, std::uint32_t>& operator[](int frame) { return at[frame % kKept]; }
};

// More screen events waiting than an honest host sends.
constexpr std::size_t kMaxQueued = 1 << 16;
// The host's own events waiting for a frame, at most as many as SDL queues.
constexpr std::size_t kMaxUnsent = 128;
constexpr Uint32 kLook = 1;  // ms between two looks at the link while waiting

struct Link {
  LinkSide side = LinkSide::kNone;
  bool stopped = false;
  // The other device left: what it sent before still plays, up to where it
  // would have to send more: it leaves as its game ends as much as by a fault.
  bool gone = false;
  int frame = 0;  // frames played on this link, every game together
  Inputs own, other;
  Checks ownChecks, otherChecks;
  std::deque<TakenEvent> unsent;  // the host's events beyond a frame's share
  // The host's.
  bool heardHello = false, guestLeft = false, inPause = false;
  int pauseAsked = -1;  // the frame count when the guest asked to leave the pause
  // The guest's.
  bool leaving = false;
  std::deque<std::pair<TakenEvent, int>> screens;
  int startSize = -1;  // a start on its way
  CodeBytes starting;
  std::deque<CodeBytes> starts;
};

Link link;

LinkSide Other() { return link.side == LinkSide::kHost ? LinkSide::kGuest : LinkSide::kHost; }

void Send(const Message& m) {
  const CodeBytes bytes = EncodeMessage(m, link.side);
  LinkSend(bytes.data(), static_cast<int>(bytes.size()));
}

void Stop(Why why) {
  if (link.stopped) return;
  link.stopped = true;
  LinkSay(kWhy[static_cast<std::size_t>(why)]);
  if (why == Why::kLost || why == Why::kRefusedHere) return;
  Message m;
  m.kind = MessageKind::kStop;
  m.reason = why == Why::kDesync ? StopReason::kDesync : StopReason::kRefused;
  Send(m);
}

void NoteCheck(Checks& mine, Checks& theirs, int frame, std::uint32_t check) {
  mine[frame] = {frame, check};
  if (theirs[frame].first == frame && theirs[frame].second != check) Stop(Why::kDesync);
}

void TakeStartPiece(const Message& m) {
  if ((m.kind == MessageKind::kStart) != (link.startSize < 0)) return Stop(Why::kOutOfOrder);
  if (m.kind == MessageKind::kStart) link.startSize = m.startSize, link.starting.clear();
  link.starting.insert(link.starting.end(), m.piece.begin(), m.piece.end());
  const auto size = static_cast<std::size_t>(link.startSize);
  if (link.starting.size() > size) return Stop(Why::kMalformed);
  if (link.starting.size() < size) return;
  link.starts.push_back(std::move(link.starting));
  link.starting.clear();
  link.startSize = -1;
}

void TakeFrame(Message& m) {
  // A device runs at most kInputDelay frames ahead, its input as many more.
  if (m.frame != link.other.Next() || m.frame > link.frame + 2 * kInputDelay)
    return Stop(Why::kOutOfOrder);
  NoteCheck(link.otherChecks, link.ownChecks, m.frame - kInputDelay, m.check);
  link.other.held.push_back({std::move(m.events), std::move(m.keys), m.ticks});
}

void Take(Message& m) {
  if (link.side == LinkSide::kHost && (m.kind == MessageKind::kHello) == link.heardHello)
    return Stop(Why::kOutOfOrder);  // a hello first, and only once
  switch (m.kind) {
    case MessageKind::kHello: link.heardHello = true; break;
    case MessageKind::kStart:
    case MessageKind::kStartMore: TakeStartPiece(m); break;
    case MessageKind::kFrame: TakeFrame(m); break;
    case MessageKind::kScreen:
      if (link.screens.size() >= kMaxQueued) return Stop(Why::kOutOfOrder);
      link.screens.emplace_back(m.events.front(), m.wait);
      break;
    case MessageKind::kRequest:
      if (m.key == GuestKey::kLeave) link.guestLeft = true;
      if (m.key == GuestKey::kPause) link.pauseAsked = m.frames;
      break;
    case MessageKind::kStop:
      Stop(m.reason == StopReason::kDesync ? Why::kDesync : Why::kRefusedHere);
      break;
  }
}

// Everything the other device sent so far.
void Pump() {
  std::array<std::uint8_t, kLinkMessageMax> buffer;
  while (!link.stopped) {
    const int size = LinkReceive(buffer.data(), kLinkMessageMax);
    if (size == 0) return;
    if (size < 0) {
      link.gone = true;
      return;
    }
    Message m;
    switch (DecodeMessage(buffer.data(), size, Other(), &m)) {
      case LinkFault::kNone: Take(m); break;
      case LinkFault::kTooLong: return Stop(Why::kTooLong);
      case LinkFault::kVersion: return Stop(Why::kVersion);
      case LinkFault::kMalformed: return Stop(Why::kMalformed);
    }
  }
}

// Stops when nothing more can come; true once stopped.
bool Starved() {
  if (link.gone) Stop(Why::kLost);
  return link.stopped;
}

TakenEvent Closed() {
  TakenEvent e;
  e.kind = TakenKind::kQuit;
  return e;
}

// This device's input for a frame to come: the host's every event, the
// guest's keys it may send.
FrameInput Gather(int ticks) {
  FrameInput in;
  in.ticks = ticks;
  SDL_Event e;
  while (WindowPollEvent(&e)) {
    GuestKey key;
    if (link.side == LinkSide::kHost) {
      if (link.unsent.size() < kMaxUnsent) link.unsent.push_back(Taken(e, LastKeyFromPad()));
    } else if (!link.leaving && GuestKeyOf(e, &key) &&
               in.keys.size() < std::size_t{kMaxFrameEvents}) {
      in.keys.push_back(key);
      link.leaving = key == GuestKey::kLeave;
    }
  }
  while (!link.unsent.empty() && in.events.size() < std::size_t{kMaxFrameEvents}) {
    in.events.push_back(link.unsent.front());
    link.unsent.pop_front();
  }
  return in;
}

void SendInput(const FrameInput& in, std::uint32_t check) {
  Message m;
  m.kind = MessageKind::kFrame;
  m.frame = link.own.Next();
  m.check = check;
  m.ticks = in.ticks;
  m.events = in.events;
  m.keys = in.keys;
  Send(m);
}

}  // namespace

void LinkedBegin(LinkSide side) {
  link = Link{};
  link.side = side;
  if (side != LinkSide::kGuest) return;
  Message hello;
  hello.kind = MessageKind::kHello;
  hello.version = kLockstepVersion;
  Send(hello);
}

void LinkedSendStart(const Recording& start) {
  const CodeBytes bytes = EncodeRecording(start);
  Message m;
  m.kind = MessageKind::kStart;
  m.version = kLockstepVersion;
  m.startSize = static_cast<int>(bytes.size());
  for (std::size_t at = 0; at == 0 || at < bytes.size(); at += kStartPiece) {
    const std::size_t end = std::min(bytes.size(), at + kStartPiece);
    m.piece.assign(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                   bytes.begin() + static_cast<std::ptrdiff_t>(end));
    Send(m);
    m.kind = MessageKind::kStartMore;
  }
}

bool LinkedTakeStart(Recording* start) {
  for (Pump(); link.starts.empty() && !Starved(); Pump()) SDL_Delay(kLook);
  if (link.stopped) return false;
  const CodeBytes bytes = std::move(link.starts.front());
  link.starts.pop_front();
  if (DecodeRecording(bytes, start).empty()) return true;
  Stop(Why::kMalformed);
  return false;
}

int LinkedFrame(std::uint32_t check, int ownTicks, std::deque<TakenEvent>* queue) {
  const int frame = link.frame++;
  Pump();
  if (!link.stopped) NoteCheck(link.ownChecks, link.otherChecks, frame, check);
  if (!link.stopped) {
    FrameInput in = Gather(ownTicks);
    SendInput(in, check);
    link.own.held.push_back(std::move(in));
  }
  while (link.other.Next() <= frame && !Starved()) {
    SDL_Delay(kLook);
    Pump();
  }
  if (link.stopped) {
    queue->clear();
    queue->push_back(Closed());
    return 0;
  }
  const FrameInput mine = link.own.Take(), theirs = link.other.Take();
  const FrameInput& host = link.side == LinkSide::kHost ? mine : theirs;
  const FrameInput& guest = link.side == LinkSide::kHost ? theirs : mine;
  MergeFrame(host.events, guest.keys, queue);
  return host.ticks;
}

bool LinkedHostScreen(SDL_Event* event) {
  Pump();
  if (Starved() || link.guestLeft) {
    *event = EventOf(Closed());
    return true;
  }
  if (WindowPollEvent(event)) return true;
  if (link.inPause && link.pauseAsked == link.frame) {
    link.pauseAsked = -1;
    *event = EventOf(GuestEvent(GuestKey::kPause));
    SetLastKeyFromPad(false);
    return true;
  }
  return false;
}

void LinkedSendScreen(const TakenEvent& event, int wait) {
  if (link.stopped) return;
  Message m;
  m.kind = MessageKind::kScreen;
  m.wait = wait;
  m.events = {event};
  Send(m);
}

bool LinkedGuestScreen(TakenEvent* event, int* wait) {
  Pump();
  SDL_Event e;
  GuestKey key;
  while (WindowPollEvent(&e)) {
    if (link.stopped || link.leaving || !GuestKeyOf(e, &key)) continue;
    if (key != GuestKey::kPause && key != GuestKey::kLeave) continue;
    Message m;
    m.kind = MessageKind::kRequest;
    m.frames = link.frame;
    m.key = key;
    Send(m);
    link.leaving = key == GuestKey::kLeave;
  }
  if (!link.stopped && !link.screens.empty()) {  // what a host gone sent before plays on
    std::tie(*event, *wait) = link.screens.front();
    link.screens.pop_front();
    return true;
  }
  if (!Starved()) return false;
  *event = Closed();
  *wait = 0;
  return true;
}

void LinkedInPause(bool paused) { link.inPause = paused; }
