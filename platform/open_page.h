#ifndef GLOUTO_PLATFORM_OPEN_PAGE_H
#define GLOUTO_PLATFORM_OPEN_PAGE_H

// Show commands of the screens; they mean nothing to a Linux desktop.
constexpr int SW_HIDE = 0;
constexpr int SW_SHOWNORMAL = 1;

// Asks the desktop (xdg-open, detached and without a shell) or the browser (a
// new tab) to open a document or a web page. Never blocks; the outcome is not
// reported.
void OpenWithDesktop(const char* target, int showCommand);

#endif
