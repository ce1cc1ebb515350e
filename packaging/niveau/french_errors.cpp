#include "packaging/niveau/french_errors.h"

#include <cerrno>

std::string FrenchError(int error) {
  switch (error) {
    case ENOENT: return "fichier ou dossier introuvable";
    case EACCES:
    case EPERM: return "permission refus\u00e9e";
    case EROFS: return "disque en lecture seule";
    case ENOSPC: return "disque plein";
    case EDQUOT: return "quota de disque d\u00e9pass\u00e9";
    case ENOTDIR: return "un \u00e9l\u00e9ment du chemin n'est pas un dossier";
    case EISDIR: return "c'est un dossier";
    case EEXIST: return "le fichier existe d\u00e9j\u00e0";
    case ENAMETOOLONG: return "nom de fichier trop long";
    case ELOOP: return "trop de liens symboliques";
    case EMFILE:
    case ENFILE: return "trop de fichiers ouverts";
    case EIO: return "erreur de lecture ou d'\u00e9criture du disque";
    default: return "erreur syst\u00e8me n\u00b0 " + std::to_string(error);
  }
}
