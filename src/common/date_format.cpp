#include "date_format.h"

#include "common/text.h"

namespace marivent {

Result<DateFormat> DateFormat::parse(std::string_view pattern) {
    DateFormat f;
    f.pattern_ = std::string(pattern);
    int seen[3] = {0, 0, 0};
    auto field_of = [](char c) -> std::optional<Field> {
        switch (c) {
        case 'd':
        case 'D':
        case 'j':
        case 'J':
            return Field::day;
        case 'm':
        case 'M':
            return Field::month;
        case 'y':
        case 'Y':
        case 'a':
        case 'A':
            return Field::year;
        default:
            return std::nullopt;
        }
    };
    for (std::size_t i = 0; i < pattern.size();) {
        const char c = pattern[i];
        const std::optional<Field> field = field_of(c);
        if (!field) {
            if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || is_digit(c)) {
                return failure(
                    std::string("« ") + c +
                    " » n'est ni un jour (d, j), ni un mois (M, m), ni une année (y, a)");
            }
            f.tokens_.push_back({std::nullopt, 0, c});
            ++i;
            continue;
        }
        std::size_t j = i;
        while (j < pattern.size() && field_of(pattern[j]) == field)
            ++j;
        const int letters = static_cast<int>(j - i);
        const bool fits = *field == Field::year ? letters == 2 || letters == 4 : letters <= 2;
        if (!fits) {
            return failure(
                "« " + std::string(pattern.substr(i, j - i)) +
                " » : un jour ou un mois s'écrit d ou dd, M ou MM, une année yy ou yyyy");
        }
        ++seen[static_cast<int>(*field)];
        f.tokens_.push_back({field, letters, 0});
        i = j;
    }
    if (seen[0] != 1 || seen[1] != 1 || seen[2] != 1) {
        return failure(
            "il faut un jour, un mois et une année, chacun une fois (par exemple dd/MM/yyyy)");
    }
    return f;
}

std::optional<Date> DateFormat::read(std::string_view text) const {
    const std::string_view s = trimmed(text);
    std::size_t at = 0;
    Date d;
    for (std::size_t k = 0; k < tokens_.size(); ++k) {
        const Token& t = tokens_[k];
        if (!t.field) {
            if (at >= s.size() || s[at] != t.literal) return std::nullopt;
            ++at;
            continue;
        }
        // Day and month take one or two digits, unless a number follows with no separator.
        const bool packed = k + 1 < tokens_.size() && tokens_[k + 1].field;
        const std::size_t most = *t.field == Field::year ? static_cast<std::size_t>(t.letters) : 2;
        const std::size_t least = *t.field == Field::year || packed ? most : 1;
        std::size_t n = 0;
        int value = 0;
        while (n < most && at + n < s.size() && is_digit(s[at + n])) {
            value = value * 10 + (s[at + n] - '0');
            ++n;
        }
        if (n < least) return std::nullopt;
        at += n;
        if (*t.field == Field::day)
            d.day = value;
        else if (*t.field == Field::month)
            d.month = value;
        else
            d.year = t.letters == 2 ? 2000 + value : value;
    }
    if (at != s.size() || !is_valid_date(d)) return std::nullopt;
    return d;
}

bool DateFormat::is_separator(char c) const {
    for (const auto& t : tokens_)
        if (!t.field && t.literal == c) return true;
    return false;
}

std::vector<DateFormat> default_date_formats() {
    std::vector<DateFormat> formats;
    for (const char* p : {"dd/MM/yyyy", "dd.MM.yyyy", "yyyy-MM-dd"})
        formats.push_back(*DateFormat::parse(p));
    return formats;
}

std::optional<Date> read_date(std::string_view text, const std::vector<DateFormat>& formats) {
    for (const auto& f : formats)
        if (std::optional<Date> date = f.read(text)) return date;
    return std::nullopt;
}

} // namespace marivent
