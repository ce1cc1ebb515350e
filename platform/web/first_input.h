#ifndef GLOUTO_PLATFORM_WEB_FIRST_INPUT_H
#define GLOUTO_PLATFORM_WEB_FIRST_INPUT_H

// Browsers refuse to start sound before the player's first key or click.
// `hook` runs once, when the window reads that first input.
void WindowOnFirstInput(void (*hook)());

#endif
