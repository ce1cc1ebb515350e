#ifndef GLOUTO_PLATFORM_FEEL_H
#define GLOUTO_PLATFORM_FEEL_H

// The hero was caught: a phone in the player's hand feels it (a short
// vibration where the browser can); a computer's game shows it only.
void FeelCaught();

#endif
