// error_text (file_io.h): the C library's error numbers in French, the same on every system.
#include <cerrno>
#include <cstring>

#include "file_io.h"
#ifdef _WIN32
#include "win32_error.h"
#endif

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

std::string error_text(const std::error_code& error) {
#ifdef _WIN32
    // The C run-time's numbers in the generic category, Windows's own codes in the system's.
    if (error.category() == std::system_category())
        return win32_error_text(static_cast<unsigned long>(error.value()));
#endif
    return error_text(error.value());
}

} // namespace marivent
