#include "fakes.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <unistd.h>

namespace marivent::testing {

std::string FrenchRegional::short_date(const Date& d) const {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d/%02d/%04d", d.day, d.month, d.year);
    return buf;
}

std::optional<Date> FrenchRegional::parse_short_date(std::string_view text) const {
    int day = 0, month = 0, year = 0;
    char tail = 0;
    const std::string s(text);
    if (std::sscanf(s.c_str(), "%d/%d/%d%c", &day, &month, &year, &tail) != 3) return std::nullopt;
    const Date d{year, month, day};
    if (!is_valid_date(d)) return std::nullopt;
    return d;
}

std::string GermanRegional::short_date(const Date& d) const {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d.%02d.%04d", d.day, d.month, d.year);
    return buf;
}

std::optional<Date> GermanRegional::parse_short_date(std::string_view text) const {
    int day = 0, month = 0, year = 0;
    char tail = 0;
    const std::string s(text);
    if (std::sscanf(s.c_str(), "%d.%d.%d%c", &day, &month, &year, &tail) != 3) return std::nullopt;
    const Date d{year, month, day};
    if (!is_valid_date(d)) return std::nullopt;
    return d;
}

void ScriptedDialogs::message(std::string_view text, std::string_view title) {
    messages.push_back({std::string(text), std::string(title), {}});
}

bool ScriptedDialogs::ask_yes_no(std::string_view text, std::string_view title,
                                 std::string_view detail) {
    questions.push_back({std::string(text), std::string(title), std::string(detail)});
    if (answers.empty()) return false;
    const bool a = answers.front();
    answers.pop_front();
    return a;
}

std::string MapDisplay::text(Box box) const {
    const auto it = boxes.find(box);
    return it == boxes.end() ? std::string() : it->second;
}

TempRoot::TempRoot() {
#ifdef _WIN32
    // No mkdtemp: a new name until one is free (create_directory fails on an existing one).
    std::random_device seed;
    std::error_code ec;
    for (int tries = 0; tries < 100; ++tries) {
        const auto name = "marivent-test-" + std::to_string(seed());
        path_ = std::filesystem::temp_directory_path() / name;
        if (std::filesystem::create_directory(path_, ec)) return;
    }
    std::abort();
#else
    std::string pattern =
        (std::filesystem::temp_directory_path() / "marivent-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) std::abort();
    path_ = pattern;
#endif
}

TempRoot::~TempRoot() {
    std::error_code ec;
    // Give back write rights that a test took away, so everything can be removed.
    for (auto it = std::filesystem::recursive_directory_iterator(path_, ec);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ec))
        std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(path_, ec);
}

std::string read_bytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void write_bytes(const std::filesystem::path& file, const std::string& bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::filesystem::path testdata_dir() {
    return std::filesystem::path(MARIVENT_SOURCE_DIR) / "tests" / "data";
}

} // namespace marivent::testing
