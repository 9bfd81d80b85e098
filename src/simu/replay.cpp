#include "simu/replay.h"

namespace marivent::simu {

std::vector<std::string> simulation_lines(std::string_view bytes, std::size_t limit) {
    std::vector<std::string> lines;
    std::size_t i = 0;
    while (i < bytes.size() && lines.size() < limit) {
        std::size_t end = i;
        while (end < bytes.size() && bytes[end] != '\r' && bytes[end] != '\n') ++end;
        lines.emplace_back(bytes.substr(i, end - i));
        if (end < bytes.size() && bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n')
            ++end;
        i = end + 1;
    }
    return lines;
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
