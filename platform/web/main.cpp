#include <emscripten.h>

#include "platform/web/waits.h"

// Both programs' SDL_main; the one linked in is the program's.
extern "C" int SDL_main(int argc, char** argv);

// Under Asyncify the runtime never learns that main returned: tell the page.
// clang-format off
EM_JS(void, TellPageEnded, (int status), {
  if (Module.onExit) Module.onExit(status);
});
// clang-format on

int main(int argc, char** argv) {
  // The program starts in a task of its own, not in the one that brought its
  // last file: the page stays free to answer meanwhile.
  YieldToPage();
  const int status = SDL_main(argc, argv);
  TellPageEnded(status);
  return status;
}
