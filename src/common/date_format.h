// Dates written as text in a short date format: the journal's date lines, whichever regional
// settings wrote them.
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "date.h"
#include "result.h"

namespace marivent {

// A short date format: a day (d or dd), a month (M or MM) and a year (yy or yyyy), each once, and
// separators between them. French letters are taken too (j for d, a for y), and m for M since a
// date has no minutes. Day and month are read with one or two digits; "yy" is a year 2000 to 2099.
class DateFormat {
  public:
    // The format of a pattern, or the reason (French) it is not one.
    static Result<DateFormat> parse(std::string_view pattern);

    // The date a text stands for (spaces around it ignored), or nothing.
    std::optional<Date> read(std::string_view text) const;

    const std::string& pattern() const { return pattern_; }
    // True for a character this format writes between its numbers.
    bool is_separator(char c) const;

  private:
    enum class Field { day, month, year };
    struct Token {
        std::optional<Field> field; // a number; else the literal character
        int letters = 0;
        char literal = 0;
    };
    std::string pattern_;
    std::vector<Token> tokens_;
};

// The formats of the regional settings a journal is kept under: French dd/MM/yyyy, German
// dd.MM.yyyy and ISO yyyy-MM-dd, in that order.
std::vector<DateFormat> default_date_formats();

// The date a text stands for in the first of `formats` that reads it, or nothing.
std::optional<Date> read_date(std::string_view text, const std::vector<DateFormat>& formats);

} // namespace marivent
