#ifndef GLOUTO_COMMON_COMMAND_LINE_H
#define GLOUTO_COMMON_COMMAND_LINE_H

// What a player or level designer may say on the command line. Without any
// argument both programs behave as they always have.
struct CommandLine {
  int zoom = 1;                // --zoom N: every pixel an N x N block, N in 1..3
  int level = 1;               // --niveau N (game): the first level played, a named level
  const char* file = nullptr;  // FILE (editor): the level opened on the grid
  // The game's recorded games: a .partie file, a code or a link to one.
  const char* watch = nullptr;      // --revoir SOURCE: plays it back in the window
  const char* challenge = nullptr;  // --defi SOURCE: a new game on its draw and levels
  const char* share = nullptr;      // --partager FILE: prints its code
  bool fast = false;                // --vite (with --revoir): no waits
  // A game on two devices (platform/link.h): this one's side.
  bool host = false;   // --deux-ecrans: player 1, who starts each game
  bool guest = false;  // --invite: player 2, on the other device
};

// Which arguments a program takes besides --zoom.
enum class Accepts { Level, File };

// Reads argv[1..argc-1] into `out`. A bad or unknown argument gets one line on
// stderr, naming `program`, and false: the program then ends with status 2.
bool ReadCommandLine(int argc, char** argv, const char* program, Accepts accepts, CommandLine& out);

#endif
