#include "win32_error.h"

#include <windows.h>

#include "number_text.h"

#ifndef ERROR_DISK_QUOTA_EXCEEDED
#define ERROR_DISK_QUOTA_EXCEEDED 1295L
#endif

namespace marivent {

std::string win32_error_text(unsigned long code) {
    switch (code) {
    case ERROR_ACCESS_DENIED:
    case ERROR_PRIVILEGE_NOT_HELD:
        return "accès refusé";
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
        return "dossier ou fichier introuvable";
    case ERROR_DIRECTORY:
        return "un élément du chemin n'est pas un dossier";
    case ERROR_WRITE_PROTECT:
        return "support en lecture seule";
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return "disque plein";
    case ERROR_DISK_QUOTA_EXCEEDED:
        return "quota de disque dépassé";
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_BUSY:
        return "fichier occupé";
    case ERROR_NOT_READY:
        return "support absent";
    case ERROR_CRC:
    case ERROR_IO_DEVICE:
    case ERROR_GEN_FAILURE:
        return "erreur d'entrée-sortie";
    default:
        return "erreur système " + integer_text(static_cast<long long>(code));
    }
}

} // namespace marivent
