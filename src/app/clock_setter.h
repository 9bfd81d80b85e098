// Sets the computer clock's time of day, keeping the date.
#pragma once
#include "common/seams.h"

namespace marivent::app {

class SystemClockSetter : public ClockSetter {
  public:
    Status set_time_of_day(int hour, int minute, int second) override;
};

} // namespace marivent::app
