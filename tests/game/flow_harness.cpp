#include "tests/game/flow_harness.h"

#include <sys/stat.h>

#include <array>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <map>
#include <sstream>

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

// A field a script reads and sets: an int, a 16-bit position or Change.
struct Field {
  int* i = nullptr;
  Sint16* h = nullptr;
  int get() const { return i ? *i : h ? *h : Change.load(); }
  void set(int v) const {
    if (i) *i = v;
    if (h) *h = static_cast<Sint16>(v);
    if (!i && !h) Change = v;
  }
};

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
      {"F1", SDLK_F1},         {"F2", SDLK_F2},
      {"F3", SDLK_F3},         {"F5", SDLK_F5},
      {"LCtrl", SDLK_LCTRL},   {"RCtrl", SDLK_RCTRL},
      {"RShift", SDLK_RSHIFT}, {"Space", SDLK_SPACE},
      {"LShift", SDLK_LSHIFT}, {"Return", SDLK_RETURN},
      {"Escape", SDLK_ESCAPE}, {"Backspace", SDLK_BACKSPACE}};
  if (name == "quit") return QuitEvent();
  if (name == "-") return MouseMotion(1, 1);
  if (name == "back") return PadButton(0, 6);  // a pad's Back
  const auto k = kKeys.find(name);
  return KeyDown(k != kKeys.end() ? k->second : static_cast<SDLKey>(name.at(0)));
}

SDL_Rect At(int x, int y) { return {static_cast<Sint16>(x), static_cast<Sint16>(y), 0, 0}; }

SDL_Rect Point(const std::string& xy) {
  const size_t comma = xy.find(',');
  return At(std::stoi(xy.substr(0, comma)), std::stoi(xy.substr(comma + 1)));
}

// Whether the first draw after srand(seed) makes the hero's chest a bonus one.
bool BonusAfter(unsigned seed) {
  std::srand(seed);
  return (std::rand() % 1000000) % 7 == 0;
}

class Interpreter {
 public:
  explicit Interpreter(GameState& s) : s_(s) {
    const std::pair<const char*, int*> ints[] = {{"hero.dir", &s.heroDirection},
                                                 {"hero.mode", &s.heroMode},
                                                 {"remaining", &s.remaining},
                                                 {"clock", &s.clock},
                                                 {"lives", &s.lives},
                                                 {"score", &s.score},
                                                 {"enemyscore", &s.enemyScore},
                                                 {"level", &s.level},
                                                 {"chests", &s.chestCount},
                                                 {"enemies", &s.enemyCount},
                                                 {"walls", &s.wallCount},
                                                 {"eaten", &s.eatenSinceRefill},
                                                 {"bonus", &s.chestBonus},
                                                 {"width", &s.width},
                                                 {"players", &s.playerCount},
                                                 {"running", &s.running},
                                                 {"won", &s.won},
                                                 {"pauseloop", &s.pauseLoop},
                                                 {"tampon", &tamponIMG},
                                                 {"finprog", &FINPROG},
                                                 {"attente", &attente},
                                                 {"invulnerable", &invulnerable},
                                                 {"switch", &s.music.musicSwitch},
                                                 {"volume", &s.music.volume},
                                                 {"track", &s.music.trackIndex}};
    for (const auto& [name, at] : ints) fields_[name].i = at;
    fields_["change"] = {};
    fields_["hero.x"].h = &s.heroPosition.x;
    fields_["hero.y"].h = &s.heroPosition.y;
    fields_["clocktext"].h = &s.clockRect.x;
    for (int i = 0; i < kEnemyCapacity; ++i) {
      const std::string e = "enemy" + std::to_string(i);
      fields_[e + ".x"].h = &s.enemyPositions[i].x;
      fields_[e + ".y"].h = &s.enemyPositions[i].y;
      fields_[e + ".dir"].i = &s.enemyDirections[i];
      fields_[e + ".mode"].i = &s.enemyModes[i];
      fields_[e + ".countdown"].i = &s.turnCountdowns[i];
    }
    for (int i = 0; i < kChestCapacity; ++i) {
      fields_["chest" + std::to_string(i) + ".x"].h = &s.chestPositions[i].x;
      fields_["chest" + std::to_string(i) + ".y"].h = &s.chestPositions[i].y;
    }
  }

  void Line(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> w;
    for (std::string word; in >> word;) w.push_back(word);
    if (w.empty()) return;
    const std::string& op = w[0];
    const int n = w.size() > 1 && std::isdigit(w[1][0]) ? std::stoi(w[1]) : 0;
    if (op == "seed") {
      unsigned seed = n;
      if (!n)
        for (seed = 1; BonusAfter(seed) != (w.at(1) == "bonus");) ++seed;
      std::srand(seed);
    } else if (op == "walls") {
      std::string body = std::to_string(w.size() - 1) + "\n";
      for (size_t i = 1; i < w.size(); ++i) {
        const SDL_Rect p = Point(w[i]);
        body += std::to_string(p.x) + "\t" + std::to_string(p.y) + "\n";
      }
      WriteLevel(s_.level, body);
      s_.wallCount = Murs(s_.wallImages.data(), s_.wallPositions.data(), s_.width, s_.height,
                          s_.screen, s_.level);
    } else if (op == "hero") {
      Place(s_.heroPosition, &s_.heroDirection, w, 1);
    } else if (op == "enemy") {
      Place(s_.enemyPositions.at(n), &s_.enemyDirections[n], w, 2);
    } else if (op == "chest") {
      Place(s_.chestPositions.at(n), nullptr, w, 2);
    } else if (op == "queue" || op == "frame") {
      for (size_t i = 1; i < w.size(); ++i) Push(Event(w[i]));
      if (op == "frame") Frame();
    } else if (op == "frames") {
      for (int i = 0; i < n; ++i) Frame();
    } else if (op == "tick") {
      for (int i = 0; i < n; ++i) minuteur(250, nullptr);
    } else if (op == "press") {
      Timed([&] { HandleKey(s_, Event(w.at(1)).key.keysym.sym); });
    } else if (op == "timer") {
      s_.timerId = SDL_AddTimer(1u << 30, minuteur, nullptr);  // never ticks in a test
    } else if (op == "rules") {
      Timed([&] { ApplyRules(s_); });
    } else if (op == "finish") {
      const int finprog = FINPROG;
      FINPROG = 1;  // the outcome only, no end screens
      FinishGame(s_);
      FINPROG = finprog;
    } else if (op == "mark") {
      for (const auto& [name, field] : fields_) marked_[name] = field.get();
    } else if (op == "set" || op == "expect" || op == "only") {
      Assign(w, op);
    } else if (op == "caption") {
      char* title = nullptr;
      SDL_WM_GetCaption(&title, nullptr);
      const size_t from = line.find("caption") + 8, to = line.find_last_not_of(' ');
      EXPECT_EQ(title ? std::string(title) : "", line.substr(from, to + 1 - from));
    } else {
      ADD_FAILURE() << "unknown command " << op;
    }
  }

 private:
  static void Place(SDL_Rect& at, int* direction, const std::vector<std::string>& w, size_t from) {
    at = Point(w.at(from));
    if (direction && w.size() > from + 1) *direction = Value(w[from + 1]);
  }

  // A step that may start the clock's timer: the test drives Change by hand.
  void Timed(const std::function<void()>& step) {
    const SDL_TimerID before = s_.timerId;
    const auto start = std::chrono::steady_clock::now();
    step();
    const auto took = std::chrono::steady_clock::now() - start;
    waited_ = static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(took).count());
    timer_ = s_.timerId ? 1 : 0;
    pin_ = pin_ || timer_;
    SDL_RemoveTimer(s_.timerId);
    s_.timerId = {};
    // Removed after the new one, in case SDL gave the new one the old one's id.
    stale_ = before && SDL_RemoveTimer(before) ? 1 : 0;
  }

  void Frame() {
    if (pin_) ADD_FAILURE() << "a timer ran since the last `set change=`: set it first";
    Timed([&] { RunFrame(s_); });
  }

  // set f=v ...; expect f=v f>=v ...; only: the same, and the other fields as at `mark`.
  void Assign(const std::vector<std::string>& w, const std::string& op) {
    fields_["waited"].i = &waited_;
    fields_["timer"].i = &timer_;
    fields_["stale"].i = &stale_;
    std::map<std::string, bool> named;
    for (size_t i = 1; i < w.size(); ++i) {
      const size_t at = w[i].find_first_of(">=");
      const std::string name = w[i].substr(0, at);
      const auto f = fields_.find(name);
      if (at == std::string::npos || f == fields_.end()) {
        ADD_FAILURE() << "no field in " << w[i];
        continue;
      }
      named[name] = true;
      const int value = Value(w[i].substr(w[i].find('=', at) + 1));
      if (op == "set") {
        f->second.set(value);
        if (name == "change") pin_ = false;
      } else if (w[i][at] == '>') {
        EXPECT_GE(f->second.get(), value) << name;
      } else {
        EXPECT_EQ(f->second.get(), value) << name;
      }
    }
    fields_.erase("waited");
    fields_.erase("timer");
    fields_.erase("stale");
    for (const auto& [name, before] : marked_) {
      if (op == "only" && !named.count(name)) {
        EXPECT_EQ(fields_.at(name).get(), before) << name << " changed";
      }
    }
  }

  GameState& s_;
  std::map<std::string, Field> fields_;
  std::map<std::string, int> marked_;
  int waited_ = 0, timer_ = 0, stale_ = 0;
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
  FINPROG = attente = invulnerable = 0;
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
  for (SDL_Event e; SDL_PollEvent(&e);) continue;
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
  for (std::string command; std::getline(in, command, '|');) {
    SCOPED_TRACE(command);
    run.Line(command);
    if (testing::Test::HasFatalFailure()) return;
  }
}
