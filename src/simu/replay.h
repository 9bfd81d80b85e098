// The simulator's replay: the first 500 lines of the simulation file, one character per put,
// each line followed by CR and LF as two more puts.
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace marivent::simu {

inline constexpr std::size_t line_limit = 500;

// The lines of a text without their endings (split_lines of common/lines.h: CR LF, LF or CR), at
// most `limit` of them. A file of fewer lines gives what it has; a last line without an ending is
// a line.
std::vector<std::string> simulation_lines(std::string_view bytes, std::size_t limit = line_limit);

class Replay {
  public:
    explicit Replay(std::vector<std::string> lines) : lines_(std::move(lines)) {}
    // The next character to put, or nothing at the end.
    std::optional<char> next();
    bool done() const { return line_ >= lines_.size(); }
    // The line being sent (`bi`).
    const std::string& bi() const;

  private:
    std::vector<std::string> lines_;
    std::size_t line_ = 0;
    std::size_t at_ = 0; // position in the line; size() is CR, size() + 1 is LF
};

} // namespace marivent::simu
