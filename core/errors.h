// The program's own error model: exceptions carrying a message for the user.
//
// Handlers raise these; the application object catches them at the window-procedure
// boundary and shows the message in its error box (see ErrorReportText), and the
// program goes on.
#pragma once

#include <exception>
#include <string>
#include <string_view>

namespace vl {

class EVantriError : public std::exception {
 public:
  explicit EVantriError(std::wstring message);
  const std::wstring& Message() const noexcept { return message_; }
  const char* what() const noexcept override { return utf8_.c_str(); }

 private:
  std::wstring message_;
  std::string utf8_;
};

// The text the error box shows: the message, with "." appended when its last character
// comes after "." in code order (so "…ません" gets one, "…)." and "…!" do not).
std::wstring ErrorReportText(std::wstring_view message);

}  // namespace vl
