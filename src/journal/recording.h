// When the journal timer asks for an entry.
#pragma once

namespace marivent::journal {

// The minute tick: when the count equals the interval (numeric equality) it is time for an
// attempt and the count restarts at 0; then the count goes up by one. Returns true for an attempt.
// With an interval of N the attempts come at ticks 1, N + 1, 2N + 1, ...; an interval lowered
// below the count is never met again in this run.
bool timer_tick(double& compteur, double intervalle);

} // namespace marivent::journal
