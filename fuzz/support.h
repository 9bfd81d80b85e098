// What every fuzz target shares: the invariant check, the French C locale, a temporary folder.
#pragma once
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string_view>

namespace marivent::fuzz {

// Prints the failed condition and aborts, which libFuzzer and CTest both report as a failure.
[[noreturn]] void fail(const char* file, int line, const char* condition);

// Takes the C library's locale from the environment, as Qt does in the window, so the code runs
// under the regional settings the tests and `make fuzz` set (French). Done once per process; a
// locale that is not installed is said once on the standard error.
void environment_locale();

// A folder made once per process under the system's temporary folder, removed at exit.
const std::filesystem::path& temp_dir();

// The input as text.
inline std::string_view text(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

} // namespace marivent::fuzz

#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) ::marivent::fuzz::fail(__FILE__, __LINE__, #condition);                  \
    } while (0)

// The entry point libFuzzer calls, and replay_main.cpp in the ordinary build.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);
