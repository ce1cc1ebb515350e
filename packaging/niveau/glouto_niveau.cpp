// glouto-niveau N [--force]: puts the level last saved by the editor into
// play as level N of the player's game, once it is sure the game can load it.
// glouto-niveau N CODE does the same with a level shared as a code or a link,
// and glouto-niveau --partager N prints the code of the player's level N.
#include <sys/stat.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "level/level_check.h"
#include "level/level_code.h"
#include "level/level_messages.h"
#include "level/level_save.h"

namespace {

// Exit codes, listed in glouto-niveau(6).
enum Exit {
  kInstalled = 0,
  kUsage = 2,
  kNoSavedLevel = 3,
  kBadFormat = 4,
  kTooManyWalls = 5,
  kOffGrid = 6,
  kReservedCell = 7,
  kTargetExists = 8,
  kWriteFailed = 9,
  kBadCode = 10,
};

// A level file is a few kilobytes; anything far bigger is not one.
constexpr std::streamsize kMaxFileSize = 1 << 20;

const char kUsageText[] =
    "Usage : glouto-niveau N [--force]\n"
    "        glouto-niveau N CODE\n"
    "        glouto-niveau --partager N\n"
    "Installe le niveau enregistr\u00e9 par l'\u00e9diteur (Niveaux/Niveau_.txt)\n"
    "comme niveau N du jeu (Niveaux/Niveau_N.txt), dans le dossier du joueur.\n"
    "  --force     remplace un niveau N d\u00e9j\u00e0 pr\u00e9sent\n"
    "  CODE        installe plut\u00f4t le niveau de ce code ou de ce lien de partage ;\n"
    "              un niveau N d\u00e9j\u00e0 pr\u00e9sent est gard\u00e9 sous Niveau_N.txt~\n"
    "  --partager  affiche le code du niveau N, \u00e0 partager\n";

int Fail(int code, const std::string& message) {
  std::fprintf(stderr, "glouto-niveau : %s\n", message.c_str());
  return code;
}

// The folder the launchers run the programs in: $XDG_DATA_HOME/glouto, or
// ~/.local/share/glouto when that variable is unset or not an absolute path.
bool PlayerDir(std::string* dir) {
  const char* data = std::getenv("XDG_DATA_HOME");
  if (data && data[0] == '/') {
    *dir = std::string(data) + "/glouto";
    return true;
  }
  const char* home = std::getenv("HOME");
  if (!home || home[0] == '\0') return false;
  *dir = std::string(home) + "/.local/share/glouto";
  return true;
}

bool ParseLevel(const char* text, int* level) {
  if (!text[0] || text[0] == '-' || text[0] == '+') return false;
  char* end = nullptr;
  errno = 0;
  const long value = std::strtol(text, &end, 10);
  if (errno != 0 || *end != '\0' || value < 1 || value > INT_MAX) return false;
  *level = static_cast<int>(value);
  return true;
}

bool ReadSmallFile(const std::string& path, std::string* text, bool* too_big) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::string chunk(kMaxFileSize + 1, '\0');
  in.read(&chunk[0], kMaxFileSize + 1);
  if (in.bad()) return false;
  chunk.resize(static_cast<std::size_t>(in.gcount()));
  *too_big = chunk.size() > static_cast<std::size_t>(kMaxFileSize);
  *text = std::move(chunk);
  return true;
}

int ReportVerdict(const LevelVerdict& verdict, int level, const std::string& source) {
  const std::string why = LevelProblemText(verdict, level, {source, source, false});
  switch (verdict.problem) {
    case LevelProblem::kNone: return kInstalled;
    case LevelProblem::kFormat: return Fail(kBadFormat, why);
    case LevelProblem::kTooManyWalls: return Fail(kTooManyWalls, why);
    case LevelProblem::kOffGrid: return Fail(kOffGrid, why);
    case LevelProblem::kReserved: return Fail(kReservedCell, why);
    case LevelProblem::kCode: return Fail(kBadCode, why);
  }
  return kBadFormat;
}

// Without --force an existing level stays.
int Install(const std::string& text, const std::string& target, bool force) {
  const SaveOutcome saved = SaveLevelText(target, text, force);
  const std::string why = std::strerror(saved.error);
  switch (saved.failed) {
    case SaveStep::kDone: return kInstalled;
    case SaveStep::kCreate:
      return Fail(kWriteFailed, "impossible d'\u00e9crire dans " + target + " : " + why);
    case SaveStep::kWrite:
      return Fail(kWriteFailed, "impossible d'\u00e9crire " + target + " : " + why);
    case SaveStep::kPlace: break;
  }
  if (saved.error == EEXIST) {
    return Fail(kTargetExists,
                target + " existe d\u00e9j\u00e0 ; ajoutez --force pour le remplacer.");
  }
  return Fail(kWriteFailed, "impossible d'installer " + target + " : " + why);
}

struct Request {
  int level = 0;
  bool force = false;
  bool share = false;
  std::string code;  // a level shared as a code or a link, to install instead of the editor's
};

int Usage(const std::string& why) {
  std::fputs(kUsageText, stderr);
  return Fail(kUsage, why);
}

// kInstalled when the arguments make a request, else the exit code to leave with.
int ParseArguments(int argc, char** argv, Request* r) {
  bool have_level = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--force" || arg == "-f") {
      r->force = true;
    } else if (arg == "--partager") {
      r->share = true;
    } else if (!have_level && ParseLevel(argv[i], &r->level)) {
      have_level = true;
    } else if (have_level && r->code.empty() && arg[0] != '-' &&
               arg.find_first_not_of("0123456789") != std::string::npos) {
      r->code = arg;  // a code starts with a letter: two numbers are a slip, not a code
    } else {
      return Usage("argument inattendu : " + arg + " (N est un num\u00e9ro de niveau, 1 ou plus).");
    }
  }
  if (!have_level) return Usage("indiquez le num\u00e9ro du niveau.");
  if (r->share && (r->force || !r->code.empty())) return Usage("--partager ne prend que N.");
  return kInstalled;
}

std::string NoFile(const std::string& path) {
  return errno == ENOENT ? path + " est introuvable"
                         : path + " est illisible (" + std::strerror(errno) + ")";
}

int Share(const std::string& dir, int level) {
  const std::string path = dir + "/Niveaux/Niveau_" + std::to_string(level) + ".txt";
  std::string text, code;
  bool too_big = false;
  if (!ReadSmallFile(path, &text, &too_big))
    return Fail(kNoSavedLevel,
                "pas de niveau " + std::to_string(level) + " : " + NoFile(path) + ".");
  if (too_big) return Fail(kBadFormat, path + " est bien trop gros pour un niveau.");
  const LevelVerdict verdict = EncodeLevel(text, level, &code);
  if (verdict.problem != LevelProblem::kNone) return ReportVerdict(verdict, level, path);
  std::printf("%s\n", code.c_str());
  return kInstalled;
}

// The level it replaces is kept as ~, as glouto-editeur N keeps it.
int InstallCode(const std::string& code, int level, const std::string& target) {
  std::string text, kept;
  int meant_for = level;
  const LevelVerdict decoded = DecodeLevel(code, &text, &meant_for);
  if (decoded.problem != LevelProblem::kNone) return ReportVerdict(decoded, meant_for, "le code");
  const LevelVerdict verdict = CheckLevelText(text, level);
  if (verdict.problem != LevelProblem::kNone)
    return ReportVerdict(verdict, level, "le niveau du code");
  bool too_big = false;
  const bool replacing = ReadSmallFile(target, &kept, &too_big);
  if (replacing && SaveLevelText(target + "~", kept, true).failed != SaveStep::kDone)
    return Fail(kWriteFailed, "impossible de garder l'ancien niveau sous " + target +
                                  "~ : " + std::strerror(errno));
  const int installed = Install(text, target, true);
  if (installed != kInstalled) return installed;
  std::printf("Niveau %d %s : %s (%d murs, fen\u00eatre %d x 600)%s.\n", level,
              replacing ? "remplac\u00e9" : "install\u00e9", target.c_str(), verdict.walls,
              LevelWidth(level), replacing ? ", l'ancien gard\u00e9 sous ~" : "");
  return kInstalled;
}

int InstallSaved(const std::string& dir, const Request& r, const std::string& target) {
  const std::string source = dir + "/Niveaux/Niveau_.txt";
  std::string text;
  bool too_big = false;
  if (!ReadSmallFile(source, &text, &too_big)) {
    return Fail(kNoSavedLevel,
                "aucun niveau enregistr\u00e9 : " + NoFile(source) +
                    ". Dessinez un niveau avec glouto-editeur et enregistrez-le avec Entr\u00e9e.");
  }
  if (too_big) return Fail(kBadFormat, source + " est bien trop gros pour un niveau.");

  const LevelVerdict verdict = CheckLevelText(text, r.level);
  if (verdict.problem != LevelProblem::kNone) return ReportVerdict(verdict, r.level, source);

  struct stat existing;
  const bool replacing = stat(target.c_str(), &existing) == 0;
  const int installed = Install(text, target, r.force);
  if (installed != kInstalled) return installed;
  std::printf("Niveau %d %s : %s (%d murs, fen\u00eatre %d x 600).\n", r.level,
              replacing ? "remplac\u00e9" : "install\u00e9", target.c_str(), verdict.walls,
              LevelWidth(r.level));
  return kInstalled;
}

}  // namespace

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "-h" || arg == "--help" || arg == "--aide") {
      std::fputs(kUsageText, stdout);
      return kInstalled;
    }
  }
  Request r;
  if (const int refused = ParseArguments(argc, argv, &r); refused != kInstalled) return refused;

  std::string dir;
  if (!PlayerDir(&dir))
    return Fail(kNoSavedLevel, "ni XDG_DATA_HOME ni HOME ne donnent le dossier du joueur.");
  if (r.share) return Share(dir, r.level);
  const std::string target = dir + "/Niveaux/Niveau_" + std::to_string(r.level) + ".txt";
  if (!r.code.empty()) return InstallCode(r.code, r.level, target);
  return InstallSaved(dir, r, target);
}
