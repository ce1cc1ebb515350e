#include "game/replay/recording_code.h"

#include <algorithm>
#include <array>
#include <utility>

#include "game/replay/recording_limits.h"

namespace {

constexpr int kTickGuess = 6;  // frames between two quarter seconds, at the game's pace

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

void PutTicks(BitWriter& w, const std::vector<Ticks>& ticks) {
  w.Number(ticks.size());
  int last = -1, gap = kTickGuess;
  for (const Ticks& t : ticks) {
    const int g = t.frame - last;
    if (t.count == 1 && g == gap) {
      w.Put(0b0, 1);
    } else if (t.count == 1 && g == gap + 1) {
      w.Put(0b10, 2);
    } else if (t.count == 1 && g == gap - 1) {
      w.Put(0b110, 3);
    } else if (t.count == 1) {
      w.Put(0b1110, 4);
      w.Number(static_cast<std::uint64_t>(g - 1));
    } else {
      w.Put(0b1111, 4);
      w.Number(static_cast<std::uint64_t>(g - 1));
      w.Number(static_cast<std::uint64_t>(t.count - 2));
    }
    last = t.frame;
    gap = g;
  }
}

void PutLevel(BitWriter& w, const CarriedLevel& level) {
  w.Number(static_cast<std::uint64_t>(level.level));
  w.Number(static_cast<std::uint64_t>(level.wallCount + 1));
  for (const auto& [x, y] : level.walls) {
    const bool onGrid = OnGrid(x, y);
    w.Put(onGrid, 1);
    if (onGrid) {
      w.Put(static_cast<unsigned>(y / kGridCell * kGridColumns + x / kGridCell), kCellBits);
    } else {
      w.Put(static_cast<std::uint16_t>(x), 16);
      w.Put(static_cast<std::uint16_t>(y), 16);
    }
  }
}

// ---- reading ----

class Reader {
 public:
  explicit Reader(const CodeBytes& bytes) : in_(bytes, 1) {}

  std::string Read(Recording& r) {
    r.seed = static_cast<std::uint32_t>(in_.Get(32));
    r.firstLevel = Int(kFirstLevelMin, kFirstLevelMax, "son premier niveau");
    r.playerCount = Int(0, 2, "son nombre de joueurs");
    r.globals.tamponIMG = Int(0, 3, "l'\u00e9tat des images");
    r.globals.attente = Int(0, 1, "l'\u00e9tat de l'horloge");
    r.globals.invulnerable = SignedInt(kGlobalMin, kGlobalMax, "l'invuln\u00e9rabilit\u00e9");
    r.globals.change = SignedInt(kGlobalMin, kGlobalMax, "les quarts de seconde");
    r.globals.finprog = Int(0, 1, "la fin du programme");
    r.endLevel = Int(1, kGlobalMax, "son dernier niveau");
    r.endScore = SignedInt(kGlobalMin, kGlobalMax, "son score");
    r.endCheck = static_cast<std::uint32_t>(in_.Get(32));
    ReadLevels(r);
    ReadTimeline(r);
    ReadTicks(r);
    const int checks = (r.frames + kCheckEvery - 1) / kCheckEvery;
    for (int i = 0; i < checks && Fine(); ++i)
      r.checks.push_back(static_cast<std::uint16_t>(in_.Get(kCheckBits)));
    if (in_.Failed() && fault_.empty()) fault_ = "elle a \u00e9t\u00e9 coup\u00e9e";
    if (fault_.empty() && !in_.AtCleanEnd()) fault_ = "elle a \u00e9t\u00e9 rallong\u00e9e";
    return fault_;
  }

 private:
  bool Fine() const { return fault_.empty() && !in_.Failed(); }

  void Fail(const std::string& what) {
    if (fault_.empty()) fault_ = what;
  }

  int Int(int low, int high, const char* what) {
    const std::uint64_t v = in_.Number();
    if (Fine() && (v < static_cast<std::uint64_t>(low) || v > static_cast<std::uint64_t>(high)))
      Fail(std::string(what) + " est impossible");
    return Fine() ? static_cast<int>(v) : low;
  }

  int SignedInt(int low, int high, const char* what) {
    const std::int64_t v = in_.Signed();
    if (Fine() && (v < low || v > high)) Fail(std::string(what) + " est impossible");
    return Fine() ? static_cast<int>(v) : 0;
  }

  void ReadLevels(Recording& r) {
    const int count = Int(0, kMaxCarriedLevels, "le nombre de ses niveaux");
    for (int i = 0; i < count && Fine(); ++i) {
      CarriedLevel level;
      level.level = Int(1, kGlobalMax, "un de ses niveaux");
      if (!r.levels.empty() && level.level <= r.levels.back().level)
        Fail("ses niveaux ne sont pas en ordre");
      level.wallCount = Int(0, kMaxCarriedWalls + 1, "un nombre de murs") - 1;
      for (int k = 0; k < level.wallCount && Fine(); ++k) {
        if (in_.Get(1)) {
          const int cell = static_cast<int>(in_.Get(kCellBits));
          level.walls.emplace_back(cell % kGridColumns * kGridCell,
                                   cell / kGridColumns * kGridCell);
        } else {
          const auto x = static_cast<std::int16_t>(in_.Get(16));
          const auto y = static_cast<std::int16_t>(in_.Get(16));
          if (Fine() && OnGrid(x, y)) Fail("un mur est mal \u00e9crit");
          level.walls.emplace_back(x, y);
        }
      }
      r.levels.push_back(std::move(level));
    }
  }

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

  void CountFrames(Recording& r, std::int64_t more) {
    if (static_cast<std::int64_t>(r.frames) + more > kMaxFrames) {
      Fail("elle est bien trop longue");
      return;
    }
    r.frames += static_cast<int>(more);
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

  void ReadTimeline(Recording& r) {
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

  void ReadTicks(Recording& r) {
    const int count = Int(0, r.frames, "le nombre de ses quarts de seconde");
    int last = -1, gap = kTickGuess;
    for (int i = 0; i < count && Fine(); ++i) {
      Ticks t{0, 1};
      int g = gap;
      if (in_.Get(1) == 0) {
      } else if (in_.Get(1) == 0) {
        g = gap + 1;
      } else if (in_.Get(1) == 0) {
        g = gap - 1;
      } else if (in_.Get(1) == 0) {
        g = Int(0, kMaxFrames, "un quart de seconde") + 1;
        if (Fine() && g >= gap - 1 && g <= gap + 1) Fail("un quart de seconde est mal \u00e9crit");
      } else {
        g = Int(0, kMaxFrames, "un quart de seconde") + 1;
        t.count = Int(0, kMaxTicks, "un quart de seconde") + 2;
      }
      if (g < 1 || std::int64_t{last} + g >= r.frames)
        Fail("un quart de seconde tombe hors du jeu");
      if (!Fine()) return;
      t.frame = last + g;
      r.ticks.push_back(t);
      last = t.frame;
      gap = g;
    }
  }

  BitReader in_;
  std::string fault_;
};

std::string Refusal(const std::string& why) {
  return "Cette partie ne peut pas \u00eatre rejou\u00e9e : " + why + ".";
}

}  // namespace

std::uint16_t RecordingCheck(const CodeBytes& bytes, std::size_t length) {
  std::uint32_t hash = 2166136261u;  // FNV-1a, folded to 16 bits
  for (std::size_t i = 0; i < length && i < bytes.size(); ++i) hash = (hash ^ bytes[i]) * 16777619u;
  return static_cast<std::uint16_t>(hash ^ (hash >> 16));
}

CodeBytes EncodeRecording(const Recording& r) {
  CodeBytes bytes{kRecordingVersion};
  BitWriter w(&bytes);
  w.Put(r.seed, 32);
  w.Number(static_cast<std::uint64_t>(r.firstLevel));
  w.Number(static_cast<std::uint64_t>(r.playerCount));
  w.Number(static_cast<std::uint64_t>(r.globals.tamponIMG));
  w.Number(static_cast<std::uint64_t>(r.globals.attente));
  w.Signed(r.globals.invulnerable);
  w.Signed(r.globals.change);
  w.Number(static_cast<std::uint64_t>(r.globals.finprog));
  w.Number(static_cast<std::uint64_t>(r.endLevel));
  w.Signed(r.endScore);
  w.Put(r.endCheck, 32);
  w.Number(r.levels.size());
  for (const CarriedLevel& level : r.levels) PutLevel(w, level);
  PutTimeline(w, r.moments, r.frames);
  PutTicks(w, r.ticks);
  for (const std::uint16_t check : r.checks) w.Put(check, kCheckBits);
  const std::uint16_t check = RecordingCheck(bytes, bytes.size());
  bytes.push_back(static_cast<std::uint8_t>(check >> 8));
  bytes.push_back(static_cast<std::uint8_t>(check));
  return bytes;
}

std::string DecodeRecording(const CodeBytes& bytes, Recording* out) {
  if (bytes.empty()) return Refusal("elle est vide");
  if (bytes[0] > kRecordingVersion && bytes[0] <= kLastLikelyRecordingVersion) {
    return "Cette partie vient d'une version plus r\u00e9cente du jeu : il faut un jeu qui lise "
           "les parties de version " +
           std::to_string(bytes[0]) + " (celui-ci lit la version " +
           std::to_string(kRecordingVersion) + ").";
  }
  if (bytes[0] >= 1 && bytes[0] < kRecordingVersion)
    return Refusal("elle vient d'une version plus ancienne du jeu");
  if (bytes[0] != kRecordingVersion) return "Ce n'est pas une partie de Glouto.";
  if (bytes.size() < 3) return Refusal("elle a \u00e9t\u00e9 coup\u00e9e");
  if (bytes.size() > kMaxRecordingBytes) return Refusal("elle est bien trop longue");
  const std::size_t body = bytes.size() - 2;
  if (RecordingCheck(bytes, body) != (bytes[body] << 8 | bytes[body + 1]))
    return Refusal("elle est ab\u00eem\u00e9e ou incompl\u00e8te");
  const CodeBytes content(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(body));
  Recording r;
  const std::string fault = Reader(content).Read(r);
  if (!fault.empty()) return Refusal(fault);
  *out = std::move(r);
  return "";
}

std::string RecordingCode(const Recording& recording) {
  return ToBase64Url(EncodeRecording(recording));
}

std::string DecodeRecordingCode(const std::string& codeOrLink, Recording* out) {
  std::string code = CodeOf(codeOrLink);
  if (code.rfind("partie=", 0) == 0) code.erase(0, 7);
  if (code.size() > (kMaxRecordingBytes * 4 + 2) / 3) return Refusal("son code est bien trop long");
  CodeBytes bytes;
  if (!FromBase64Url(code, &bytes))
    return Refusal(
        "son code contient des caract\u00e8res qui n'en sont pas, ou a \u00e9t\u00e9 "
        "coup\u00e9");
  return DecodeRecording(bytes, out);
}
