#pragma once
// Local date and time as days since 1899-12-30 00:00, the time of day as the
// fraction. Everything in the model that needs "now" asks here, so tests can
// set the clock.
#include <functional>

namespace lvk {

double Now();

// Replaces the clock; an empty function restores the system clock.
void SetClock(std::function<double()> Clock);

// The system's local time in the form above.
double SystemNow();

// Days from a count of minutes or seconds, for readable arithmetic.
constexpr double MinutesToDays(double Minutes) { return Minutes / 1440.0; }
constexpr double SecondsToDays(double Seconds) { return Seconds / 86400.0; }

}  // namespace lvk
