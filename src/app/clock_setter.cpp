#include "clock_setter.h"

#include <cerrno>
#include <ctime>

#ifdef _WIN32
#include <windows.h>
#endif

#include "common/file_io.h"
#ifdef _WIN32
#include "common/win32_error.h"
#endif

namespace marivent::app {

Status SystemClockSetter::set_time_of_day(int hour, int minute, int second) {
#ifdef _WIN32
    SYSTEMTIME t;
    GetLocalTime(&t);
    t.wHour = static_cast<WORD>(hour);
    t.wMinute = static_cast<WORD>(minute);
    t.wSecond = static_cast<WORD>(second);
    t.wMilliseconds = 0;
    // SetLocalTime takes the privilege itself when the account holds it; none is asked for.
    if (SetLocalTime(&t)) return {};
    const DWORD e = GetLastError();
    if (e == ERROR_PRIVILEGE_NOT_HELD || e == ERROR_ACCESS_DENIED)
        return failure("droits insuffisants (il faut le droit « Modifier l'heure système » de "
                       "Windows)");
    return failure(win32_error_text(e));
#else
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    local.tm_hour = hour;
    local.tm_min = minute;
    local.tm_sec = second;
    local.tm_isdst = -1;
    const std::time_t target = std::mktime(&local);
    if (target == static_cast<std::time_t>(-1)) return failure("heure locale introuvable");
    const timespec ts{target, 0};
    if (clock_settime(CLOCK_REALTIME, &ts) == 0) return {};
    return failure(errno == EPERM ? "droits insuffisants (il faut la capacité CAP_SYS_TIME)"
                                  : error_text(errno));
#endif
}

} // namespace marivent::app
