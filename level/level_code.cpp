#include "level/level_code.h"

#include <cstdint>
#include <string_view>
#include <vector>

#include "level/code_bits.h"
#include "level/level_save.h"

namespace {

using Bytes = CodeBytes;

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

LevelVerdict CodeFault(const std::string& detail, LevelProblem problem = LevelProblem::kCode) {
  LevelVerdict verdict;
  verdict.problem = problem;
  verdict.detail = detail;
  return verdict;
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
