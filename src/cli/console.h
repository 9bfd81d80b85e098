// Standard streams as the programs need them on every system.
#pragma once
#include <string>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#include <windows.h>
#endif

namespace marivent::cli {

// On Windows the C run-time's streams are in text mode: it would turn each LF written into CR LF
// (an NMEA sentence's CR LF into CR CR LF), and stop reading at a Ctrl-Z. Binary mode gives the
// bytes as they are, as on Linux. The messages are UTF-8: a console is told so, or it would show
// them in its OEM code page.
inline void bytes_as_they_are() {
#ifdef _WIN32
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    SetConsoleOutputCP(CP_UTF8);
#endif
}

// The arguments as UTF-8. On Windows main's argv is in the ANSI code page, which loses any
// character of a file name it lacks ("Œil.rte", a Greek or Polish name): the wide command line is
// read instead.
inline std::vector<std::string> utf8_arguments(int argc, char** argv) {
    std::vector<std::string> out;
#ifdef _WIN32
    int n = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &n);
    if (wide && n == argc) {
        for (int i = 0; i < n; ++i) {
            const int size =
                WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, nullptr, 0, nullptr, nullptr);
            std::string a(size > 0 ? static_cast<std::size_t>(size - 1) : 0, '\0');
            if (size > 1)
                WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, a.data(), size, nullptr, nullptr);
            out.push_back(std::move(a));
        }
        LocalFree(wide);
        return out;
    }
    if (wide) LocalFree(wide);
#endif
    out.assign(argv, argv + argc);
    return out;
}

} // namespace marivent::cli
