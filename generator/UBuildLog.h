#pragma once
// Where the generator and the build driver report what they do. The log owns
// the wording of its composite lines and the error count; whoever shows the
// log (the build window, a test, the command line) only supplies the three
// primitive outputs: a log line, the status field and a modal notice.
#include <string>
#include <vector>

namespace lvk {

// Local date and time (days since 1899-12-30) in the user's short date and
// long time format, one space between: the LC_TIME locale's %x and %X.
std::string DateTimeText(double Days);

class TBuildLog {
public:
  virtual ~TBuildLog() = default;

  // Supplied by the implementation.
  // Appends Text as a new line; an empty text is an empty line.
  virtual void LogLine(const std::string& Text) = 0;
  // Shows Text as the build's status; not a log line by itself.
  virtual void SetStatus(const std::string& Text) = 0;
  // A message the user must acknowledge before the build goes on. Neither an
  // error nor a warning.
  virtual void ShowNotice(const std::string& Text) = 0;

  // Built here on the primitives, so every log words them alike.
  // "ERROR: " and Text as a line, and one more error.
  void LogError(const std::string& Text);
  // The status, and Text with the current date and time in brackets as a line.
  void LogStep(const std::string& Text);
  // The status, and Text as a line.
  void LogStatus(const std::string& Text);

  int ErrorCount() const { return FErrorCount; }
  void ResetErrorCount() { FErrorCount = 0; }

private:
  int FErrorCount = 0;
};

// A log kept in memory, for tests and the command line. Notices are recorded,
// never waited for.
class TTextBuildLog : public TBuildLog {
public:
  void LogLine(const std::string& Text) override { FLines.push_back(Text); }
  void SetStatus(const std::string& Text) override { FStatus = Text; }
  void ShowNotice(const std::string& Text) override { FNotices.push_back(Text); }

  const std::vector<std::string>& Lines() const { return FLines; }
  const std::vector<std::string>& Notices() const { return FNotices; }
  const std::string& Status() const { return FStatus; }

private:
  std::vector<std::string> FLines;
  std::vector<std::string> FNotices;
  std::string FStatus;
};

}  // namespace lvk
