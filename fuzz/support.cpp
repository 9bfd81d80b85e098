#include "support.h"

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <system_error>
#include <unistd.h>

namespace marivent::fuzz {

void fail(const char* file, int line, const char* condition) {
    std::fprintf(stderr, "%s:%d: invariant failed: %s\n", file, line, condition);
    std::fflush(stderr);
    std::abort();
}

void environment_locale() {
    static const bool done = [] {
        if (!std::setlocale(LC_ALL, ""))
            std::fprintf(stderr,
                         "fuzz: the locale of the environment is not installed; running in C\n");
        return true;
    }();
    (void)done;
}

namespace {

std::filesystem::path folder;

void remove_folder() {
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
}

} // namespace

const std::filesystem::path& temp_dir() {
    if (folder.empty()) {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "marivent-fuzz-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) fail(__FILE__, __LINE__, "mkdtemp");
        folder = pattern;
        std::atexit(remove_folder);
    }
    return folder;
}

} // namespace marivent::fuzz
