#include "game/replay/lockstep.h"

#include <array>

#include "game/replay/recording_limits.h"
#include "game/replay/taken_event.h"

namespace {

// Bytes, and numbers in 7-bit groups, low first, never longer than needed.
class Writer {
 public:
  void Byte(unsigned value) { bytes.push_back(static_cast<std::uint8_t>(value)); }
  void Number(std::uint32_t value) {
    for (; value >= 0x80; value >>= 7) Byte((value & 0x7F) | 0x80);
    Byte(value);
  }
  void Word(std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) Byte(value >> shift);
  }
  CodeBytes bytes;
};

// Reads what Writer wrote; the first fault sticks and every read after gives 0.
class Reader {
 public:
  Reader(const std::uint8_t* data, int size) : data_(data), size_(size) {}
  bool Fine() const { return fine_; }
  bool AtEnd() const { return at_ == size_; }
  int Left() const { return size_ - at_; }
  void Fail() { fine_ = false; }
  unsigned Byte() {
    if (at_ >= size_) fine_ = false;
    return fine_ ? data_[at_++] : 0;
  }
  // A number in [0, high]; a longer spelling than needed is refused.
  int Number(int high) {
    std::uint64_t value = 0;
    for (int shift = 0; fine_; shift += 7) {
      const unsigned b = Byte();
      if (shift > 28 || (b == 0 && shift > 0)) Fail();
      value |= static_cast<std::uint64_t>(b & 0x7F) << shift;
      if (!(b & 0x80)) break;
    }
    if (value > static_cast<std::uint64_t>(high)) Fail();
    return fine_ ? static_cast<int>(value) : 0;
  }
  std::uint32_t Word() {
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i) value = value << 8 | Byte();
    return value;
  }

 private:
  const std::uint8_t* data_;
  int size_, at_ = 0;
  bool fine_ = true;
};

// An event of the host: its kind and pad bit in one byte, then its fields.
void PutEvent(Writer& w, const TakenEvent& e) {
  w.Byte(static_cast<unsigned>(e.kind) | (e.fromPad ? 8u : 0u));
  switch (e.kind) {
    case TakenKind::kKeyDown:
    case TakenKind::kKeyUp: w.Number(static_cast<std::uint32_t>(e.key)); break;
    case TakenKind::kMouseDown:
    case TakenKind::kMouseUp: w.Byte(static_cast<unsigned>(e.button)); [[fallthrough]];
    case TakenKind::kMotion:
      w.Number(static_cast<std::uint32_t>(e.x));
      w.Number(static_cast<std::uint32_t>(e.y));
      break;
    default: break;
  }
}

TakenEvent GetEvent(Reader& r) {
  TakenEvent e;
  const unsigned head = r.Byte();
  const unsigned kind = head & 7;
  if (kind >= static_cast<unsigned>(kTakenKinds) || head > 15) r.Fail();
  e.kind = static_cast<TakenKind>(kind);
  e.fromPad = head & 8;
  const bool key = e.kind == TakenKind::kKeyDown || e.kind == TakenKind::kKeyUp;
  if (e.fromPad && !key) r.Fail();  // only a key stands for a pad's button
  if (key) e.key = r.Number(kMaxKey);
  if (e.kind == TakenKind::kMouseDown || e.kind == TakenKind::kMouseUp) {
    e.button = static_cast<int>(r.Byte());
    if (e.button > 7) r.Fail();
  }
  if (e.kind == TakenKind::kMouseDown || e.kind == TakenKind::kMouseUp ||
      e.kind == TakenKind::kMotion) {
    e.x = r.Number(kMaxPointer);
    e.y = r.Number(kMaxPointer);
  }
  return e;
}

void PutFrame(Writer& w, const Message& m, LinkSide from) {
  w.Number(static_cast<std::uint32_t>(m.frame));
  w.Word(m.check);
  if (from == LinkSide::kHost) {
    w.Number(static_cast<std::uint32_t>(m.ticks));
    w.Number(static_cast<std::uint32_t>(m.events.size()));
    for (const TakenEvent& e : m.events) PutEvent(w, e);
  } else {
    w.Number(static_cast<std::uint32_t>(m.keys.size()));
    for (const GuestKey k : m.keys) w.Byte(static_cast<unsigned>(k));
  }
}

void GetFrame(Reader& r, LinkSide from, Message& m) {
  m.frame = r.Number(kMaxFrames);
  m.check = r.Word();
  if (from == LinkSide::kHost) {
    m.ticks = r.Number(kMaxTicks);
    const int count = r.Number(kMaxFrameEvents);
    for (int i = 0; i < count && r.Fine(); ++i) m.events.push_back(GetEvent(r));
  } else {
    const int count = r.Number(kMaxFrameEvents);
    for (int i = 0; i < count && r.Fine(); ++i) {
      const unsigned key = r.Byte();
      if (key >= static_cast<unsigned>(kGuestKeys)) r.Fail();
      m.keys.push_back(static_cast<GuestKey>(key));
    }
  }
}

// Which side may send which kind.
bool Sends(LinkSide from, MessageKind kind) {
  switch (kind) {
    case MessageKind::kHello:
    case MessageKind::kRequest: return from == LinkSide::kGuest;
    case MessageKind::kStart:
    case MessageKind::kStartMore:
    case MessageKind::kScreen: return from == LinkSide::kHost;
    case MessageKind::kFrame:
    case MessageKind::kStop: return true;
  }
  return false;
}

void GetBody(Reader& r, LinkSide from, Message& m) {
  switch (m.kind) {
    case MessageKind::kHello: break;  // its version is read first
    case MessageKind::kStart: m.startSize = r.Number(kMaxStartBytes); [[fallthrough]];
    case MessageKind::kStartMore: {
      const int left = r.Left();
      if (left > m.startSize && m.kind == MessageKind::kStart) r.Fail();
      for (int i = 0; i < left && r.Fine(); ++i)
        m.piece.push_back(static_cast<std::uint8_t>(r.Byte()));
      if (m.kind == MessageKind::kStartMore && m.piece.empty()) r.Fail();
      break;
    }
    case MessageKind::kFrame: GetFrame(r, from, m); break;
    case MessageKind::kScreen:
      m.wait = r.Number(kMaxWait);
      m.events.push_back(GetEvent(r));
      break;
    case MessageKind::kRequest:
      m.frames = r.Number(kMaxFrames);
      m.key = static_cast<GuestKey>(r.Byte());
      if (m.key != GuestKey::kPause && m.key != GuestKey::kLeave) r.Fail();
      break;
    case MessageKind::kStop:
      m.reason = static_cast<StopReason>(r.Byte());
      if (m.reason < StopReason::kDesync || m.reason > StopReason::kRefused) r.Fail();
      break;
  }
}

struct GuestKeyName {
  SDLKey key;
  GuestKey as;
};
constexpr std::array<GuestKeyName, 11> kGuestKeyNames{{{SDLK_UP, GuestKey::kUp},
                                                       {SDLK_w, GuestKey::kUp},
                                                       {SDLK_z, GuestKey::kUp},
                                                       {SDLK_DOWN, GuestKey::kDown},
                                                       {SDLK_s, GuestKey::kDown},
                                                       {SDLK_LEFT, GuestKey::kLeft},
                                                       {SDLK_a, GuestKey::kLeft},
                                                       {SDLK_q, GuestKey::kLeft},
                                                       {SDLK_RIGHT, GuestKey::kRight},
                                                       {SDLK_d, GuestKey::kRight},
                                                       {SDLK_p, GuestKey::kPause}}};

// What the guest's keys become: player 2's keys, the pause, a close.
constexpr std::array<SDLKey, kGuestKeys> kGuestKeysTaken{SDLK_w, SDLK_s, SDLK_a,
                                                         SDLK_d, SDLK_p, SDLK_UNKNOWN};

}  // namespace

CodeBytes EncodeMessage(const Message& m, LinkSide from) {
  Writer w;
  w.Byte(static_cast<unsigned>(m.kind));
  switch (m.kind) {
    case MessageKind::kHello: w.Byte(static_cast<unsigned>(m.version)); break;
    case MessageKind::kStart:
      w.Byte(static_cast<unsigned>(m.version));
      w.Number(static_cast<std::uint32_t>(m.startSize));
      [[fallthrough]];
    case MessageKind::kStartMore:
      w.bytes.insert(w.bytes.end(), m.piece.begin(), m.piece.end());
      break;
    case MessageKind::kFrame: PutFrame(w, m, from); break;
    case MessageKind::kScreen:
      w.Number(static_cast<std::uint32_t>(m.wait));
      PutEvent(w, m.events.empty() ? TakenEvent{} : m.events.front());
      break;
    case MessageKind::kRequest:
      w.Number(static_cast<std::uint32_t>(m.frames));
      w.Byte(static_cast<unsigned>(m.key));
      break;
    case MessageKind::kStop: w.Byte(static_cast<unsigned>(m.reason)); break;
  }
  return w.bytes;
}

LinkFault DecodeMessage(const std::uint8_t* data, int size, LinkSide from, Message* out) {
  if (size > kLinkMessageMax) return LinkFault::kTooLong;
  Reader r(data, size);
  Message m;
  const unsigned kind = r.Byte();
  m.kind = static_cast<MessageKind>(kind);
  if (kind < static_cast<unsigned>(MessageKind::kHello) ||
      kind > static_cast<unsigned>(MessageKind::kStop) || !Sends(from, m.kind))
    return LinkFault::kMalformed;
  // Whatever else changes, a version stays its second byte.
  if (m.kind == MessageKind::kHello || m.kind == MessageKind::kStart) {
    m.version = static_cast<int>(r.Byte());
    if (r.Fine() && m.version != kLockstepVersion) return LinkFault::kVersion;
  }
  GetBody(r, from, m);
  if (!r.Fine() || !r.AtEnd()) return LinkFault::kMalformed;
  *out = std::move(m);
  return LinkFault::kNone;
}

bool GuestKeyOf(const SDL_Event& event, GuestKey* key) {
  if (event.type == SDL_QUIT) return *key = GuestKey::kLeave, true;
  if (event.type != SDL_KEYDOWN) return false;
  for (const GuestKeyName& name : kGuestKeyNames)
    if (name.key == event.key.keysym.sym) return *key = name.as, true;
  return false;
}

TakenEvent GuestEvent(GuestKey key) {
  SDL_Event e{};
  if (key == GuestKey::kLeave) {
    e.type = SDL_QUIT;
  } else {
    e.type = SDL_KEYDOWN;
    e.key.keysym.sym = kGuestKeysTaken[static_cast<std::size_t>(key)];
  }
  return Taken(e, false);
}

void MergeFrame(const std::vector<TakenEvent>& host, const std::vector<GuestKey>& guest,
                std::deque<TakenEvent>* queue) {
  queue->insert(queue->end(), host.begin(), host.end());
  for (const GuestKey k : guest) queue->push_back(GuestEvent(k));
}
