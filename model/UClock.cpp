#include "model/UClock.h"

#include <ctime>
#include <sys/time.h>

namespace lvk {

namespace {
std::function<double()>& Override() {
  static std::function<double()> F;
  return F;
}

// Days from 1899-12-30 to 1970-01-01.
constexpr double UnixEpochDays = 25569.0;
}  // namespace

double SystemNow() {
  timeval Tv{};
  gettimeofday(&Tv, nullptr);
  // Local time: shift UTC seconds by the zone's offset of this moment. The
  // offset is asked for once a minute: a load touches the document thousands
  // of times, and zones change their offset only on whole minutes.
  static thread_local std::time_t CachedMinute = -1;
  static thread_local long CachedOffset = 0;
  if (Tv.tv_sec / 60 != CachedMinute) {
    std::time_t T = Tv.tv_sec;
    std::tm Local{};
    localtime_r(&T, &Local);
    CachedMinute = Tv.tv_sec / 60;
    CachedOffset = Local.tm_gmtoff;
  }
  double Seconds = static_cast<double>(Tv.tv_sec) + CachedOffset + Tv.tv_usec / 1e6;
  return UnixEpochDays + Seconds / 86400.0;
}

double Now() {
  auto& F = Override();
  return F ? F() : SystemNow();
}

void SetClock(std::function<double()> Clock) { Override() = std::move(Clock); }

}  // namespace lvk
