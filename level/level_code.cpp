#include "level/level_code.h"

#include <cstdint>
#include <string_view>
#include <vector>

#include "level/level_save.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::uint8_t kVersion = 1;
constexpr std::uint8_t kCrLf = 1;  // the only flag: lines end in CR LF
// Cells are counted row by row across the widest window, in 10 bits.
constexpr int kColumns = kWidestLevel / kLevelCell;
constexpr int kCellBits = 10;
constexpr int kHeaderBytes = 5;  // version, flags, level, wall count (2)
// The code of the most walls a level holds: anything longer is no code of ours.
constexpr std::size_t kMaxCodeLength = ((kHeaderBytes + (kMaxWalls * kCellBits + 7) / 8) * 8 + 5) /
                                       6;
// Versions we may one day write; a first byte past them is no version at all.
constexpr std::uint8_t kLastLikelyVersion = 15;

constexpr std::string_view kDigits =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";

LevelVerdict CodeFault(const std::string& detail, LevelProblem problem = LevelProblem::kCode) {
  LevelVerdict verdict;
  verdict.problem = problem;
  verdict.detail = detail;
  return verdict;
}

// What a chat app adds to a pasted code or link: line breaks where it wraps,
// spaces, and after the code a query of its own ("?utm_source=...", "&x=1").
std::string CodeOf(const std::string& codeOrLink) {
  std::string kept;
  for (const char c : codeOrLink)
    if (c != ' ' && c != '\t' && c != '\n' && c != '\r') kept += c;
  const std::size_t hash = kept.find('#');
  if (hash == std::string::npos) return kept;
  kept.erase(0, hash + 1);
  const std::size_t query = kept.find_first_of("?&");
  if (query != std::string::npos) kept.erase(query);
  return kept;
}

std::string ToBase64Url(const Bytes& bytes) {
  std::string out;
  unsigned buffer = 0;
  int bits = 0;
  for (const std::uint8_t b : bytes) {
    buffer = (buffer << 8) | b;
    for (bits += 8; bits >= 6; bits -= 6) out += kDigits[(buffer >> (bits - 6)) & 63];
  }
  if (bits > 0) out += kDigits[(buffer << (6 - bits)) & 63];
  return out;
}

// Only the one spelling ToBase64Url gives: no padding, no stray bits.
bool FromBase64Url(std::string_view code, Bytes* bytes) {
  if (code.size() % 4 == 1) return false;
  unsigned buffer = 0;
  int bits = 0;
  for (const char c : code) {
    const std::size_t digit = kDigits.find(c);
    if (digit == std::string_view::npos) return false;
    buffer = (buffer << 6) | static_cast<unsigned>(digit);
    bits += 6;
    if (bits >= 8) {
      bits -= 8;
      bytes->push_back(static_cast<std::uint8_t>(buffer >> bits));
    }
  }
  return (buffer & ((1u << bits) - 1)) == 0;
}

class BitWriter {
 public:
  explicit BitWriter(Bytes* bytes) : bytes_(bytes) {}
  void Put(unsigned value, int bits) {
    for (int i = bits - 1; i >= 0; --i) {
      if (used_ % 8 == 0) bytes_->push_back(0);
      if ((value >> i) & 1) bytes_->back() |= static_cast<std::uint8_t>(0x80 >> (used_ % 8));
      ++used_;
    }
  }

 private:
  Bytes* bytes_;
  int used_ = 0;
};

unsigned Bits(const Bytes& bytes, std::size_t from, int count) {
  unsigned value = 0;
  for (int i = 0; i < count; ++i, ++from)
    value = (value << 1) | ((bytes[from / 8] >> (7 - from % 8)) & 1);
  return value;
}

std::string TextOf(const std::vector<LevelWall>& walls, bool crlf) {
  return LevelText(static_cast<int>(walls.size()), walls, crlf ? "\r\n" : "\n");
}

}  // namespace

LevelVerdict EncodeLevel(const std::string& text, int level, std::string* code) {
  if (!IsNamedLevel(level)) {
    return CodeFault("les niveaux vont de " + std::to_string(kFirstLevel) + " \u00e0 " +
                         std::to_string(kLastLevel),
                     LevelProblem::kShare);
  }
  std::vector<LevelWall> walls;
  LevelVerdict verdict = ReadLevelText(text, level, &walls);
  if (verdict.problem != LevelProblem::kNone) return verdict;
  const bool crlf = text.find('\r') != std::string::npos;
  // Line breaks of both kinds in one file could not come back the same.
  if (TextOf(walls, crlf) != text)
    return CodeFault("ses fins de ligne sont m\u00e9lang\u00e9es", LevelProblem::kShare);
  Bytes bytes{kVersion, crlf ? kCrLf : std::uint8_t{0}, static_cast<std::uint8_t>(level),
              static_cast<std::uint8_t>(walls.size() >> 8),
              static_cast<std::uint8_t>(walls.size())};
  BitWriter writer(&bytes);
  for (const LevelWall& w : walls)
    writer.Put(static_cast<unsigned>(w.y / kLevelCell * kColumns + w.x / kLevelCell), kCellBits);
  *code = ToBase64Url(bytes);
  return verdict;
}

LevelVerdict DecodeLevel(const std::string& codeOrLink, std::string* text, int* level) {
  const std::string code = CodeOf(codeOrLink);
  if (code.empty()) return CodeFault("il est vide");
  if (code.size() > kMaxCodeLength) return CodeFault("il est bien trop long pour un niveau");
  Bytes bytes;
  if (!FromBase64Url(code, &bytes))
    return CodeFault(
        "il contient des caract\u00e8res qui n'en sont pas, ou a \u00e9t\u00e9 coup\u00e9");
  if (bytes.size() < kHeaderBytes) return CodeFault("il est trop court");
  if (bytes[0] > kVersion && bytes[0] <= kLastLikelyVersion)
    return CodeFault("il vient d'une version plus r\u00e9cente du jeu");
  if (bytes[0] != kVersion) return CodeFault("il ne vient pas de Glouto");
  if ((bytes[1] & ~kCrLf) != 0 || bytes[2] == 0) return CodeFault("son en-t\u00eate est invalide");
  if (!IsNamedLevel(bytes[2])) {
    return CodeFault("il se dit du niveau " + std::to_string(bytes[2]) +
                     ", mais les niveaux vont de " + std::to_string(kFirstLevel) + " \u00e0 " +
                     std::to_string(kLastLevel));
  }
  const std::size_t count = static_cast<std::size_t>(bytes[3]) << 8 | bytes[4];
  const std::size_t cellBytes = (count * kCellBits + 7) / 8;
  if (bytes.size() != kHeaderBytes + cellBytes)
    return CodeFault("il a \u00e9t\u00e9 coup\u00e9 ou rallong\u00e9");
  Bytes cells(bytes.begin() + kHeaderBytes, bytes.end());
  if (count * kCellBits % 8 != 0 && Bits(cells, count * kCellBits, 8 - count * kCellBits % 8) != 0)
    return CodeFault("il a \u00e9t\u00e9 modifi\u00e9");
  std::vector<LevelWall> walls;
  for (std::size_t i = 0; i < count; ++i) {
    const int cell = static_cast<int>(Bits(cells, i * kCellBits, kCellBits));
    walls.push_back({cell % kColumns * kLevelCell, cell / kColumns * kLevelCell});
  }
  *level = bytes[2];
  std::string decoded = TextOf(walls, bytes[1] & kCrLf);
  // The walls pass the very checks a level file passes.
  LevelVerdict verdict = CheckLevelText(decoded, *level);
  verdict.line = 0;  // a code has no lines: the wall itself names the fault
  if (verdict.problem == LevelProblem::kNone) *text = std::move(decoded);
  return verdict;
}
