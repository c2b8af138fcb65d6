#pragma once
// Conversions between the model's UTF-8 text and the 8-bit and 16-bit forms
// found in project files.
#include <cstddef>
#include <cstdint>
#include <string>

namespace lvk {

// True when every byte is 7-bit ASCII.
bool IsAscii(const std::string& S);

// Bytes in Windows-1252 to UTF-8. The five code points 1252 leaves undefined
// map to the C1 controls of the same value, as the platform's converter does.
std::string Cp1252ToUtf8(const std::uint8_t* Bytes, std::size_t Count);

// UTF-16 little-endian code units to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string Utf16LeToUtf8(const std::uint8_t* Bytes, std::size_t Units);

// UTF-8 as read from a file, with every malformed sequence replaced by U+FFFD.
std::string SanitizeUtf8(const std::uint8_t* Bytes, std::size_t Count);

// Appends the UTF-8 form of a code point.
void AppendUtf8(std::string& Out, std::uint32_t CodePoint);

// Case-insensitive comparison over ASCII letters only.
bool SameTextAscii(const std::string& A, const std::string& B);

}  // namespace lvk
