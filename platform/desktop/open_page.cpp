#include "platform/open_page.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

// Double fork: the go-between exits at once and is reaped here, so the opener
// is adopted by init and never becomes our zombie, and we never wait on the
// viewer. Only async-signal-safe calls run after fork, as the game has threads;
// hence _Fork inside, which runs no fork handlers that could wait on a lock
// some other thread of ours held at the first fork.
void OpenWithDesktop(const char* target, int /*showCommand: no meaning on Linux*/) {
  if (!target) return;
  char* const argv[] = {const_cast<char*>("xdg-open"), const_cast<char*>(target), nullptr};

  const pid_t child = fork();
  if (child < 0) return;
  if (child == 0) {
    setsid();  // out of the game's terminal group: a Ctrl+C on the game spares the viewer
    if (_Fork() == 0) {
      closefrom(3);  // the viewer has no business with our window or audio handles
      execvp(argv[0], argv);
      _exit(127);  // no xdg-open: nothing to report
    }
    _exit(0);
  }
  while (waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
  }
}
