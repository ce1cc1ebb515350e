#include "tests/game/flow_harness.h"

#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <map>
#include <sstream>
#include <utility>

#include "game/flow/chance.h"
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

std::vector<std::string> Words(const std::string& text) {
  std::istringstream in(text);
  std::vector<std::string> words;
  for (std::string word; in >> word;) words.push_back(word);
  return words;
}

// Every picture of the frame loop and the level fill; the i-th is 21 + i wide.
const std::vector<std::string> kSprites = [] {
  std::vector<std::string> paths;
  for (const std::string& n :
       Words("Glouto Glouto2 Glouto3 Glouto4 Glouto2.1 Glouto2.2 Glouto2.3 Glouto2.4 Ennemi Ennemi2"
             " Ennemi3 Ennemi4 Ennemi2.1 Ennemi2.2 Ennemi2.3 Ennemi2.4 Mur coffre gloutofond.jpg "
             "Imageperd"))
    paths.push_back("Images/" + n + (n == "gloutofond.jpg" ? "" : ".png"));
  return paths;
}();

int SpriteWidth(const std::string& path) {
  const auto at = std::find(kSprites.begin(), kSprites.end(), path);
  return at == kSprites.end() ? -1 : 21 + static_cast<int>(at - kSprites.begin());
}

// A field reads and, unless it reads what the last step did, writes.
struct Field {
  std::function<int()> get;
  std::function<void(int)> set;
};

template <typename T>
Field Ref(T& v) {
  return {[&v] { return static_cast<int>(v); }, [&v](int x) { v = x; }};
}

int Width(const SDL_Surface* image) { return image ? image->w : -1; }

// How many of the first n pictures are the sprite's, each its own.
int Own(SDL_Surface* const* images, int n, const std::string& sprite) {
  int own = 0;
  for (int i = 0; i < n; ++i)
    own += Width(images[i]) == SpriteWidth("Images/" + sprite) &&
           (!i || images[i] != images[i - 1]);
  return own;
}

void ResetGlobals() { tamponIMG = 1, FINPROG = attente = invulnerable = 0, Change = 0; }

struct Script {
  GameState& s;
  std::vector<std::string> w;  // the command's words
  std::map<std::string, std::function<void(int)>> verbs;
  std::map<std::string, Field> fields;
  std::map<std::string, int> marked;
  std::vector<int> draws;                         // rand's first numbers after the last seed
  int waited = 0, timer = 0, stale = 0, pin = 0;  // pin: a timer ran since `set change=`

  explicit Script(GameState& game) : s(game) {
    // The verbs, given the number after them (0 if none).
    verbs = {
        // seed N; seed plain: the first seed making the hero's next chest no bonus.
        {"seed", [&](int n) { Seed(n); }},
        // walls x,y ...: this level's file (none without pairs), read as a level start does.
        {"walls", [&](int) { Walls(); }},
        {"fill", [&](int) { Fill(); }},  // chests and enemies, as a level start does
        {"hero", [&](int) { Place(s.heroPosition, &s.heroDirection, 1); }},
        {"enemy", [&](int n) { Place(s.enemyPositions.at(n), &s.enemyDirections[n], 2); }},
        {"chest", [&](int n) { Place(s.chestPositions.at(n), nullptr, 2); }},
        {"queue", [&](int) { Queue(); }},
        {"frame", [&](int) { Queue(), Frame(); }},  // the events, then RunFrame
        {"press", [&](int) { Timed([&] { HandleKey(s, Events(w.at(1)).at(0).key.keysym.sym); }); }},
        {"rules", [&](int) { Timed([&] { ApplyRules(s); }); }},
        {"begin", [&](int n) { Timed([&] { StartFirstLevel(s, n); }); }},  // the menu first
        {"next", [&](int) { NextLevelCounts(s); }},
        {"advance", [&](int n) { AdvanceToLevel(s, n); }},
        {"animate", [&](int) { AnimateSprites(s); }},
        // move MODE [x,y dir]: enemy 1 put there, `mark`, then Deplacement on it.
        {"move", [&](int n) { Move(n); }},
        // timer: a running clock timer, as in play, which never ticks in a test.
        {"timer", [&](int) { s.timerId = SDL_AddTimer(1u << 30, minuteur, nullptr); }},
        // finish: the outcome only, no end screens.
        {"finish", [&](int was) { was = std::exchange(FINPROG, 1), FinishGame(s), FINPROG = was; }},
        {"mark", [&](int) { Mark(); }},
        {"set", [&](int) { Assign('s'); }},
        {"expect", [&](int) { Assign('e'); }},  // f=v or f>=v
        {"only", [&](int) { Assign('o'); }},    // and every other field as at `mark`
        {"caption", [&](int) { Caption(); }},   // the window's
    };
    // The fields; eN and chestN for each of the tables.
    const auto names = Words(
        "hero.dir hero.mode remaining clock lives score enemyscore level chests enemies walls eaten"
        " bonus width players running won pauseloop speed tampon finprog attente invulnerable"
        " switch volume track");
    // clang-format off
    int* const ints[] = {&s.heroDirection, &s.heroMode, &s.remaining, &s.clock, &s.lives, &s.score,
        &s.enemyScore, &s.level, &s.chestCount, &s.enemyCount, &s.wallCount, &s.eatenSinceRefill,
        &s.chestBonus, &s.width, &s.playerCount, &s.running, &s.won, &s.pauseLoop, &s.speed,
        &tamponIMG, &FINPROG, &attente, &invulnerable, &s.music.musicSwitch, &s.music.volume,
        &s.music.trackIndex};
    // clang-format on
    for (size_t i = 0; i < names.size(); ++i) fields[names[i]] = Ref(*ints[i]);
    fields["change"] = {[] { return Change.load(); }, [](int v) { Change = v; }};
    Xy("hero", s.heroPosition);
    fields["clocktext"] = Ref(s.clockRect.x);  // x of the clock's text
    fields["pausetext"] = Ref(s.pauseRect.x);
    for (int i = 0; i < kEnemyCapacity; ++i) {
      const std::string e = "e" + std::to_string(i);
      Xy(e, s.enemyPositions[i]);
      fields[e + ".dir"] = Ref(s.enemyDirections[i]);
      fields[e + ".mode"] = Ref(s.enemyModes[i]);
      fields[e + ".countdown"] = Ref(s.turnCountdowns[i]);
      fields[e + "image"].get = [&, i] { return Width(s.enemyImages[i]); };
    }
    for (int i = 0; i < kChestCapacity; ++i) Xy("chest" + std::to_string(i), s.chestPositions[i]);
    // Read-only: what the last press, frame or rules did: waited (ms), timer (1: it left the
    // clock's timer running, then removed; a removed timer may have ticked: the next frame needs
    // `set change=`), stale (1: the timer before was still there); draws since `seed`; the screen.
    fields["heroimage"].get = [&] { return Width(s.heroImage); };
    fields["screenw"].get = [&] { return Width(s.screen); };
    fields["wallpics"].get = [&] { return Own(s.wallImages.data(), s.wallCount, "Mur.png"); };
    fields["chestpics"].get = [&] { return Own(s.chestImages.data(), s.chestCount, "coffre.png"); };
    for (auto [name, v] : {std::pair{"waited", &waited}, {"timer", &timer}, {"stale", &stale}})
      fields[name].get = [v = v] { return *v; };
    fields["draws"].get = [&] { return Draws(); };
    Seed(1);
  }

  void Xy(const std::string& name, SDL_Rect& at) {
    fields[name + ".x"] = Ref(at.x);
    fields[name + ".y"] = Ref(at.y);
  }

  void Line(const std::string& command) {
    w = Words(command);
    const auto verb = w.empty() ? verbs.end() : verbs.find(w[0]);
    if (verb == verbs.end()) return ADD_FAILURE() << "unknown command " << command, void();
    verb->second(w.size() > 1 && std::isdigit(w[1][0]) ? std::stoi(w[1]) : 0);
  }

  int Value(const std::string& text) const {
    static const std::map<std::string, int> kNames = {{"stop", 0}, {"right", 1}, {"left", 2},
                                                      {"up", 3},   {"down", 4},  {"none", -1}};
    if (const auto d = kNames.find(text); d != kNames.end()) return d->second;
    if (SpriteWidth("Images/" + text + ".png") > 0) return SpriteWidth("Images/" + text + ".png");
    if (text[0] != 'r') return std::stoi(text);
    const size_t mod = text.find('%'), plus = text.find('+');
    const int draw = draws.at(std::stoi(text.substr(1))) % std::stoi(text.substr(mod + 1));
    return draw + (plus == std::string::npos ? 0 : std::stoi(text.substr(plus + 1)));
  }

  void Seed(int n) {
    for (unsigned seed = n ? n : 1;; ++seed) {
      std::srand(seed);
      draws.assign(64, 0);
      for (int& d : draws) d = std::rand();
      SeedChance(seed);
      if (n || draws[0] % 1000000 % 7 != 0) return;
    }
  }

  // How many draws were made since `seed` (it takes one more).
  int Draws() const {
    const auto next = std::find(draws.begin(), draws.end(), Chance());
    return next == draws.end() ? -1 : static_cast<int>(next - draws.begin());
  }

  void Walls() {
    std::string body = std::to_string(w.size() - 1) + "\n";
    for (size_t i = 1; i < w.size(); ++i) body += w[i].replace(w[i].find(','), 1, "\t") + "\n";
    const std::string path = "Niveaux/Niveau_" + std::to_string(s.level) + ".txt";
    mkdir("Niveaux", 0755);
    w.size() > 1 ? WriteFile(path, body) : (void)std::remove(path.c_str());
    s.wallCount = Murs(s.wallImages.data(), s.wallPositions.data(), s.width, s.height, s.screen,
                       s.level);
  }

  void Fill() {
    Carres(s.width, s.height, s.chestPositions.data(), s.chestImages.data(), s.chestCount,
           s.wallPositions.data(), s.wallCount);
    Ennemis(s.width, s.height, s.enemyDirections.data(), s.enemyCount, nullptr,
            s.enemyPositions.data(), s.enemyImages.data());
  }

  void Place(SDL_Rect& at, int* direction, size_t from) {
    const std::string& xy = w.at(from);
    at.x = static_cast<Sint16>(std::stoi(xy));
    at.y = static_cast<Sint16>(std::stoi(xy.substr(xy.find(',') + 1)));
    if (direction && w.size() > from + 1) *direction = Value(w[from + 1]);
  }

  void Queue() {
    for (size_t i = 1; i < w.size(); ++i) Push(Events(w[i]).at(0));
  }

  void Move(int mode) {
    if (w.size() > 2) Place(s.enemyPositions[1], &s.enemyDirections[1], 2);
    Mark();
    const int answer = Deplacement(s.enemyDirections.data(), s.enemyPositions.data(), 1, s.speed,
                                   s.width, s.height, mode, s.wallPositions.data(), s.wallCount,
                                   s.turnCountdowns.data());
    EXPECT_EQ(answer, s.enemyDirections[1]) << "Deplacement answers the direction it leaves";
  }

  void Caption() {
    std::string said;
    for (size_t i = 1; i < w.size(); ++i) said += (i > 1 ? " " : "") + w[i];
    EXPECT_EQ(WindowCaption(), said);
  }

  // A step that may start the clock's timer: the test drives Change by hand.
  void Timed(const std::function<void()>& step) {
    const SDL_TimerID before = s.timerId;
    const auto start = std::chrono::steady_clock::now();
    step();
    const auto took = std::chrono::steady_clock::now() - start;
    waited = static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(took).count());
    timer = s.timerId ? 1 : 0;
    pin = pin || timer;
    SDL_RemoveTimer(s.timerId);
    s.timerId = {};
    // Removed after the new one, in case SDL gave the new one the old one's id.
    stale = before && SDL_RemoveTimer(before) ? 1 : 0;
  }

  void Frame() {
    if (pin) ADD_FAILURE() << "a timer ran since the last `set change=`: set it first";
    Timed([&] { RunFrame(s); });
  }

  void Mark() {
    for (auto& [name, f] : fields)
      if (f.set) marked[name] = f.get();
  }

  void Assign(char op) {
    std::map<std::string, bool> named;
    for (size_t i = 1; i < w.size(); ++i) {
      const size_t at = w[i].find_first_of(">=");
      const auto f = fields.find(w[i].substr(0, at));
      if (at == std::string::npos || f == fields.end() || (op == 's' && !f->second.set)) {
        ADD_FAILURE() << "no field to " << op << " in " << w[i];
        continue;
      }
      named[f->first] = true;
      const int value = Value(w[i].substr(w[i].find('=', at) + 1));
      if (op == 's') {
        f->second.set(value);
        pin = pin && f->first != "change";
      } else if (w[i][at] == '>') {
        EXPECT_GE(f->second.get(), value) << f->first;
      } else {
        EXPECT_EQ(f->second.get(), value) << f->first;
      }
    }
    for (const auto& [name, before] : marked) {
      if (op == 'o' && !named.count(name)) {
        EXPECT_EQ(fields[name].get(), before) << name;
      }
    }
  }
};

}  // namespace

void FlowTest::SetUp() {
  SdlTest::SetUp();
  mkdir("Images", 0755);
  for (const std::string& path : kSprites) {
    SDL_Surface* image = SDL_CreateRGBSurface(SDL_SWSURFACE, SpriteWidth(path), 50, 32, 0xFF0000,
                                              0xFF00, 0xFF, 0);
    ASSERT_NE(image, nullptr);
    ASSERT_EQ(SDL_SaveBMP(image, path.c_str()), 0) << path;
    SDL_FreeSurface(image);
  }
  Fresh();
}

void FlowTest::Fresh() {
  if (game_) SDL_RemoveTimer(game_->timerId), ReleaseGameSurfaces(*game_);
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
  SDL_RemoveTimer(game_->timerId), ReleaseGameSurfaces(*game_);
  SdlTest::TearDown();
  ResetGlobals();
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
    Script run(*game_);
    std::istringstream script(row.substr(row.find('|') + 1));
    for (std::string command; std::getline(script, command, '|') && !HasFatalFailure();) {
      SCOPED_TRACE(command);
      run.Line(command);
    }
  }
}
