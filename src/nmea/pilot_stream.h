// The stream of marivent-pilot: NMEA text in, the autopilot sentences out, through the decoder of
// the window. Lines end as common/lines.h cuts a text (CR LF, LF or a CR alone), cut here as the
// bytes arrive, so a line may continue in the next read; each reaches the decoder as the GPS
// sends it: its characters, CR, then LF.
#pragma once
#include <string>
#include <string_view>
#include <utility>

#include "nmea/decoder.h"
#include "nmea/null_display.h"

namespace marivent::nmea {

class PilotStream {
  public:
    explicit PilotStream(bool all_talkers, PilotChoice choice = {})
        : context_{display_, ',', "", nullptr, all_talkers, &choice_}, choice_(std::move(choice)) {}

    // Takes the next received bytes (a line may continue in the next call) and appends to `out`
    // what goes to the autopilot for each line (see DecodeResult::apa).
    void feed(std::string_view data, std::string& out);
    // The end of the input: a last line without its ending is decoded.
    void finish(std::string& out);

    const Navigation& nav() const { return nav_; }
    // The RMB whose set went without a sentence, and why the last one did (French).
    long refused() const { return refused_; }
    const std::string& refused_why() const { return refused_why_; }

  private:
    void end_line(std::string& out);

    NullDisplay display_;
    Navigation nav_;
    DecodeContext context_;
    PilotChoice choice_;
    long refused_ = 0;
    std::string refused_why_;
    bool after_cr_ = false; // the last byte was a CR: an LF right after it ends nothing
    bool in_line_ = false;  // characters since the last line ending
};

} // namespace marivent::nmea
