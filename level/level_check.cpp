#include "level/level_check.h"

#include <climits>
#include <cstddef>

namespace {

// Reads the text strictly as the editor's "%d\n" and "%d\t%d\n" write it.
class Reader {
 public:
  explicit Reader(const std::string& text) : text_(text) {}

  bool AtEnd() const { return pos_ == text_.size(); }

  // One number as "%d" prints it: optional minus, no plus, no leading zero.
  bool Number(int* value) {
    const std::size_t start = pos_;
    const bool negative = Peek() == '-';
    if (negative) ++pos_;
    if (!IsDigit(Peek())) return Rewind(start);
    if (Peek() == '0' && IsDigit(PeekAt(pos_ + 1))) return Rewind(start);
    if (negative && Peek() == '0') return Rewind(start);
    long long magnitude = 0;
    while (IsDigit(Peek())) {
      magnitude = magnitude * 10 + (text_[pos_++] - '0');
      if (magnitude > static_cast<long long>(INT_MAX) + 1) return Rewind(start);
    }
    const long long signed_value = negative ? -magnitude : magnitude;
    if (signed_value > INT_MAX) return Rewind(start);
    *value = static_cast<int>(signed_value);
    return true;
  }

  bool Char(char c) {
    if (Peek() != c) return false;
    ++pos_;
    return true;
  }

  // The editor's text-mode line break: LF, or CR LF where it was saved.
  bool LineBreak() {
    if (Char('\n')) return true;
    if (Peek() == '\r' && PeekAt(pos_ + 1) == '\n') {
      pos_ += 2;
      return true;
    }
    return false;
  }

 private:
  static bool IsDigit(int c) { return c >= '0' && c <= '9'; }
  int Peek() const { return PeekAt(pos_); }
  int PeekAt(std::size_t i) const {
    return i < text_.size() ? static_cast<unsigned char>(text_[i]) : -1;
  }
  bool Rewind(std::size_t start) {
    pos_ = start;
    return false;
  }

  const std::string& text_;
  std::size_t pos_ = 0;
};

LevelVerdict FormatFault(int line, const char* detail) {
  LevelVerdict verdict;
  verdict.problem = LevelProblem::kFormat;
  verdict.line = line;
  verdict.detail = detail;
  return verdict;
}

bool OnGridInside(int x, int y, int width) {
  return x % kLevelCell == 0 && y % kLevelCell == 0 && x >= 0 && y >= 0 &&
         x <= width - kLevelCell && y <= kLevelHeight - kLevelCell;
}

}  // namespace

LevelVerdict CheckLevelText(const std::string& text, int level) {
  std::vector<LevelWall> walls;
  return ReadLevelText(text, level, &walls);
}

LevelVerdict ReadLevelText(const std::string& text, int level, std::vector<LevelWall>* walls) {
  walls->clear();
  Reader reader(text);
  int declared = 0;
  if (!reader.Number(&declared))
    return FormatFault(1, "la premi\u00e8re ligne doit \u00eatre le nombre de murs");
  if (!reader.LineBreak()) {
    return FormatFault(1, reader.AtEnd()
                              ? "le fichier doit finir par un saut de ligne"
                              : "la premi\u00e8re ligne doit contenir le seul nombre de murs");
  }
  if (declared < 0) return FormatFault(1, "le nombre de murs est n\u00e9gatif");

  struct Wall {
    int x, y, line;
  };
  // The walls are judged only once the whole text is known to be well formed.
  int line = 2;
  int found = 0;
  Wall first_off_grid{0, 0, 0};
  Wall first_reserved{0, 0, 0};
  const int width = LevelWidth(level);
  for (; !reader.AtEnd(); ++line, ++found) {
    int x = 0, y = 0;
    if (!reader.Number(&x) || !reader.Char('\t') || !reader.Number(&y))
      return FormatFault(line, "une ligne de mur doit \u00eatre x, une tabulation, y");
    if (!reader.LineBreak()) {
      return FormatFault(line, reader.AtEnd()
                                   ? "le fichier doit finir par un saut de ligne"
                                   : "une ligne de mur doit \u00eatre x, une tabulation, y");
    }
    walls->push_back({x, y});
    if (first_off_grid.line == 0 && !OnGridInside(x, y, width)) first_off_grid = {x, y, line};
    if (first_reserved.line == 0 && IsReservedCell(x, y, width, kLevelHeight))
      first_reserved = {x, y, line};
  }
  if (found != declared) {
    const std::string detail = "la premi\u00e8re ligne annonce " + std::to_string(declared) +
                               " murs mais le fichier en d\u00e9crit " + std::to_string(found);
    return FormatFault(0, detail.c_str());
  }

  LevelVerdict verdict;
  verdict.walls = declared;
  if (declared > kMaxWalls) {
    verdict.problem = LevelProblem::kTooManyWalls;
    return verdict;
  }
  const Wall* fault = nullptr;
  if (first_off_grid.line != 0) {
    verdict.problem = LevelProblem::kOffGrid;
    fault = &first_off_grid;
  } else if (first_reserved.line != 0) {
    verdict.problem = LevelProblem::kReserved;
    fault = &first_reserved;
  }
  if (fault) {
    verdict.line = fault->line;
    verdict.x = fault->x;
    verdict.y = fault->y;
  }
  return verdict;
}
