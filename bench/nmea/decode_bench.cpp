// Lines decoded per second over the recorded logs, repeated to a few million lines. A figure, not
// a test: it never fails on time.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "nmea/decoder.h"
#include "nmea/null_display.h"

int main(int argc, char** argv) {
    const std::filesystem::path dir = argc > 1 ? argv[1] : "tests/data/nmea";
    std::vector<std::string> lines;
    for (const auto& e : std::filesystem::directory_iterator(dir)) {
        std::ifstream in(e.path(), std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        std::string cur;
        for (char c : s.str()) {
            if (c == '\r' || c == '\n') {
                if (!cur.empty()) lines.push_back(cur);
                cur.clear();
            } else {
                cur += c;
            }
        }
    }
    if (lines.empty()) {
        std::fprintf(stderr, "no log in %s\n", dir.c_str());
        return 1;
    }
    marivent::nmea::NullDisplay display;
    marivent::nmea::Navigation nav;
    const marivent::nmea::DecodeContext context{display, ',', "", nullptr, false};
    const std::size_t target = 4'000'000;
    std::size_t decoded = 0, apa = 0;
    const auto start = std::chrono::steady_clock::now();
    while (decoded < target) {
        for (const std::string& l : lines) {
            // As the serial link hands it over: the previous line's LF, the line, then CR.
            nav.trame.assign(1, '\n');
            nav.trame += l;
            apa += marivent::nmea::decodenmea(nav, context).apa.size();
            ++decoded;
        }
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("decoder: %zu lines in %.3f s: %.2f million lines/s (%zu APA bytes)\n", decoded,
                seconds, static_cast<double>(decoded) / seconds / 1e6, apa);
    return 0;
}
