#ifndef GLOUTO_PACKAGING_NIVEAU_FRENCH_ERRORS_H
#define GLOUTO_PACKAGING_NIVEAU_FRENCH_ERRORS_H

#include <string>

// What a failed system call means, in French: strerror speaks the locale's
// language, and glouto-niveau speaks French whatever the locale.
std::string FrenchError(int error);

#endif
