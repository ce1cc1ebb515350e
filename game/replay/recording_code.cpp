#include "game/replay/recording_code.h"

#include "game/replay/recording_fields.h"
#include "game/replay/recording_timeline.h"

namespace {

constexpr int kTickGuess = 6;  // frames between two quarter seconds, at the game's pace

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

class Reader : FieldReader {
 public:
  explicit Reader(const CodeBytes& bytes) : FieldReader(bytes) {}

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
    ReadTimeline(*this, r);
    ReadTicks(r);
    const int checks = (r.frames + kCheckEvery - 1) / kCheckEvery;
    for (int i = 0; i < checks && Fine(); ++i)
      r.checks.push_back(static_cast<std::uint16_t>(in_.Get(kCheckBits)));
    if (in_.Failed() && fault_.empty()) fault_ = "elle a \u00e9t\u00e9 coup\u00e9e";
    if (fault_.empty() && !in_.AtCleanEnd()) fault_ = "elle a \u00e9t\u00e9 rallong\u00e9e";
    return fault_;
  }

 private:
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
