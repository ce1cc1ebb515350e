#include "level/level_messages.h"

#include <array>
#include <cstddef>
#include <utility>

namespace {

// One sentence per problem, in LevelProblem's order; {name} stands for a value.
constexpr std::array<const char*, 7> kSentences{{
    "",
    "{file} n'est pas un niveau de l'\u00e9diteur{where} : {detail}.",
    "{level_subject} a {walls} murs ; le jeu n'en charge pas plus de {max}.",
    "{le} mur {wall}{where} sort de la grille du niveau {level} (fen\u00eatre {width} x {height}, "
    "cases de {cell} pixels). Refaites-le dans l'\u00e9diteur \u00e0 la largeur {width}.",
    "{le} mur {wall}{where} occupe une case r\u00e9serv\u00e9e au d\u00e9part des ennemis ou de "
    "Glouto.",
    "{file} n'est pas un code de niveau : {detail}.",
    "{file} ne peut pas \u00eatre partag\u00e9 : {detail}.",
}};
static_assert(kSentences.size() == static_cast<std::size_t>(LevelProblem::kShare) + 1);

using Values = std::array<std::pair<const char*, std::string>, 12>;

std::string Fill(const std::string& sentence, const Values& values) {
  std::string text;
  for (std::size_t at = 0; at < sentence.size();) {
    const std::size_t open = sentence.find('{', at);
    const std::size_t close = sentence.find('}', open);
    if (open == std::string::npos || close == std::string::npos) {
      text.append(sentence, at, std::string::npos);
      break;
    }
    text.append(sentence, at, open - at);
    const std::string name = sentence.substr(open + 1, close - open - 1);
    for (const auto& [key, value] : values) {
      if (name == key) text += value;
    }
    at = close + 1;
  }
  return text;
}

}  // namespace

std::string LevelProblemText(const LevelVerdict& verdict, int level,
                             const LevelSubjects& subjects) {
  const auto index = static_cast<std::size_t>(verdict.problem);
  if (index >= kSentences.size()) return "";
  const Values values{{
      {"file", subjects.file},
      {"level_subject", subjects.level},
      {"le", subjects.capital ? "Le" : "le"},
      {"where", verdict.line > 0 ? " (ligne " + std::to_string(verdict.line) + ")" : ""},
      {"detail", verdict.detail},
      {"walls", std::to_string(verdict.walls)},
      {"wall", "(" + std::to_string(verdict.x) + ", " + std::to_string(verdict.y) + ")"},
      {"max", std::to_string(kMaxWalls)},
      {"level", std::to_string(level)},
      {"width", std::to_string(LevelWidth(level))},
      {"height", std::to_string(kLevelHeight)},
      {"cell", std::to_string(kLevelCell)},
  }};
  return Fill(kSentences[index], values);
}

std::string LevelRangeText() {
  return "Choisissez un num\u00e9ro de niveau de " + std::to_string(kFirstLevel) + " \u00e0 " +
         std::to_string(kLastLevel) + ".";
}

std::string LevelAndWidth(int level) {
  return "niveau " + std::to_string(level) + " (" + std::to_string(LevelWidth(level)) +
         " px de large)";
}

std::string CodeLevelText(int codeLevel, int level, const LevelVerdict& there) {
  const std::string wall = "son mur (" + std::to_string(there.x) + ", " + std::to_string(there.y) +
                           ")";
  const std::string why = there.problem == LevelProblem::kReserved
                              ? wall + " couvrirait le d\u00e9part des ennemis ou de Glouto"
                              : wall + " sortirait de la fen\u00eatre";
  return "ce code est celui du " + LevelAndWidth(codeLevel) + " ; comme " + LevelAndWidth(level) +
         ", " + why + ". Installez-le comme niveau " + std::to_string(codeLevel) + ".";
}
