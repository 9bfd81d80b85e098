#include "nmea/pilot_stream.h"

#include <cstring>
#include <utility>

namespace marivent::nmea {

void PilotStream::end_line(std::string& out) {
    if (auto r = receive_char(nav_, '\r', context_)) {
        out += r->apa;
        if (r->pilot_refused) {
            ++refused_;
            refused_why_ = std::move(*r->pilot_refused);
        }
    }
    receive_char(nav_, '\n', context_);
}

void PilotStream::feed(std::string_view data, std::string& out) {
    const char* p = data.data();
    const char* const end = p + data.size();
    while (p < end) {
        if (after_cr_ && *p == '\n') { // the LF of CR LF
            after_cr_ = false;
            ++p;
            continue;
        }
        // The run up to the next CR or LF goes into the line at once.
        const char* stop =
            static_cast<const char*>(std::memchr(p, '\r', static_cast<std::size_t>(end - p)));
        if (!stop) stop = end;
        if (const void* lf = std::memchr(p, '\n', static_cast<std::size_t>(stop - p)))
            stop = static_cast<const char*>(lf);
        if (stop > p) {
            append_to_line(nav_, std::string_view(p, static_cast<std::size_t>(stop - p)));
            in_line_ = true;
            after_cr_ = false;
        }
        if (stop == end) break;
        after_cr_ = *stop == '\r';
        end_line(out);
        in_line_ = false;
        p = stop + 1;
    }
}

void PilotStream::finish(std::string& out) {
    if (in_line_) end_line(out);
    in_line_ = false;
}

} // namespace marivent::nmea
