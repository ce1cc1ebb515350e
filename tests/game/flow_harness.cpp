#include "tests/game/flow_harness.h"

#include <sys/stat.h>

#include <array>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <map>
#include <sstream>

#include "game/flow/frame.h"
#include "game/flow/globals.h"
#include "game/flow/keys.h"
#include "game/flow/level.h"
#include "game/flow/loop.h"
#include "game/flow/rules.h"
#include "game/flow/session.h"
#include "game/maze/actors.h"
#include "game/maze/movement.h"

namespace {

// Every picture of the frame loop and the level fill; the i-th is 21 + i wide.
constexpr std::array<const char*, 20> kSprites = {
    "Glouto",    "Glouto2",   "Glouto3", "Glouto4", "Glouto2.1",  "Glouto2.2", "Glouto2.3",
    "Glouto2.4", "Ennemi",    "Ennemi2", "Ennemi3", "Ennemi4",    "Ennemi2.1", "Ennemi2.2",
    "Ennemi2.3", "Ennemi2.4", "Mur",     "coffre",  "gloutofond", "Imageperd"};

std::string SpritePath(const char* name) {
  return std::string("Images/") + name + (name == std::string("gloutofond") ? ".jpg" : ".png");
}

using Words = std::vector<std::string>;

// A field reads and, unless it is a probe of the last step, writes.
struct Field {
  std::function<int()> get;
  std::function<void(int)> set;
};

template <typename T>
Field Ref(T& v) {
  return {[&v] { return static_cast<int>(v); }, [&v](int x) { v = x; }};
}

Field Probe(std::function<int()> get) { return {std::move(get), nullptr}; }

SDL_Event Event(const std::string& name) {
  static const char* kNames =
      "Right Left Up Down F1 F2 F3 F5 LCtrl RCtrl RShift LShift Space Return Escape Backspace";
  static const SDLKey kKeys[] = {SDLK_RIGHT, SDLK_LEFT,   SDLK_UP,     SDLK_DOWN,
                                 SDLK_F1,    SDLK_F2,     SDLK_F3,     SDLK_F5,
                                 SDLK_LCTRL, SDLK_RCTRL,  SDLK_RSHIFT, SDLK_LSHIFT,
                                 SDLK_SPACE, SDLK_RETURN, SDLK_ESCAPE, SDLK_BACKSPACE};
  if (name == "quit") return QuitEvent();
  if (name == "-") return MouseMotion(1, 1);   // which frames ignore
  if (name == "back") return PadButton(0, 6);  // a pad's Back
  std::istringstream names(kNames);
  int i = 0;
  for (std::string n; names >> n; ++i)
    if (n == name) return KeyDown(kKeys[i]);
  return KeyDown(static_cast<SDLKey>(name.at(0)));
}

SDL_Rect Point(const std::string& xy) {
  const size_t comma = xy.find(',');
  return {static_cast<Sint16>(std::stoi(xy.substr(0, comma))),
          static_cast<Sint16>(std::stoi(xy.substr(comma + 1))), 0, 0};
}

class Script {
 public:
  explicit Script(GameState& game) : s_(game) {
    // The verbs: w_ holds the words, n the number after the verb (0 if none).
    verbs_ = {
        // seed N; seed bonus/plain: the first seed making the hero's next chest a bonus or not.
        {"seed", [&](int n) { Seed(n, w_.at(1) == "bonus"); }},
        // walls x,y ...: this level's file, read by Murs as a level start does.
        {"walls", [&](int) { Walls(); }},
        {"hero", [&](int) { Place(s_.heroPosition, &s_.heroDirection, 1); }},
        {"enemy", [&](int n) { Place(s_.enemyPositions.at(n), &s_.enemyDirections[n], 2); }},
        {"chest", [&](int n) { Place(s_.chestPositions.at(n), nullptr, 2); }},
        // queue EVENT ...: key names (Right, Return, p, ;, F1), quit, back, - (a mouse move).
        {"queue", [&](int) { Queue(); }},
        {"frame", [&](int) { Queue(), Frame(1); }},  // the events, then RunFrame
        {"frames", [&](int n) { Frame(n); }},
        {"press", [&](int) { Timed([&] { HandleKey(s_, Event(w_.at(1)).key.keysym.sym); }); }},
        {"rules", [&](int) { Timed([&] { ApplyRules(s_); }); }},
        {"animate", [&](int) { AnimateSprites(s_); }},
        {"start", [&](int) { SetStartCounts(s_); }},
        {"newlevel", [&](int) { Timed([&] { ChangeLevel(s_); }); }},  // the level-start screen too
        {"next", [&](int) { NextLevelCounts(s_); }},
        {"advance", [&](int n) { AdvanceToLevel(s_, n); }},
        // move MODE [x,y dir]: enemy 1 put there, `mark`, then Deplacement on it.
        {"move", [&](int n) { Move(n); }},
        {"tick",
         [&](int n) {
           while (n-- > 0) minuteur(250, nullptr);
         }},
        // timer: a running clock timer, as in play, which never ticks in a test.
        {"timer", [&](int) { s_.timerId = SDL_AddTimer(1u << 30, minuteur, nullptr); }},
        {"finish", [&](int) { Finish(); }},  // the outcome, no end screens
        {"mark", [&](int) { Mark(); }},
        {"set", [&](int) { Assign('s'); }},
        {"expect", [&](int) { Assign('e'); }},  // f=v or f>=v
        {"only", [&](int) { Assign('o'); }},    // and every other field as at `mark`
        {"caption", [&](int) { Caption(); }},   // the window's caption
    };
    // The fields; enemyN and chestN for each of the tables.
    std::istringstream names(
        "hero.dir hero.mode remaining clock lives score enemyscore level chests enemies walls eaten"
        " bonus width players running won pauseloop speed tampon finprog attente invulnerable"
        " switch volume track");
    // clang-format off
    int* const ints[] = {&s_.heroDirection, &s_.heroMode, &s_.remaining, &s_.clock, &s_.lives,
        &s_.score, &s_.enemyScore, &s_.level, &s_.chestCount, &s_.enemyCount, &s_.wallCount,
        &s_.eatenSinceRefill, &s_.chestBonus, &s_.width, &s_.playerCount, &s_.running, &s_.won,
        &s_.pauseLoop, &s_.speed, &tamponIMG, &FINPROG, &attente, &invulnerable,
        &s_.music.musicSwitch, &s_.music.volume, &s_.music.trackIndex};
    // clang-format on
    std::string name;
    for (int* at : ints) names >> name, fields_[name] = Ref(*at);
    fields_["change"] = {[] { return Change.load(); }, [](int v) { Change = v; }};
    fields_["hero.x"] = Ref(s_.heroPosition.x);
    fields_["hero.y"] = Ref(s_.heroPosition.y);
    fields_["clocktext"] = Ref(s_.clockRect.x);  // x of the clock's text
    fields_["pausetext"] = Ref(s_.pauseRect.x);
    fields_["heroimage"] = Probe([&] { return s_.heroImage ? s_.heroImage->w : -1; });
    fields_["screenw"] = Probe([&] { return s_.screen ? s_.screen->w : -1; });
    for (int i = 0; i < kEnemyCapacity; ++i) {
      const std::string e = "e" + std::to_string(i);
      fields_[e + ".x"] = Ref(s_.enemyPositions[i].x);
      fields_[e + ".y"] = Ref(s_.enemyPositions[i].y);
      fields_[e + ".dir"] = Ref(s_.enemyDirections[i]);
      fields_[e + ".mode"] = Ref(s_.enemyModes[i]);
      fields_[e + ".countdown"] = Ref(s_.turnCountdowns[i]);
      fields_[e + "image"] = Probe(
          [&, i] { return s_.enemyImages[i] ? s_.enemyImages[i]->w : -1; });
    }
    for (int i = 0; i < kChestCapacity; ++i) {
      fields_["chest" + std::to_string(i) + ".x"] = Ref(s_.chestPositions[i].x);
      fields_["chest" + std::to_string(i) + ".y"] = Ref(s_.chestPositions[i].y);
    }
    // Probes of the last press, frame or rules: waited (ms), timer (1 when the
    // step left the clock's timer running; the harness removes it, and the next
    // frame needs `set change=` since a removed timer may have ticked), stale
    // (1 when the timer before it was still there); and draws since `seed`.
    fields_["waited"] = Probe([&] { return waited_; });
    fields_["timer"] = Probe([&] { return timer_; });
    fields_["stale"] = Probe([&] { return stale_; });
    fields_["draws"] = Probe([&] { return Draws(); });
    Seed(1, false);
  }

  void Line(const std::string& line) {
    std::istringstream in(line_ = line);
    w_.clear();
    for (std::string word; in >> word;) w_.push_back(word);
    if (w_.empty()) return;
    const auto verb = verbs_.find(w_[0]);
    if (verb == verbs_.end()) return ADD_FAILURE() << "unknown command " << w_[0], void();
    verb->second(w_.size() > 1 && std::isdigit(w_[1][0]) ? std::stoi(w_[1]) : 0);
  }

 private:
  int Value(const std::string& text) const {
    static const std::map<std::string, int> kNames = {{"stop", 0}, {"right", 1}, {"left", 2},
                                                      {"up", 3},   {"down", 4},  {"none", -1}};
    if (const auto d = kNames.find(text); d != kNames.end()) return d->second;
    for (const char* sprite : kSprites)
      if (text == sprite) return SpriteWidth(SpritePath(sprite));
    if (text[0] != 'r') return std::stoi(text);
    const size_t mod = text.find('%'), plus = text.find('+');
    const int draw = draws_.at(std::stoi(text.substr(1))) % std::stoi(text.substr(mod + 1));
    return draw + (plus == std::string::npos ? 0 : std::stoi(text.substr(plus + 1)));
  }

  void Seed(int n, bool bonus) {
    for (unsigned seed = n ? n : 1;; ++seed) {
      std::srand(seed);
      draws_.assign(64, 0);
      for (int& d : draws_) d = std::rand();
      std::srand(seed);
      if (n || (draws_[0] % 1000000 % 7 == 0) == bonus) return;
    }
  }

  // How many draws were made since `seed` (it takes one more).
  int Draws() const {
    const int next = std::rand();
    for (size_t i = 0; i < draws_.size(); ++i)
      if (draws_[i] == next) return static_cast<int>(i);
    return -1;
  }

  void Walls() {
    std::string body = std::to_string(w_.size() - 1) + "\n";
    for (size_t i = 1; i < w_.size(); ++i) body += w_[i].replace(w_[i].find(','), 1, "\t") + "\n";
    WriteLevel(s_.level, body);
    s_.wallCount = Murs(s_.wallImages.data(), s_.wallPositions.data(), s_.width, s_.height,
                        s_.screen, s_.level);
  }

  void Place(SDL_Rect& at, int* direction, size_t from) {
    at = Point(w_.at(from));
    if (direction && w_.size() > from + 1) *direction = Value(w_[from + 1]);
  }

  void Queue() {
    for (size_t i = 1; i < w_.size(); ++i) Push(Event(w_[i]));
  }

  void Move(int mode) {
    const int i = 1;
    if (w_.size() > 2) Place(s_.enemyPositions[i], &s_.enemyDirections[i], 2);
    Mark();
    const int answer = Deplacement(s_.enemyDirections.data(), s_.enemyPositions.data(), i, s_.speed,
                                   s_.width, s_.height, mode, s_.wallPositions.data(), s_.wallCount,
                                   s_.turnCountdowns.data());
    EXPECT_EQ(answer, s_.enemyDirections[i]) << "Deplacement answers the direction it leaves";
  }

  void Finish() {
    const int finprog = FINPROG;
    FINPROG = 1;  // the outcome only, no end screens
    FinishGame(s_);
    FINPROG = finprog;
  }

  void Caption() {
    char* title = nullptr;
    SDL_WM_GetCaption(&title, nullptr);
    const size_t from = line_.find("caption") + 8, to = line_.find_last_not_of(' ');
    EXPECT_EQ(title ? std::string(title) : "", line_.substr(from, to + 1 - from));
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

  void Frame(int n) {
    for (; n > 0; --n) {
      if (pin_) ADD_FAILURE() << "a timer ran since the last `set change=`: set it first";
      Timed([&] { RunFrame(s_); });
    }
  }

  void Mark() {
    for (auto& [name, f] : fields_) {
      if (f.set) marked_[name] = f.get();
    }
  }

  // op: s(et), e(xpect), o(nly): expect, and every other field as at `mark`.
  void Assign(char op) {
    const Words& w = w_;
    std::map<std::string, bool> named;
    for (size_t i = 1; i < w.size(); ++i) {
      const size_t at = w[i].find_first_of(">=");
      const std::string name = w[i].substr(0, at);
      const auto f = fields_.find(name);
      if (at == std::string::npos || f == fields_.end() || (op == 's' && !f->second.set)) {
        ADD_FAILURE() << "no field to " << op << " in " << w[i];
        continue;
      }
      named[name] = true;
      const int value = Value(w[i].substr(w[i].find('=', at) + 1));
      if (op == 's') {
        f->second.set(value);
        if (name == "change") pin_ = false;
      } else if (w[i][at] == '>') {
        EXPECT_GE(f->second.get(), value) << name;
      } else {
        EXPECT_EQ(f->second.get(), value) << name;
      }
    }
    for (const auto& [name, before] : marked_) {
      if (op == 'o' && !named.count(name)) {
        EXPECT_EQ(fields_[name].get(), before) << name;
      }
    }
  }

  GameState& s_;
  std::map<std::string, std::function<void(int)>> verbs_;
  std::map<std::string, Field> fields_;
  std::map<std::string, int> marked_;
  std::vector<int> draws_;
  std::string line_;
  Words w_;
  int waited_ = 0, timer_ = 0, stale_ = 0;
  bool pin_ = false;
};

}  // namespace

int SpriteWidth(const std::string& path) {
  for (size_t i = 0; i < kSprites.size(); ++i)
    if (path == SpritePath(kSprites[i])) return 21 + static_cast<int>(i);
  return -1;
}

void WriteSprites() {
  mkdir("Images", 0755);
  for (const char* name : kSprites) {
    const std::string path = SpritePath(name);
    SDL_Surface* image = SDL_CreateRGBSurface(SDL_SWSURFACE, SpriteWidth(path), 50, 32, 0xFF0000,
                                              0xFF00, 0xFF, 0);
    ASSERT_NE(image, nullptr);
    SDL_FillRect(image, nullptr, SDL_MapRGB(image->format, 200, 30, 30));
    ASSERT_EQ(SDL_SaveBMP(image, path.c_str()), 0) << path;
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
  for (SDL_Rect& chest : s.chestPositions) chest = {3000, 3000, 0, 0};
  for (SDL_Rect& enemy : s.enemyPositions) enemy = {5000, 5000, 0, 0};
  s.enemyCount = s.wallCount = 0;
  s.clockRect.x = 460;  // where the first frame puts a three-digit clock
}

void FlowTest::TearDown() {
  SDL_RemoveTimer(game_->timerId);
  ReleaseGameSurfaces(*game_);
  SdlTest::TearDown();
  ResetGlobals();
}

void FlowTest::Run(const std::string& script) {
  Script run(*game_);
  std::istringstream in(script);
  for (std::string command; std::getline(in, command, '|');) {
    SCOPED_TRACE(command);
    run.Line(command);
    if (testing::Test::HasFatalFailure()) return;
  }
}

void FlowTest::RunRows(const std::string& rows) {
  std::istringstream in(rows);
  std::vector<std::string> table;
  for (std::string line; std::getline(in, line);) {
    if (line[0] == ' ' && !table.empty()) table.back() += line;
    if (line[0] != ' ' && line[0] != '#' && !line.empty()) table.push_back(line);
  }
  for (const std::string& row : table) {
    SCOPED_TRACE(row.substr(0, row.find('|')));
    Fresh();
    Run(row.substr(row.find('|') + 1));
  }
}
