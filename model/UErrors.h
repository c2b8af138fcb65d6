#pragma once
// The model's exception classes.
//
// EGame carries a message for the user. EReadError is the value reader's own
// failure; only TGame::LoadFromFile turns it into the user's read-error text, so
// its wording never reaches anybody. EFileError is the platform's failure to open,
// create or write a file. EAssertionFailed marks a broken precondition, a
// programming error rather than a user error.
#include <stdexcept>
#include <string>

namespace lvk {

class EGame : public std::runtime_error {
public:
  explicit EGame(const std::string& Message) : std::runtime_error(Message) {}
};

class EReadError : public std::runtime_error {
public:
  explicit EReadError(const std::string& Why) : std::runtime_error(Why) {}
};

class EFileError : public std::runtime_error {
public:
  explicit EFileError(const std::string& Message) : std::runtime_error(Message) {}
};

class EAssertionFailed : public std::logic_error {
public:
  explicit EAssertionFailed(const std::string& Unit);
};

// Throws EAssertionFailed naming the source unit when Condition is false.
inline void Assert(bool Condition, const char* Unit) {
  if (!Condition) throw EAssertionFailed(Unit);
}

}  // namespace lvk
