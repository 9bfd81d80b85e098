// The numeric value of a text and the display patterns. Any text has a finite value; any double
// formats to a sign, digits and one separator; a finite value below 1e15 in magnitude reads back
// within the rounding of the pattern's decimals. The first 8 bytes are also taken as a double, for
// values no text gives (infinities, NaN, subnormals).
#include <cmath>
#include <cstring>
#include <string>

#include "common/format.h"
#include "common/value.h"
#include "support.h"

namespace {

using namespace marivent;

struct Pattern {
    std::string_view text;
    int decimals;
    int min_int_digits;
    int min_decimals;
};
constexpr Pattern patterns[] = {{"###.#", 1, 0, 0}, {"##00.000000", 6, 2, 6}, {"#00.00", 2, 2, 2}};

void check_format(double value) {
    for (const Pattern& p : patterns) {
        const std::string point = format_number(value, p.text, '.');
        const std::string comma = format_number(value, p.text, ',');
        std::string expected = point;
        for (char& c : expected)
            if (c == '.') c = ',';
        FUZZ_CHECK(comma == expected);

        std::size_t i = !point.empty() && point[0] == '-' ? 1 : 0;
        const std::size_t dot = point.find('.');
        FUZZ_CHECK(dot != std::string::npos && dot >= i);
        FUZZ_CHECK(point.find('.', dot + 1) == std::string::npos);
        FUZZ_CHECK(static_cast<int>(dot - i) >= p.min_int_digits);
        const int decimals = static_cast<int>(point.size() - dot - 1);
        FUZZ_CHECK(decimals >= p.min_decimals && decimals <= p.decimals);
        for (; i < point.size(); ++i)
            FUZZ_CHECK(i == dot || (point[i] >= '0' && point[i] <= '9'));

        if (std::isfinite(value) && std::fabs(value) < 1e15) {
            const double back = numeric_value(point);
            // Half a unit of the last decimal, plus the 15 significant digits the rounding
            // starts from.
            const double tolerance =
                0.5 * std::pow(10.0, -p.decimals) * (1 + 1e-9) + std::fabs(value) * 1e-14 + 1e-300;
            FUZZ_CHECK(std::fabs(back - value) <= tolerance);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    marivent::fuzz::environment_locale();
    const std::string_view input = marivent::fuzz::text(data, size);
    const double value = numeric_value(input);
    FUZZ_CHECK(std::isfinite(value));
    check_format(value);
    if (size >= sizeof(double)) {
        double raw;
        std::memcpy(&raw, data, sizeof raw);
        check_format(raw);
    }
    const std::string text = format_text(input, "@@@");
    FUZZ_CHECK(text.size() == std::max<std::size_t>(input.size(), 3));
    FUZZ_CHECK(text.compare(text.size() - input.size(), input.size(), input) == 0);
    return 0;
}
