#ifndef GLOUTO_TESTS_RELIABILITY_EDITOR_SCRIPT_H
#define GLOUTO_TESTS_RELIABILITY_EDITOR_SCRIPT_H

// Scripted sessions of the whole editor (its SDL_main), with the level each
// save must hold worked out from the press rule, not from the editor.

#include <SDL.h>

#include <deque>
#include <random>
#include <string>
#include <utility>
#include <vector>

// The walls a user has on the grid, in the order they were placed.
class EditorModel {
 public:
  explicit EditorModel(int width) : width_(width) {}
  void Press(int x, int y);
  void Clear() { walls_.clear(); }
  // The bytes of "Niveaux/Niveau_.txt" after Return; "" when none is left.
  std::string File() const;
  const std::vector<std::pair<int, int>>& Walls() const { return walls_; }

 private:
  int width_;
  std::vector<std::pair<int, int>> walls_;
};

// The release on the size screen that picks this level width.
SDL_Event ChooseWidth(int width);
SDL_Event Press(int x, int y);

// Events for whole editing cycles, and what each cycle saves.
class EditorScript {
 public:
  explicit EditorScript(unsigned seed) : random_(seed) {}
  // One cycle at `width`: `presses` presses (a third of them on walls
  // already placed, so walls come and go), stray events that must do
  // nothing, one Backspace when `clearOnce`, then Return.
  void AddCycle(int width, int presses, bool clearOnce);
  // Closes the window on the size screen: the editor ends.
  void AddQuit();
  // For each cycle, what it must have saved ("" for no file).
  const std::vector<std::string>& Saves() const { return saves_; }
  int Presses() const { return presses_; }
  // Feeds the events one at a time; once they run out, the window closes.
  bool Next(SDL_Event& event);
  bool Exhausted() const { return events_.empty(); }

 private:
  std::mt19937 random_;
  std::deque<SDL_Event> events_;
  std::vector<std::string> saves_;
  int presses_ = 0;
};

// What a scripted run of the editor's SDL_main saw.
struct EditorRun {
  int result = -1;
  // Per cycle, as it starts: the level file the cycle before left ("" for
  // none), and the resident memory once that cycle had shut SDL down.
  std::vector<std::string> savedBefore;
  std::vector<long> residentBefore;
  long residentAtEnd = 0;
  int Cycles() const { return static_cast<int>(savedBefore.size()); }
};

// Runs the whole editor on the script, in the working directory.
EditorRun RunEditor(EditorScript& script);

#endif
