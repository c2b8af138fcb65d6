#include "generator/UBuildLog.h"

#include <cmath>
#include <cstdint>
#include <ctime>

#include "model/UClock.h"

namespace lvk {

namespace {

constexpr std::int64_t SecondsPerDay = 86400;
// Days from 1899-12-30 to 1970-01-01.
constexpr std::int64_t UnixEpochDays = 25569;

// The proleptic Gregorian date of a count of days since 1970-01-01.
void CivilFromDays(std::int64_t Days, std::tm& Out) {
  Days += 719468;
  std::int64_t Era = (Days >= 0 ? Days : Days - 146096) / 146097;
  std::int64_t DayOfEra = Days - Era * 146097;
  std::int64_t YearOfEra = (DayOfEra - DayOfEra / 1460 + DayOfEra / 36524 - DayOfEra / 146096) / 365;
  std::int64_t DayOfYear = DayOfEra - (365 * YearOfEra + YearOfEra / 4 - YearOfEra / 100);
  std::int64_t MonthIndex = (5 * DayOfYear + 2) / 153;
  std::int64_t Month = MonthIndex < 10 ? MonthIndex + 3 : MonthIndex - 9;
  Out.tm_mday = static_cast<int>(DayOfYear - (153 * MonthIndex + 2) / 5 + 1);
  Out.tm_mon = static_cast<int>(Month - 1);
  Out.tm_year = static_cast<int>(YearOfEra + Era * 400 + (Month <= 2 ? 1 : 0) - 1900);
}

}  // namespace

std::string DateTimeText(double Days) {
  // Whole seconds, so 23:59:59.7 does not show as 24:00:00 of the same day.
  double Total = std::floor(Days * SecondsPerDay + 0.5);
  if (!std::isfinite(Total) || std::fabs(Total) > 1e15) Total = 0;
  auto Seconds = static_cast<std::int64_t>(Total);
  std::int64_t Day = Seconds >= 0 ? Seconds / SecondsPerDay : (Seconds - SecondsPerDay + 1) / SecondsPerDay;
  std::int64_t OfDay = Seconds - Day * SecondsPerDay;
  std::tm When{};
  CivilFromDays(Day - UnixEpochDays, When);
  When.tm_hour = static_cast<int>(OfDay / 3600);
  When.tm_min = static_cast<int>(OfDay / 60 % 60);
  When.tm_sec = static_cast<int>(OfDay % 60);
  When.tm_isdst = -1;
  char Buffer[128];
  std::size_t Length = std::strftime(Buffer, sizeof Buffer, "%x %X", &When);
  return std::string(Buffer, Length);
}

void TBuildLog::LogError(const std::string& Text) {
  LogLine("ERROR: " + Text);
  ++FErrorCount;
}

void TBuildLog::LogStep(const std::string& Text) {
  SetStatus(Text);
  LogLine(Text + " [" + DateTimeText(Now()) + "]");
}

void TBuildLog::LogStatus(const std::string& Text) {
  SetStatus(Text);
  LogLine(Text);
}

}  // namespace lvk
