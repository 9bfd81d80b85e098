// Text cut into lines, the one rule of every reader of text files: a line ends at CR LF, at LF or
// at a CR alone; the last line needs no ending, and an ending at the very end of the text begins
// no further line. "a\r\nb" and "a\nb\n" are two lines, "\n" one empty line, "" none.
#pragma once
#include <cstddef>
#include <cstring>
#include <limits>
#include <string_view>
#include <vector>

namespace marivent {

// What a CR that no LF follows is. The journal's export keeps it in the line's text (only LF
// ends a line there, a CR just before it or at the very end of the text going with the ending):
// so its tables, tracks and the line numbers it reports stay those it has always given. Every
// other reader ends the line there.
enum class LoneCr { ends_line, kept };

// The lines of a text one after the other, without their endings. The next CR and the next LF
// are each looked for once and kept until passed, so a text is read in one pass whichever endings
// it has.
class LineCursor {
  public:
    explicit LineCursor(std::string_view text, LoneCr lone_cr = LoneCr::ends_line)
        : at_(text.data()), end_(text.data() + text.size()), lone_cr_(lone_cr),
          cr_(lone_cr == LoneCr::ends_line ? find('\r') : end_), lf_(find('\n')) {}

    // The next line; false once the text is read to its end.
    bool next(std::string_view& line) {
        if (at_ == end_) return false;
        if (lf_ < at_) lf_ = find('\n');
        if (lone_cr_ == LoneCr::kept) {
            line = std::string_view(at_, static_cast<std::size_t>(lf_ - at_));
            if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
            at_ = lf_ == end_ ? end_ : lf_ + 1;
            return true;
        }
        if (cr_ < at_) cr_ = find('\r');
        const char* stop = cr_ < lf_ ? cr_ : lf_;
        line = std::string_view(at_, static_cast<std::size_t>(stop - at_));
        at_ = stop == end_ ? end_ : stop + 1;
        if (stop == cr_ && at_ != end_ && *at_ == '\n') ++at_; // the LF of CR LF
        return true;
    }

  private:
    const char* find(char c) const {
        if (at_ == end_) return end_;
        const void* p = std::memchr(at_, c, static_cast<std::size_t>(end_ - at_));
        return p ? static_cast<const char*>(p) : end_;
    }

    const char* at_;
    const char* end_;
    LoneCr lone_cr_;
    const char* cr_; // the first CR at or after the line before, or end_ when there is none
    const char* lf_; // the same for LF
};

// The lines of a text, in order, at most `most` of them.
std::vector<std::string_view>
split_lines(std::string_view text, std::size_t most = std::numeric_limits<std::size_t>::max());

} // namespace marivent
