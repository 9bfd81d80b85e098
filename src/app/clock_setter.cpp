#include "clock_setter.h"

#include <cerrno>
#include <ctime>

#ifdef _WIN32
#include <windows.h>
#endif

#include "common/file_io.h"

namespace marivent::app {

bool SystemClockSetter::set_time_of_day(int hour, int minute, int second, std::string& why) {
#ifdef _WIN32
    SYSTEMTIME t;
    GetLocalTime(&t);
    t.wHour = static_cast<WORD>(hour);
    t.wMinute = static_cast<WORD>(minute);
    t.wSecond = static_cast<WORD>(second);
    t.wMilliseconds = 0;
    if (SetLocalTime(&t)) return true;
    why = "droits insuffisants";
    return false;
#else
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    local.tm_hour = hour;
    local.tm_min = minute;
    local.tm_sec = second;
    local.tm_isdst = -1;
    const std::time_t target = std::mktime(&local);
    if (target == static_cast<std::time_t>(-1)) {
        why = "heure locale introuvable";
        return false;
    }
    const timespec ts{target, 0};
    if (clock_settime(CLOCK_REALTIME, &ts) == 0) return true;
    why = errno == EPERM ? "droits insuffisants (il faut la capacité CAP_SYS_TIME)" : error_text(errno);
    return false;
#endif
}

} // namespace marivent::app
