#include "tests/reliability/editor_script.h"

#include <algorithm>

#include "editor/cycle_hook.h"
#include "editor/editor.h"
#include "editor/fichier.h"
#include "tests/reliability/soak.h"
#include "tests/support/test_support.h"

namespace {

constexpr int kCell = 25;
constexpr int kHeight = 600;

// Where the game starts its enemies and its hero: no wall may go there.
EditorRun* current = nullptr;

void AtCycleStart(int /*cycle*/) {
  current->savedBefore.push_back(FileExists(kSavedLevelPath) ? ReadFile(kSavedLevelPath) : "");
  current->residentBefore.push_back(ResidentKiB());
}

bool Reserved(int x, int y, int width) {
  const bool corner = (x == 25 || x == 50) && (y == 25 || y == 50);
  const bool centre = (x == width / 2 || x == width / 2 + kCell) && (y == 300 || y == 325);
  return corner || centre;
}

}  // namespace

void EditorModel::Press(int x, int y) {
  const std::pair<int, int> cell{x / kCell * kCell, y / kCell * kCell};
  if (Reserved(cell.first, cell.second, width_)) return;
  const auto found = std::find(walls_.begin(), walls_.end(), cell);
  if (found != walls_.end()) {
    walls_.erase(found);
  } else {
    walls_.push_back(cell);
  }
}

std::string EditorModel::File() const {
  if (walls_.empty()) return "";
  std::string text = std::to_string(walls_.size()) + "\n";
  for (const auto& [x, y] : walls_) text += std::to_string(x) + "\t" + std::to_string(y) + "\n";
  return text;
}

SDL_Event ChooseWidth(int width) {
  // The five plates stand 50 pixels apart, "Niveau 1" (600) at the top.
  return MouseButton(SDL_MOUSEBUTTONUP, 200, 120 + (width - 600) / 2);
}

SDL_Event Press(int x, int y) { return MouseButton(SDL_MOUSEBUTTONDOWN, x, y); }

void EditorScript::AddCycle(int width, int presses, bool clearOnce) {
  EditorModel model(width);
  std::uniform_int_distribution<int> anyX(0, width - 1), anyY(0, kHeight - 1), die(0, 5);
  std::uniform_int_distribution<int> when(0, presses);
  const int clearAt = clearOnce ? when(random_) : -1;
  events_.push_back(MouseMotion(200, 120 + (width - 600) / 2));
  events_.push_back(ChooseWidth(width));
  for (int i = 0; i < presses; ++i) {
    if (i == clearAt) {
      events_.push_back(KeyDown(SDLK_BACKSPACE));
      model.Clear();
    }
    int x = anyX(random_), y = anyY(random_);
    const int roll = die(random_);
    if (roll < 2 && !model.Walls().empty()) {
      // Somewhere inside a wall already placed: it goes away.
      const auto& walls = model.Walls();
      const auto& wall = walls[std::uniform_int_distribution<size_t>(0, walls.size() - 1)(random_)];
      x = wall.first + x % kCell;
      y = wall.second + y % kCell;
    } else if (roll == 5) {
      // Input the editing loop must ignore.
      const SDL_Event ignored[] = {KeyDown(SDLK_KP_ENTER), KeyDown(SDLK_a),
                                   MouseButton(SDL_MOUSEBUTTONUP, x, y), MouseMotion(x, y)};
      events_.push_back(ignored[i % 4]);
    }
    events_.push_back(Press(x, y));
    model.Press(x, y);
    ++presses_;
  }
  events_.push_back(KeyDown(SDLK_RETURN));
  saves_.push_back(model.File());
}

void EditorScript::AddQuit() { events_.push_back(QuitEvent()); }

bool EditorScript::Next(SDL_Event& event) {
  if (events_.empty()) {
    event = QuitEvent();
    return true;
  }
  event = events_.front();
  events_.pop_front();
  return true;
}

EditorRun RunEditor(EditorScript& script) {
  EditorRun run;
  current = &run;
  FINPROG = 0;
  cycleStarted = AtCycleStart;
  ScriptInput([&script](SDL_Event& e) { return script.Next(e); });
  char name[] = "editor";
  char* argv[] = {name, nullptr};
  run.result = SDL_main(1, argv);
  run.residentAtEnd = ResidentKiB();
  ScriptInput(nullptr);
  cycleStarted = nullptr;
  current = nullptr;
  return run;
}
