// A display that shows nothing: for the command-line pilot and the benchmarks.
#pragma once
#include "common/seams.h"

namespace marivent::nmea {

class NullDisplay : public Display {
  public:
    void set_text(Box, std::string_view) override {}
    std::string text(Box) const override { return {}; }
    void set_speed_colour(long) override {}
};

} // namespace marivent::nmea
