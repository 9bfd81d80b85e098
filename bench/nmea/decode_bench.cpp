// Lines decoded per second in process, through the decoder the window uses, each line handed over
// as the serial link does: the 10 Hz passage of passage_stream.h (every line sound, the route
// followed: an autopilot sentence per line) and the recorded logs of tests/data/nmea. A figure,
// not a test: it never fails on time.
//   nmea_decode_bench [LOG_DIR]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "common/number_text.h"
#include "nmea/decoder.h"
#include "nmea/null_display.h"
#include "passage_stream.h"

namespace {

using clock_type = std::chrono::steady_clock;

double seconds_since(clock_type::time_point start) {
    return std::chrono::duration<double>(clock_type::now() - start).count();
}

void say(const std::string& s) {
    std::fputs(s.c_str(), stdout);
}

} // namespace

int main(int argc, char** argv) {
    using marivent::fixed_text;
    using marivent::integer_text;

    // The passage: 300,000 lines, decoded several times over; the best run counts.
    std::vector<std::string> passage_lines;
    passage::Passage p(passage::sys_days{passage::year{2026} / 6 / 7} + passage::hours{20});
    while (p.fixes() < 60000)
        for (const std::string& line : p.next().lines)
            passage_lines.push_back(line.substr(0, line.size() - 2)); // without CR LF
    double best = 1e9;
    std::size_t apa_bytes = 0;
    for (int run = 0; run < 7; ++run) {
        marivent::nmea::NullDisplay display;
        marivent::nmea::Navigation nav;
        const marivent::nmea::DecodeContext context{display, ',', "", nullptr, false};
        apa_bytes = 0;
        const auto start = clock_type::now();
        for (const std::string& l : passage_lines) {
            // As the serial link hands it over: the previous line's LF, the line, then CR.
            nav.trame.assign(1, '\n');
            nav.trame += l;
            apa_bytes += marivent::nmea::decodenmea(nav, context).apa.size();
        }
        best = std::min(best, seconds_since(start));
    }
    const double passage_rate = static_cast<double>(passage_lines.size()) / best / 1e6;
    say("passage, " + integer_text(static_cast<long long>(passage_lines.size())) + " lines in " +
        fixed_text(best * 1000, 2) + " ms (best of 7): " + fixed_text(passage_rate, 2) +
        " million lines/s (" + integer_text(static_cast<long long>(apa_bytes)) + " APA bytes)\n");

    // The recorded logs, line by line into decodenmea.
    const std::filesystem::path dir = argc > 1 ? argv[1] : "tests/data/nmea";
    std::vector<std::string> logged;
    std::error_code error;
    for (const auto& e : std::filesystem::directory_iterator(dir, error)) {
        std::ifstream in(e.path(), std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        std::string cur;
        for (char c : s.str()) {
            if (c == '\r' || c == '\n') {
                if (!cur.empty()) logged.push_back(cur);
                cur.clear();
            } else {
                cur += c;
            }
        }
    }
    double log_rate = 0;
    if (!logged.empty()) {
        marivent::nmea::NullDisplay display;
        marivent::nmea::Navigation nav;
        const marivent::nmea::DecodeContext context{display, ',', "", nullptr, false};
        const std::size_t target = 4'000'000;
        std::size_t decoded = 0, apa = 0;
        const auto start = clock_type::now();
        while (decoded < target) {
            for (const std::string& l : logged) {
                // As the serial link hands it over: the previous line's LF, the line, then CR.
                nav.trame.assign(1, '\n');
                nav.trame += l;
                apa += marivent::nmea::decodenmea(nav, context).apa.size();
                ++decoded;
            }
        }
        const double seconds = seconds_since(start);
        log_rate = static_cast<double>(decoded) / seconds / 1e6;
        say("recorded logs, " + integer_text(static_cast<long long>(decoded)) + " lines in " +
            fixed_text(seconds, 3) + " s: " + fixed_text(log_rate, 2) + " million lines/s (" +
            integer_text(static_cast<long long>(apa)) + " APA bytes)\n");
    } else {
        say("no log in " + dir.string() + "\n");
    }
    say("figure decoder_passage_mlines " + fixed_text(passage_rate, 3) + "\n");
    say("figure decoder_logs_mlines " + fixed_text(log_rate, 3) + "\n");
    return 0;
}
