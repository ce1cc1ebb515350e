#include "platform/open_page.h"

#include <emscripten.h>

#include <string>

// A new tab, at an address relative to the page: the programs' working
// directory is the root of the browser's file system, which means nothing
// to the site's host.
void OpenWithDesktop(const char* target, int /*showCommand*/) {
  if (!target) return;
  std::string address = target;
  while (!address.empty() && address[0] == '/') address.erase(0, 1);
  EM_ASM({ window.open(UTF8ToString($0), '_blank'); }, address.c_str());
}
