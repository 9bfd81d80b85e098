// error_text (file_io.h): the C library's error numbers in French, the same on every system.
#include <cerrno>
#include <cstring>

#include "file_io.h"

namespace marivent {

std::string error_text(int error_number) {
    switch (error_number) {
    case EACCES:
    case EPERM:
        return "accès refusé";
    case ENOENT:
        return "dossier ou fichier introuvable";
    case ENOTDIR:
        return "un élément du chemin n'est pas un dossier";
    case EISDIR:
        return "c'est un dossier, pas un fichier";
    case EROFS:
        return "support en lecture seule";
    case ENOSPC:
        return "disque plein";
#ifdef EDQUOT
    case EDQUOT:
        return "quota de disque dépassé";
#endif
    case EIO:
        return "erreur d'entrée-sortie du disque";
    case EBUSY:
    case ETXTBSY:
        return "fichier occupé";
    default:
        return std::strerror(error_number);
    }
}

} // namespace marivent
