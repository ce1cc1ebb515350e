#include "level/level_code.h"

#include <cstdint>
#include <sstream>
#include <string_view>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::uint8_t kVersion = 1;
constexpr std::uint8_t kCrLf = 1;  // the only flag: lines end in CR LF
// Cells are counted row by row across the widest window, in 10 bits.
constexpr int kColumns = kWidestLevel / kLevelCell;
constexpr int kCellBits = 10;
constexpr int kHeaderBytes = 5;  // version, flags, level, wall count (2)
constexpr int kMaxLevel = 255;
// Far more than 1000 walls take: anything longer is no code of ours.
constexpr std::size_t kMaxCodeLength = 4000;

constexpr std::string_view kDigits =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";

LevelVerdict CodeFault(const char* detail) {
  LevelVerdict verdict;
  verdict.problem = LevelProblem::kCode;
  verdict.detail = detail;
  return verdict;
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

struct Wall {
  int x, y;
};

// The walls of a text the checker accepted, in their order.
std::vector<Wall> WallsOf(const std::string& text) {
  std::vector<Wall> walls;
  std::istringstream in(text);
  int count = 0;
  in >> count;
  for (Wall w{}; in >> w.x >> w.y;) walls.push_back(w);
  return walls;
}

std::string TextOf(const std::vector<Wall>& walls, bool crlf) {
  const char* eol = crlf ? "\r\n" : "\n";
  std::string text = std::to_string(walls.size()) + eol;
  for (const Wall& w : walls) text += std::to_string(w.x) + "\t" + std::to_string(w.y) + eol;
  return text;
}

}  // namespace

LevelVerdict EncodeLevel(const std::string& text, int level, std::string* code) {
  LevelVerdict verdict = CheckLevelText(text, level);
  if (verdict.problem != LevelProblem::kNone) return verdict;
  if (level > kMaxLevel) return CodeFault("un code ne porte que les niveaux 1 \u00e0 255");
  const std::vector<Wall> walls = WallsOf(text);
  const bool crlf = text.find('\r') != std::string::npos;
  // Line breaks of both kinds in one file could not come back the same.
  if (TextOf(walls, crlf) != text) return CodeFault("ses fins de ligne sont m\u00e9lang\u00e9es");
  Bytes bytes{kVersion, crlf ? kCrLf : std::uint8_t{0}, static_cast<std::uint8_t>(level),
              static_cast<std::uint8_t>(walls.size() >> 8),
              static_cast<std::uint8_t>(walls.size())};
  BitWriter writer(&bytes);
  for (const Wall& w : walls)
    writer.Put(static_cast<unsigned>(w.y / kLevelCell * kColumns + w.x / kLevelCell), kCellBits);
  *code = ToBase64Url(bytes);
  return verdict;
}

LevelVerdict DecodeLevel(const std::string& codeOrLink, std::string* text, int* level) {
  std::string_view code = codeOrLink;
  if (const std::size_t hash = code.rfind('#'); hash != std::string_view::npos)
    code.remove_prefix(hash + 1);
  while (!code.empty() && (code.back() == '\n' || code.back() == '\r' || code.back() == ' '))
    code.remove_suffix(1);
  if (code.empty()) return CodeFault("il est vide");
  if (code.size() > kMaxCodeLength) return CodeFault("il est bien trop long pour un niveau");
  Bytes bytes;
  if (!FromBase64Url(code, &bytes))
    return CodeFault(
        "il contient des caract\u00e8res qui n'en sont pas, ou a \u00e9t\u00e9 coup\u00e9");
  if (bytes.size() < kHeaderBytes) return CodeFault("il est trop court");
  if (bytes[0] != kVersion) return CodeFault("il vient d'une autre version du jeu");
  if ((bytes[1] & ~kCrLf) != 0 || bytes[2] == 0) return CodeFault("son en-t\u00eate est invalide");
  const std::size_t count = static_cast<std::size_t>(bytes[3]) << 8 | bytes[4];
  const std::size_t cellBytes = (count * kCellBits + 7) / 8;
  if (bytes.size() != kHeaderBytes + cellBytes)
    return CodeFault("il a \u00e9t\u00e9 coup\u00e9 ou rallong\u00e9");
  Bytes cells(bytes.begin() + kHeaderBytes, bytes.end());
  if (count * kCellBits % 8 != 0 && Bits(cells, count * kCellBits, 8 - count * kCellBits % 8) != 0)
    return CodeFault("il a \u00e9t\u00e9 modifi\u00e9");
  std::vector<Wall> walls;
  for (std::size_t i = 0; i < count; ++i) {
    const int cell = static_cast<int>(Bits(cells, i * kCellBits, kCellBits));
    walls.push_back({cell % kColumns * kLevelCell, cell / kColumns * kLevelCell});
  }
  *level = bytes[2];
  std::string decoded = TextOf(walls, bytes[1] & kCrLf);
  // The walls pass the very checks a level file passes.
  LevelVerdict verdict = CheckLevelText(decoded, *level);
  if (verdict.problem == LevelProblem::kNone) *text = std::move(decoded);
  return verdict;
}
