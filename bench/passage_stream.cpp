// Writes a 10 Hz passage (bench/passage_stream.h) on standard output, as the GPS sends it:
// GGA, RMC, RMB, GSA and GSV per fix, lines ending in CR LF, every line sound.
//   passage_stream [--fixes N]   (N fixes, 60,000 by default: 100 minutes, 300,000 lines)
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "passage_stream.h"

int main(int argc, char** argv) {
    long long fixes = 60000;
    for (int i = 1; i + 1 < argc; i += 2)
        if (std::strcmp(argv[i], "--fixes") == 0) fixes = std::atoll(argv[i + 1]);
    passage::Passage p(passage::sys_days{passage::year{2026} / 6 / 7} + passage::hours{20});
    std::string out;
    while (p.fixes() < fixes) {
        for (const std::string& line : p.next().lines)
            out += line;
        if (out.size() >= (1 << 16)) {
            std::fwrite(out.data(), 1, out.size(), stdout);
            out.clear();
        }
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}
