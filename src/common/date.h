// Calendar date and local time of day, as the regional settings and the clock seams give them.
#pragma once
#include <compare>

namespace marivent {

struct Date {
    int year = 0; // year 0 is the zero date, which never equals a real date
    int month = 0;
    int day = 0;

    bool is_zero() const { return year == 0; }
    auto operator<=>(const Date&) const = default;
};

struct LocalDateTime {
    Date date;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// True for a date that exists in the Gregorian calendar (years 1 to 9999).
bool is_valid_date(const Date& d);

// The date `days` days after a valid date (before it when negative), in the proleptic Gregorian
// calendar.
Date add_days(const Date& d, int days);

} // namespace marivent
