#include "simu/replay.h"

#include "common/lines.h"

namespace marivent::simu {

std::vector<std::string> simulation_lines(std::string_view bytes, std::size_t limit) {
    const std::vector<std::string_view> lines = split_lines(bytes, limit);
    return std::vector<std::string>(lines.begin(), lines.end());
}

std::optional<char> Replay::next() {
    if (done()) return std::nullopt;
    const std::string& line = lines_[line_];
    const std::size_t at = at_++;
    if (at < line.size()) return line[at];
    if (at == line.size()) return '\r';
    ++line_;
    at_ = 0;
    return '\n';
}

const std::string& Replay::bi() const {
    static const std::string none;
    return done() ? none : lines_[line_];
}

} // namespace marivent::simu
