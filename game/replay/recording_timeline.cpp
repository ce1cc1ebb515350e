#include "game/replay/recording_timeline.h"

#include <algorithm>
#include <array>
#include <utility>

namespace {

// Timeline tokens. A frame's key press released some frames later, the game's
// usual moment, is one token: the frames before it, the key, how long it was held.
constexpr unsigned kPress = 0b0, kFrameEvent = 0b10, kRepeat = 0b110, kScreenEvent = 0b1110,
                   kEnd = 0b1111;

// Frames before a press: a player turns every second or so, a few dozen frames.
constexpr int kQuietLowBits = 4;

// The keys last pressed, last first: a press names one in two bits, or a new one.
class RecentKeys {
 public:
  int Find(const TakenEvent& e) const {
    for (int i = 0; i < kCount; ++i)
      if (keys_[i] == std::make_pair(e.fromPad, e.key)) return i;
    return -1;
  }
  void Take(int at, const TakenEvent& e) {
    std::move_backward(keys_.begin(), keys_.begin() + (at < 0 ? kCount - 1 : at),
                       keys_.begin() + (at < 0 ? kCount : at + 1));
    keys_[0] = {e.fromPad, e.key};
  }
  TakenEvent At(int at) const {
    TakenEvent e;
    e.fromPad = keys_[static_cast<std::size_t>(at)].first;
    e.key = keys_[static_cast<std::size_t>(at)].second;
    return e;
  }
  static constexpr int kCount = 4, kBits = 2;

 private:
  std::array<std::pair<bool, int>, kCount> keys_{{{false, 0}, {false, 1}, {false, 2}, {false, 3}}};
};

TakenEvent KeyEvent(TakenKind kind, const TakenEvent& key) {
  TakenEvent e;
  e.kind = kind;
  e.fromPad = key.fromPad;
  e.key = key.key;
  return e;
}

// A frame's look took a key once, and a later frame's look its release.
bool IsPress(const Moment& m) {
  return !m.screen && m.frames == 1 && m.event == KeyEvent(TakenKind::kKeyDown, m.event);
}
bool Releases(const Moment& m, const Moment& press) {
  return !m.screen && m.event == KeyEvent(TakenKind::kKeyUp, press.event);
}

// ---- writing ----

void PutQuiet(BitWriter& w, int quiet) {
  w.Number(static_cast<std::uint64_t>(quiet) >> kQuietLowBits);
  w.Put(static_cast<unsigned>(quiet) & ((1u << kQuietLowBits) - 1), kQuietLowBits);
}

void PutKey(BitWriter& w, RecentKeys& recent, const TakenEvent& e) {
  const int at = recent.Find(e);
  w.Put(at < 0, 1);
  if (at >= 0) {
    w.Put(static_cast<unsigned>(at), RecentKeys::kBits);
  } else {
    w.Put(e.fromPad, 1);
    w.Number(static_cast<std::uint64_t>(e.key));
  }
  recent.Take(at, e);
}

void PutEvent(BitWriter& w, const TakenEvent& e, const TakenEvent* previous) {
  if (previous && e == *previous) return w.Put(0, 1);
  w.Put(1, 1);
  w.Put(static_cast<unsigned>(e.kind), 3);
  switch (e.kind) {
    case TakenKind::kKeyDown:
    case TakenKind::kKeyUp:
      w.Put(e.fromPad, 1);
      w.Number(static_cast<std::uint64_t>(e.key));
      break;
    case TakenKind::kMouseDown:
    case TakenKind::kMouseUp: w.Put(static_cast<unsigned>(e.button), 3); [[fallthrough]];
    case TakenKind::kMotion:
      w.Number(static_cast<std::uint64_t>(e.x));
      w.Number(static_cast<std::uint64_t>(e.y));
      break;
    default: break;
  }
}

// ---- reading ----

class TimelineReader {
 public:
  explicit TimelineReader(FieldReader& f) : f_(f), in_(f.in_) {}

  bool ReadEvent(TakenEvent& e, const TakenEvent* previous) {
    if (in_.Get(1) == 0) {
      if (!previous) Fail("elle r\u00e9p\u00e8te un \u00e9v\u00e9nement avant le premier");
      if (previous) e = *previous;
      return Fine();
    }
    const unsigned kind = static_cast<unsigned>(in_.Get(3));
    if (Fine() && kind >= kTakenKinds) Fail("un \u00e9v\u00e9nement est d'un genre inconnu");
    e.kind = static_cast<TakenKind>(kind);
    switch (e.kind) {
      case TakenKind::kKeyDown:
      case TakenKind::kKeyUp:
        e.fromPad = in_.Get(1) != 0;
        e.key = Int(0, kMaxKey, "une touche");
        break;
      case TakenKind::kMouseDown:
      case TakenKind::kMouseUp: e.button = static_cast<int>(in_.Get(3)); [[fallthrough]];
      case TakenKind::kMotion:
        e.x = Int(0, kMaxPointer, "la place d'un clic");
        e.y = Int(0, kMaxPointer, "la place d'un clic");
        break;
      default: break;
    }
    if (Fine() && previous && e == *previous) Fail("un \u00e9v\u00e9nement est mal \u00e9crit");
    return Fine();
  }

  int Quiet() {
    const std::uint64_t high = in_.Number();
    const std::uint64_t low = in_.Get(kQuietLowBits);
    if (Fine() && high > static_cast<std::uint64_t>(kMaxFrames >> kQuietLowBits))
      Fail("une attente est impossible");
    return Fine() ? static_cast<int>(high << kQuietLowBits | low) : 0;
  }

  void ReadPress(Recording& r, RecentKeys& recent) {
    Moment press;
    press.quiet = Quiet();
    TakenEvent key;
    int at = -1;
    if (in_.Get(1) == 0) {
      at = static_cast<int>(in_.Get(RecentKeys::kBits));
      key = recent.At(at);
    } else {
      key.fromPad = in_.Get(1) != 0;
      key.key = Int(0, kMaxKey, "une touche");
      if (Fine() && recent.Find(key) >= 0) Fail("une touche est mal \u00e9crite");
    }
    Moment release;
    release.quiet = Int(0, kMaxFrames, "une attente");
    if (!Fine()) return;
    recent.Take(at, key);
    press.event = KeyEvent(TakenKind::kKeyDown, key);
    release.event = KeyEvent(TakenKind::kKeyUp, key);
    CountFrames(r, std::int64_t{press.quiet} + 1 + release.quiet + 1);
    r.moments.push_back(press);
    r.moments.push_back(release);
  }

  void Read(Recording& r) {
    RecentKeys recent;
    const TakenEvent* previous = nullptr;
    while (Fine()) {
      if (r.moments.size() + 1 >= static_cast<std::size_t>(kMaxMoments)) {
        Fail("elle est bien trop longue");
        return;
      }
      if (in_.Get(1) == kPress) {
        ReadPress(r, recent);
      } else if (in_.Get(1) == 0) {  // kFrameEvent
        Moment m;
        m.quiet = Quiet();
        if (!ReadEvent(m.event, previous)) return;
        if (!r.moments.empty() && IsPress(r.moments.back()) && Releases(m, r.moments.back()))
          Fail("un \u00e9v\u00e9nement est mal \u00e9crit");
        CountFrames(r, std::int64_t{m.quiet} + 1);
        r.moments.push_back(m);
      } else if (in_.Get(1) == 0) {  // kRepeat
        if (r.moments.empty() || r.moments.back().screen || r.moments.back().frames > 1)
          Fail("elle r\u00e9p\u00e8te un \u00e9v\u00e9nement mal \u00e0 propos");
        const int more = Int(0, kMaxFrames, "une r\u00e9p\u00e9tition") + 1;
        if (!Fine()) return;
        CountFrames(r, more);
        r.moments.back().frames += more;
      } else if (in_.Get(1) == 0) {  // kScreenEvent
        Moment m;
        m.screen = true;
        m.quiet = Int(0, kMaxFrames, "une attente");
        m.wait = Int(0, kMaxWait, "une attente");
        if (!ReadEvent(m.event, previous)) return;
        CountFrames(r, m.quiet);
        r.moments.push_back(m);
      } else {  // kEnd
        CountFrames(r, Int(0, kMaxFrames, "sa fin"));
        return;
      }
      if (!Fine()) return;
      previous = &r.moments.back().event;
    }
  }

 private:
  bool Fine() const { return f_.Fine(); }
  void Fail(const std::string& what) { f_.Fail(what); }
  int Int(int low, int high, const char* what) { return f_.Int(low, high, what); }
  void CountFrames(Recording& r, std::int64_t more) { f_.CountFrames(r, more); }

  FieldReader& f_;
  BitReader& in_;
};

}  // namespace

void PutTimeline(BitWriter& w, const std::vector<Moment>& moments, int frames) {
  RecentKeys recent;
  const TakenEvent* previous = nullptr;
  int framesSeen = 0;
  for (std::size_t i = 0; i < moments.size(); ++i) {
    const Moment& m = moments[i];
    if (IsPress(m) && i + 1 < moments.size() && Releases(moments[i + 1], m)) {
      const Moment& release = moments[++i];
      w.Put(kPress, 1);
      PutQuiet(w, m.quiet);
      PutKey(w, recent, m.event);
      w.Number(static_cast<std::uint64_t>(release.quiet));
      framesSeen += m.quiet + 1 + release.quiet + release.frames;
      if (release.frames > 1) {
        w.Put(kRepeat, 3);
        w.Number(static_cast<std::uint64_t>(release.frames - 2));
      }
      previous = &release.event;
      continue;
    }
    if (m.screen) {
      w.Put(kScreenEvent, 4);
      w.Number(static_cast<std::uint64_t>(m.quiet));
      w.Number(static_cast<std::uint64_t>(m.wait));
    } else {
      w.Put(kFrameEvent, 2);
      PutQuiet(w, m.quiet);
    }
    PutEvent(w, m.event, previous);
    if (!m.screen && m.frames > 1) {
      w.Put(kRepeat, 3);
      w.Number(static_cast<std::uint64_t>(m.frames - 2));
    }
    framesSeen += m.quiet + (m.screen ? 0 : m.frames);
    previous = &m.event;
  }
  w.Put(kEnd, 4);
  w.Number(static_cast<std::uint64_t>(std::max(0, frames - framesSeen)));
}

void ReadTimeline(FieldReader& f, Recording& r) { TimelineReader(f).Read(r); }
