#pragma once
// The generated C file as it is written: text goes in as the model's UTF-8
// and leaves as 8-bit Windows-1252 with CR LF line ends. Text is gathered in
// memory and handed to the stream in large pieces; Flush writes what is left.
#include <string>
#include <string_view>

namespace lvk {

class TStream;

// Windows-1252 bytes of UTF-8 text; a character the code page cannot hold,
// and each byte of a malformed sequence, becomes "?".
std::string Utf8ToCp1252(std::string_view Text);

class TSourceWriter {
public:
  explicit TSourceWriter(TStream& Stream) : FStream(Stream) {}
  TSourceWriter(const TSourceWriter&) = delete;
  TSourceWriter& operator=(const TSourceWriter&) = delete;

  // Part of the current line.
  void Add(std::string_view Text);
  void EndLine();
  void Line(std::string_view Text) {
    Add(Text);
    EndLine();
  }
  // Writes everything gathered so far; EFileError when the stream fails.
  void Flush();

private:
  TStream& FStream;
  std::string FPending;
};

}  // namespace lvk
