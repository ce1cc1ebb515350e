// glouto-niveau N [--force]: puts the level last saved by the editor into
// play as level N of the player's game, once it is sure the game can load it.
// glouto-niveau N CODE does the same with a level shared as a code or a link,
// glouto-niveau --partager N prints the code of the player's level N, and
// glouto-niveau --retablir N puts back the level N the game ships with.
// Whatever it replaces is kept as a numbered backup: no level is ever lost.
#include <sys/stat.h>
#include <unistd.h>

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
#include "level/level_paths.h"
#include "level/level_save.h"
#include "packaging/niveau/french_errors.h"

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
    "        glouto-niveau --retablir N\n"
    "        glouto-niveau --chemin N\n"
    "Installe le niveau enregistr\u00e9 par l'\u00e9diteur (Niveaux/Niveau_.txt)\n"
    "comme niveau N du jeu (Niveaux/Niveau_N.txt), dans le dossier du joueur.\n"
    "  --force     remplace un niveau N d\u00e9j\u00e0 pr\u00e9sent\n"
    "  CODE        installe plut\u00f4t le niveau de ce code ou de ce lien de partage\n"
    "  --partager  affiche le code du niveau N, \u00e0 partager\n"
    "  --retablir  remet le niveau N livr\u00e9 avec le jeu\n"
    "  --chemin    affiche le chemin du fichier du niveau N\n"
    "Un niveau remplac\u00e9 est toujours gard\u00e9 : Niveau_N.txt.~1~, ~2~...\n";

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

// The shipped levels lie where the launchers find them, relative to this program.
std::string ShippedDir() {
  char self[PATH_MAX];
  const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  if (n <= 0) return GLOUTO_BIN_TO_DATA;
  std::string path(self, static_cast<std::size_t>(n));
  return path.substr(0, path.rfind('/') + 1) + GLOUTO_BIN_TO_DATA;
}

std::string LevelRange() {
  return "le niveau va de " + std::to_string(kFirstLevel) + " \u00e0 " + std::to_string(kLastLevel);
}

// 0, or the errno that kept the file from being read whole.
int ReadSmallFile(const std::string& path, std::string* text, bool* too_big) {
  errno = 0;
  std::ifstream in(path, std::ios::binary);
  if (!in) return errno != 0 ? errno : EIO;
  std::string chunk(kMaxFileSize + 1, '\0');
  in.read(&chunk[0], kMaxFileSize + 1);
  if (in.bad()) return EIO;
  chunk.resize(static_cast<std::size_t>(in.gcount()));
  *too_big = chunk.size() > static_cast<std::size_t>(kMaxFileSize);
  *text = std::move(chunk);
  return 0;
}

std::string NoFile(const std::string& path, int error) {
  return error == ENOENT ? path + " est introuvable"
                         : path + " est illisible (" + FrenchError(error) + ")";
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
    case LevelProblem::kShare: return Fail(kBadFormat, why);
  }
  return kBadFormat;
}

int WriteFault(const std::string& what, const std::string& path, int error) {
  if (error == ENOENT) {
    const std::string folder = path.substr(0, path.rfind('/'));
    return Fail(kWriteFailed, "le dossier " + folder +
                                  " n'existe pas ; lancez d'abord glouto ou glouto-editeur.");
  }
  return Fail(kWriteFailed, what + " " + path + " : " + FrenchError(error) + ".");
}

// Puts `text` in place of `target`, the file there first kept as a numbered
// backup; without `replace` an existing level stays. `*kept` names the backup.
int Replace(const std::string& text, const std::string& target, bool replace, std::string* kept) {
  kept->clear();
  if (replace) {
    const SaveOutcome backup = KeepBackup(target, kept);
    if (backup.failed != SaveStep::kDone)
      return WriteFault("impossible de garder l'ancien niveau", target, backup.error);
  }
  const SaveOutcome saved = SaveLevelText(target, text, replace);
  switch (saved.failed) {
    case SaveStep::kDone: return kInstalled;
    case SaveStep::kCreate:
      return WriteFault("impossible d'\u00e9crire \u00e0 c\u00f4t\u00e9 de", target, saved.error);
    case SaveStep::kWrite: return WriteFault("impossible d'\u00e9crire", target, saved.error);
    case SaveStep::kPlace: break;
  }
  if (saved.error == EEXIST) {
    return Fail(kTargetExists,
                target +
                    " existe d\u00e9j\u00e0 ; ajoutez --force pour le remplacer (l'ancien "
                    "sera gard\u00e9).");
  }
  return WriteFault("impossible d'installer", target, saved.error);
}

void SayInstalled(int level, const std::string& target, int walls, const std::string& kept) {
  std::printf("Niveau %d %s : %s (%d murs, fen\u00eatre %d x %d)%s.\n", level,
              kept.empty() ? "install\u00e9" : "remplac\u00e9", target.c_str(), walls,
              LevelWidth(level), kLevelHeight,
              kept.empty() ? "" : (", l'ancien gard\u00e9 sous " + kept).c_str());
}

enum class Action { kInstallSaved, kInstallCode, kShare, kRestore, kPath };

struct Request {
  int level = 0;
  bool force = false;
  Action action = Action::kInstallSaved;
  std::string code;  // a level shared as a code or a link, to install instead of the editor's
};

int Usage(const std::string& why) {
  std::fputs(kUsageText, stderr);
  return Fail(kUsage, why);
}

bool IsNumber(const std::string& arg) {
  return !arg.empty() && arg.find_first_not_of("0123456789") == std::string::npos;
}

// kInstalled when the arguments make a request, else the exit code to leave with.
int ParseArguments(int argc, char** argv, Request* r) {
  bool have_level = false;
  const char* alone = nullptr;  // the option that takes N and nothing else
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--force" || arg == "-f") {
      r->force = true;
    } else if (arg == "--partager" || arg == "--retablir" || arg == "--chemin") {
      if (alone) return Usage(std::string(alone) + " et " + arg + " ne vont pas ensemble.");
      alone = argv[i];
      r->action = arg == "--partager"   ? Action::kShare
                  : arg == "--retablir" ? Action::kRestore
                                        : Action::kPath;
    } else if (!have_level && IsNumber(arg)) {
      const long value = arg.size() > 9 ? LONG_MAX : std::atol(arg.c_str());
      if (!IsNamedLevel(value > INT_MAX ? INT_MAX : static_cast<int>(value)))
        return Fail(kUsage, LevelRange() + ", pas " + arg + ".");
      r->level = static_cast<int>(value);
      have_level = true;
    } else if (have_level && r->code.empty() && arg[0] != '-' && !IsNumber(arg)) {
      r->code = arg;  // a code starts with a letter: two numbers are a slip, not a code
    } else {
      return Usage("argument inattendu : " + arg + " (N est un num\u00e9ro de niveau, " +
                   LevelRange() + ").");
    }
  }
  if (!have_level) return Usage("indiquez le num\u00e9ro du niveau.");
  if (alone && (r->force || !r->code.empty()))
    return Usage(std::string(alone) + " ne prend que N.");
  if (!alone && !r->code.empty()) r->action = Action::kInstallCode;
  return kInstalled;
}

int Share(const std::string& dir, int level) {
  const std::string path = dir + "/" + LevelPath(level);
  std::string text, code;
  bool too_big = false;
  if (const int error = ReadSmallFile(path, &text, &too_big); error != 0)
    return Fail(kNoSavedLevel,
                "pas de niveau " + std::to_string(level) + " : " + NoFile(path, error) + ".");
  if (too_big) return Fail(kBadFormat, path + " est bien trop gros pour un niveau.");
  const LevelVerdict verdict = EncodeLevel(text, level, &code);
  if (verdict.problem != LevelProblem::kNone) return ReportVerdict(verdict, level, path);
  std::printf("%s\n", code.c_str());
  return kInstalled;
}

int InstallCode(const std::string& code, int level, const std::string& target) {
  std::string text, kept;
  int meant_for = level;
  const LevelVerdict decoded = DecodeLevel(code, &text, &meant_for);
  if (decoded.problem != LevelProblem::kNone) return ReportVerdict(decoded, meant_for, "le code");
  const LevelVerdict verdict = CheckLevelText(text, level);
  if (verdict.problem == LevelProblem::kOffGrid || verdict.problem == LevelProblem::kReserved) {
    return Fail(verdict.problem == LevelProblem::kOffGrid ? kOffGrid : kReservedCell,
                CodeLevelText(meant_for, level, verdict));
  }
  if (verdict.problem != LevelProblem::kNone) return ReportVerdict(verdict, level, "le code");
  if (const int installed = Replace(text, target, true, &kept); installed != kInstalled)
    return installed;
  if (meant_for != level)
    std::printf("Ce code est celui du %s ; il est install\u00e9 comme %s.\n",
                LevelAndWidth(meant_for).c_str(), LevelAndWidth(level).c_str());
  SayInstalled(level, target, verdict.walls, kept);
  return kInstalled;
}

int InstallSaved(const std::string& dir, const Request& r, const std::string& target) {
  const std::string source = dir + "/" + kSavedLevelPath;
  std::string text, kept;
  bool too_big = false;
  if (const int error = ReadSmallFile(source, &text, &too_big); error != 0) {
    return Fail(kNoSavedLevel,
                "aucun niveau enregistr\u00e9 : " + NoFile(source, error) +
                    ". Dessinez un niveau avec glouto-editeur et enregistrez-le avec Entr\u00e9e.");
  }
  if (too_big) return Fail(kBadFormat, source + " est bien trop gros pour un niveau.");

  const LevelVerdict verdict = CheckLevelText(text, r.level);
  if (verdict.problem != LevelProblem::kNone) return ReportVerdict(verdict, r.level, source);
  if (const int installed = Replace(text, target, r.force, &kept); installed != kInstalled)
    return installed;
  SayInstalled(r.level, target, verdict.walls, kept);
  return kInstalled;
}

int Restore(int level, const std::string& target) {
  const std::string shipped = ShippedDir() + "/" + LevelPath(level);
  std::string text, mine, kept;
  bool too_big = false;
  if (const int error = ReadSmallFile(shipped, &text, &too_big); error != 0 || too_big)
    return Fail(kNoSavedLevel, "le jeu ne livre pas de niveau " + std::to_string(level) + " : " +
                                   NoFile(shipped, error) + ".");
  if (ReadSmallFile(target, &mine, &too_big) == 0 && mine == text) {
    std::printf("Niveau %d : %s est d\u00e9j\u00e0 celui du jeu.\n", level, target.c_str());
    return kInstalled;
  }
  if (const int installed = Replace(text, target, true, &kept); installed != kInstalled)
    return installed;
  SayInstalled(level, target, CheckLevelText(text, level).walls, kept);
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
  if (r.action == Action::kPath) {
    std::printf("%s\n", LevelPath(r.level).c_str());
    return kInstalled;
  }

  std::string dir;
  if (!PlayerDir(&dir))
    return Fail(kNoSavedLevel, "ni XDG_DATA_HOME ni HOME ne donnent le dossier du joueur.");
  const std::string target = dir + "/" + LevelPath(r.level);
  switch (r.action) {
    case Action::kShare: return Share(dir, r.level);
    case Action::kRestore: return Restore(r.level, target);
    case Action::kInstallCode: return InstallCode(r.code, r.level, target);
    case Action::kInstallSaved:
    case Action::kPath: break;
  }
  return InstallSaved(dir, r, target);
}
