// The SeaTalk capture decoding: one upper-case hexadecimal value and a space per 4-character
// piece; a piece that is a plain decimal number (leading blanks allowed) gives that number.
#include <cstdio>

#include "seatalk/capture.h"
#include "support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    marivent::fuzz::environment_locale();
    const std::string_view capture = marivent::fuzz::text(data, size);
    const std::string out = marivent::seatalk::decode_capture(capture);
    std::size_t at = 0;
    for (std::size_t piece = 0; piece < capture.size(); piece += 4) {
        const std::size_t space = out.find(' ', at);
        FUZZ_CHECK(space != std::string::npos && space > at && space - at <= 8);
        const std::string_view hex = std::string_view(out).substr(at, space - at);
        FUZZ_CHECK(hex.find_first_not_of("0123456789ABCDEF") == std::string_view::npos);
        const std::string_view p = capture.substr(piece, 4);
        const std::size_t first = p.find_first_not_of(' ');
        if (first != std::string_view::npos &&
            p.find_first_not_of("0123456789", first) == std::string_view::npos) {
            char expected[16];
            std::snprintf(expected, sizeof expected, "%X",
                          static_cast<unsigned>(std::stoul(std::string(p.substr(first)))));
            FUZZ_CHECK(hex == expected);
        }
        at = space + 1;
    }
    FUZZ_CHECK(at == out.size());
    return 0;
}
