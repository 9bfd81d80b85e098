// The regional settings a test program runs under: the environment's (make test sets French),
// or the one named by "--locale=NAME" (the German and C runs of the same tests).
#pragma once
#include <cstdlib>
#include <cstring>

namespace marivent::testing {

inline void take_locale_argument(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--locale=", 9) != 0) continue;
#ifdef _WIN32
        ::_putenv_s("LC_ALL", argv[i] + 9);
        ::_putenv_s("LANG", argv[i] + 9);
#else
        ::setenv("LC_ALL", argv[i] + 9, 1);
        ::setenv("LANG", argv[i] + 9, 1);
#endif
    }
}

} // namespace marivent::testing
