#include "common/lines.h"

namespace marivent {

std::vector<std::string_view> split_lines(std::string_view text, std::size_t most) {
    std::vector<std::string_view> lines;
    LineCursor cursor(text);
    for (std::string_view line; lines.size() < most && cursor.next(line);)
        lines.push_back(line);
    return lines;
}

} // namespace marivent
