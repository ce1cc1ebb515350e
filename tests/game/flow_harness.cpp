#include "tests/game/flow_harness.h"

#include <sys/stat.h>

#include <array>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <map>
#include <sstream>
#include <vector>

#include "game/flow/keys.h"
#include "game/flow/loop.h"
#include "game/flow/session.h"
#include "game/maze/actors.h"

namespace {

// Every picture of the frame loop and the level fill, in a fixed order.
constexpr std::array<const char*, 20> kSprites = {
    "Images/Glouto.png",     "Images/Glouto2.png",   "Images/Glouto3.png",
    "Images/Glouto4.png",    "Images/Glouto2.1.png", "Images/Glouto2.2.png",
    "Images/Glouto2.3.png",  "Images/Glouto2.4.png", "Images/Ennemi.png",
    "Images/Ennemi2.png",    "Images/Ennemi3.png",   "Images/Ennemi4.png",
    "Images/Ennemi2.1.png",  "Images/Ennemi2.2.png", "Images/Ennemi2.3.png",
    "Images/Ennemi2.4.png",  "Images/Mur.png",       "Images/coffre.png",
    "Images/gloutofond.jpg", "Images/Imageperd.png"};

struct Field {
  std::function<int()> get;
  std::function<void(int)> set;
};

Field Of(int& v) {
  return {[&v] { return v; }, [&v](int x) { v = x; }};
}
Field Of(Sint16& v) {
  return {[&v] { return static_cast<int>(v); }, [&v](int x) { v = static_cast<Sint16>(x); }};
}

std::vector<std::string> Words(const std::string& line) {
  std::istringstream in(line);
  std::vector<std::string> words;
  for (std::string w; in >> w;) words.push_back(w);
  return words;
}

int Value(const std::string& text) {
  static const std::map<std::string, int> kDirections = {
      {"stop", 0}, {"right", 1}, {"left", 2}, {"up", 3}, {"down", 4}};
  const auto d = kDirections.find(text);
  return d != kDirections.end() ? d->second : std::stoi(text);
}

SDL_Event Event(const std::string& name) {
  static const std::map<std::string, SDLKey> kKeys = {
      {"Right", SDLK_RIGHT},   {"Left", SDLK_LEFT},
      {"Up", SDLK_UP},         {"Down", SDLK_DOWN},
      {"Return", SDLK_RETURN}, {"Escape", SDLK_ESCAPE},
      {"Space", SDLK_SPACE},   {"F1", SDLK_F1},
      {"F2", SDLK_F2},         {"F3", SDLK_F3},
      {"F5", SDLK_F5},         {"RShift", SDLK_RSHIFT},
      {"LShift", SDLK_LSHIFT}, {"LCtrl", SDLK_LCTRL},
      {"RCtrl", SDLK_RCTRL},   {"Backspace", SDLK_BACKSPACE}};
  if (name == "quit") return QuitEvent();
  if (name == "-") return MouseMotion(1, 1);
  const auto k = kKeys.find(name);
  return KeyDown(k != kKeys.end() ? k->second : static_cast<SDLKey>(name.at(0)));
}

SDL_Rect At(int x, int y) { return {static_cast<Sint16>(x), static_cast<Sint16>(y), 0, 0}; }

SDL_Rect Point(const std::string& xy) {
  const size_t comma = xy.find(',');
  return At(std::stoi(xy.substr(0, comma)), std::stoi(xy.substr(comma + 1)));
}

// The hero's chest bonus drawn first after srand(seed), as the rule takes it.
bool BonusAfter(unsigned seed) {
  std::srand(seed);
  return (std::rand() % 1000000) % 7 == 0;
}

class Interpreter {
 public:
  explicit Interpreter(GameState& s) : s_(s) {}

  void Line(const std::string& line) {
    const std::vector<std::string> w = Words(line);
    if (w.empty() || w[0][0] == '#') return;
    const std::string& op = w[0];
    if (op == "seed") return Seed(w.at(1));
    if (op == "walls") return Walls(w);
    if (op == "hero") return Place(s_.heroPosition, &s_.heroDirection, w, 1);
    if (op == "enemy") {
      const int i = std::stoi(w.at(1));
      return Place(s_.enemyPositions.at(i), &s_.enemyDirections[i], w, 2);
    }
    if (op == "chest") return Place(s_.chestPositions.at(std::stoi(w.at(1))), nullptr, w, 2);
    if (op == "set") return Set(w);
    if (op == "queue") {
      for (size_t i = 1; i < w.size(); ++i) Push(Event(w[i]));
      return;
    }
    if (op == "press") return Timed([&] { HandleKey(s_, Event(w.at(1)).key.keysym.sym); });
    if (op == "frame") {
      for (size_t i = 1; i < w.size(); ++i) Push(Event(w[i]));
      return Frame();
    }
    if (op == "frames") {
      for (int i = std::stoi(w.at(1)); i > 0; --i) Frame();
      return;
    }
    if (op == "rules") return Timed([&] { ApplyRules(s_); });
    if (op == "tick") {
      for (int i = std::stoi(w.at(1)); i > 0; --i) minuteur(250, nullptr);
      return;
    }
    if (op == "finish") return Finish();
    if (op == "mark") {
      marked_.clear();
      for (const auto& [name, field] : Fields()) marked_[name] = field.get();
      return;
    }
    if (op == "expect" || op == "only") return Expect(w, op == "only");
    if (op == "caption") {
      const size_t from = line.find("caption") + 8, to = line.find_last_not_of(' ');
      return Caption(line.substr(from, to + 1 - from));
    }
    ADD_FAILURE() << "unknown command " << op;
  }

 private:
  std::map<std::string, Field> Fields() {
    GameState& s = s_;
    std::map<std::string, Field> f = {
        {"hero.x", Of(s.heroPosition.x)},
        {"hero.y", Of(s.heroPosition.y)},
        {"hero.dir", Of(s.heroDirection)},
        {"hero.mode", Of(s.heroMode)},
        {"remaining", Of(s.remaining)},
        {"clock", Of(s.clock)},
        {"lives", Of(s.lives)},
        {"score", Of(s.score)},
        {"enemyscore", Of(s.enemyScore)},
        {"level", Of(s.level)},
        {"chests", Of(s.chestCount)},
        {"enemies", Of(s.enemyCount)},
        {"walls", Of(s.wallCount)},
        {"eaten", Of(s.eatenSinceRefill)},
        {"bonus", Of(s.chestBonus)},
        {"width", Of(s.width)},
        {"players", Of(s.playerCount)},
        {"running", Of(s.running)},
        {"won", Of(s.won)},
        {"pauseloop", Of(s.pauseLoop)},
        {"tampon", Of(tamponIMG)},
        {"finprog", Of(FINPROG)},
        {"attente", Of(attente)},
        {"invulnerable", Of(invulnerable)},
        {"switch", Of(s.music.musicSwitch)},
        {"volume", Of(s.music.volume)},
        {"track", Of(s.music.trackIndex)},
        {"clocktext", Of(s.clockRect.x)},
        {"change", {[] { return Change.load(); }, [this](int x) { Change = x, pin_ = false; }}}};
    for (int i = 0; i < kEnemyCapacity; ++i) {
      const std::string e = "enemy" + std::to_string(i);
      f[e + ".x"] = Of(s.enemyPositions[i].x);
      f[e + ".y"] = Of(s.enemyPositions[i].y);
      f[e + ".dir"] = Of(s.enemyDirections[i]);
      f[e + ".mode"] = Of(s.enemyModes[i]);
      f[e + ".countdown"] = Of(s.turnCountdowns[i]);
    }
    for (int i = 0; i < kChestCapacity; ++i) {
      f["chest" + std::to_string(i) + ".x"] = Of(s.chestPositions[i].x);
      f["chest" + std::to_string(i) + ".y"] = Of(s.chestPositions[i].y);
    }
    return f;
  }

  void Seed(const std::string& how) {
    unsigned seed = 1;
    if (how == "bonus" || how == "plain") {
      while (BonusAfter(seed) != (how == "bonus")) ++seed;
    } else {
      seed = static_cast<unsigned>(std::stoul(how));
    }
    std::srand(seed);
  }

  void Walls(const std::vector<std::string>& w) {
    std::string body = std::to_string(w.size() - 1) + "\n";
    for (size_t i = 1; i < w.size(); ++i) {
      const SDL_Rect p = Point(w[i]);
      body += std::to_string(p.x) + "\t" + std::to_string(p.y) + "\n";
    }
    WriteLevel(s_.level, body);
    s_.wallCount = Murs(s_.wallImages.data(), s_.wallPositions.data(), s_.width, s_.height,
                        s_.screen, s_.level);
  }

  static void Place(SDL_Rect& at, int* direction, const std::vector<std::string>& w, size_t from) {
    at = Point(w.at(from));
    if (direction && w.size() > from + 1) *direction = Value(w[from + 1]);
  }

  void Set(const std::vector<std::string>& w) {
    std::map<std::string, Field> fields = Fields();
    for (size_t i = 1; i < w.size(); ++i) {
      const size_t eq = w[i].find('=');
      const auto f = fields.find(w[i].substr(0, eq));
      if (eq == std::string::npos || f == fields.end()) {
        ADD_FAILURE() << "cannot set " << w[i];
        continue;
      }
      f->second.set(Value(w[i].substr(eq + 1)));
    }
  }

  // A step that may start the clock's timer: the test drives Change by hand.
  void Timed(const std::function<void()>& step) {
    const auto start = std::chrono::steady_clock::now();
    step();
    waited_ = static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                   std::chrono::steady_clock::now() - start)
                                   .count());
    timer_ = s_.timerId ? 1 : 0;
    if (!s_.timerId) return;
    SDL_RemoveTimer(s_.timerId);
    s_.timerId = {};
    pin_ = true;
  }

  void Frame() {
    if (pin_) ADD_FAILURE() << "a timer ran since the last `set change=`: set it first";
    Timed([&] { RunFrame(s_); });
  }

  void Finish() {
    const int finprog = FINPROG;
    FINPROG = 1;  // the outcome only, no end screens
    FinishGame(s_);
    FINPROG = finprog;
  }

  void Expect(const std::vector<std::string>& w, bool only) {
    std::map<std::string, Field> fields = Fields();
    fields["waited"] = Of(waited_);
    fields["timer"] = Of(timer_);
    std::map<std::string, bool> named;
    for (size_t i = 1; i < w.size(); ++i) {
      const size_t op = w[i].find_first_of(">=");
      const std::string name = w[i].substr(0, op);
      const auto f = fields.find(name);
      if (op == std::string::npos || f == fields.end()) {
        ADD_FAILURE() << "cannot check " << w[i];
        continue;
      }
      named[name] = true;
      const bool atLeast = w[i][op] == '>';
      const int want = Value(w[i].substr(w[i].find('=', op) + 1)), got = f->second.get();
      if (atLeast) {
        EXPECT_GE(got, want) << name;
      } else {
        EXPECT_EQ(got, want) << name;
      }
    }
    if (!only) return;
    for (const auto& [name, before] : marked_) {
      if (!named.count(name)) {
        EXPECT_EQ(fields.at(name).get(), before) << name << " changed";
      }
    }
  }

  static void Caption(const std::string& text) {
    char* title = nullptr;
    SDL_WM_GetCaption(&title, nullptr);
    EXPECT_EQ(title ? std::string(title) : "", text);
  }

  GameState& s_;
  std::map<std::string, int> marked_;
  int waited_ = 0, timer_ = 0;
  bool pin_ = false;
};

}  // namespace

int SpriteWidth(const std::string& path) {
  for (size_t i = 0; i < kSprites.size(); ++i)
    if (path == kSprites[i]) return 21 + static_cast<int>(i);
  return -1;
}

int WidthOf(const SDL_Surface* image) { return image ? image->w : -1; }

void WriteSprites() {
  mkdir("Images", 0755);
  for (const char* path : kSprites) {
    SDL_Surface* image = SDL_CreateRGBSurface(SDL_SWSURFACE, SpriteWidth(path), 50, 32, 0xFF0000,
                                              0xFF00, 0xFF, 0);
    ASSERT_NE(image, nullptr);
    SDL_FillRect(image, nullptr, SDL_MapRGB(image->format, 200, 30, 30));
    ASSERT_EQ(SDL_SaveBMP(image, path), 0) << path;
    SDL_FreeSurface(image);
  }
}

void WriteLevel(int level, const std::string& body) {
  mkdir("Niveaux", 0755);
  WriteFile("Niveaux/Niveau_" + std::to_string(level) + ".txt", body);
}

void ResetGlobals() {
  tamponIMG = 1;
  FINPROG = 0;
  attente = 0;
  invulnerable = 0;
  Change = 0;
}

void FlowTest::SetUp() {
  SdlTest::SetUp();
  WriteSprites();
  Fresh();
}

void FlowTest::Fresh() {
  if (game_) {
    SDL_RemoveTimer(game_->timerId);
    ReleaseGameSurfaces(*game_);
  }
  for (SDL_Event e; SDL_PollEvent(&e);) {
  }
  ResetGlobals();
  attente = 1;  // no clock tick due
  game_ = std::make_unique<GameState>();
  GameState& s = *game_;
  s.screen = TestWindow(600, 600, SDL_HWSURFACE | SDL_DOUBLEBUF);
  ASSERT_NE(s.screen, nullptr);
  for (SDL_Rect& chest : s.chestPositions) chest = At(3000, 3000);
  for (SDL_Rect& enemy : s.enemyPositions) enemy = At(5000, 5000);
  s.enemyCount = s.wallCount = 0;
  s.clockRect.x = 460;  // where the first frame puts a three-digit clock
}

void FlowTest::TearDown() {
  SDL_RemoveTimer(game_->timerId);
  ReleaseGameSurfaces(*game_);
  SdlTest::TearDown();
  ResetGlobals();
}

void FlowTest::RunRows(const std::vector<Row>& rows) {
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Fresh();
    Run(row.script);
  }
}

void FlowTest::Run(const std::string& script) {
  Interpreter run(*game_);
  std::istringstream in(script);
  for (std::string line; std::getline(in, line);) {
    size_t from = 0;
    for (size_t bar = 0; bar != std::string::npos; from = bar + 1) {
      bar = line.find('|', from);
      const std::string command = line.substr(from, bar - from);
      SCOPED_TRACE(command);
      run.Line(command);
      if (testing::Test::HasFatalFailure()) return;
    }
  }
}
