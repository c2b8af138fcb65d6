#pragma once
// Message formatting with the patterns the program's texts are written in:
// %s, %d, %x (upper-case digits), with optional width and precision
// ("%2d", "%.2d", "%.2x", "%.d"), and "%%".
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace lvk {

using TFormatArg = std::variant<std::int64_t, std::string>;

std::string FormatV(const std::string& Pattern, const std::vector<TFormatArg>& Args);

namespace detail {
inline TFormatArg ToArg(const std::string& S) { return S; }
inline TFormatArg ToArg(const char* S) { return std::string(S); }
template <typename T>
  requires std::is_integral_v<T>
TFormatArg ToArg(T V) { return static_cast<std::int64_t>(V); }
}  // namespace detail

template <typename... Args>
std::string Format(const std::string& Pattern, const Args&... A) {
  return FormatV(Pattern, {detail::ToArg(A)...});
}

}  // namespace lvk
