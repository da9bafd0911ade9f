#include "core/errors.h"

#include "core/text_codec.h"

namespace vl {

EVantriError::EVantriError(std::wstring message)
    : message_(std::move(message)), utf8_(WideToUtf8(message_)) {}

std::wstring ErrorReportText(std::wstring_view message) {
  std::wstring text(message);
  if (!text.empty() && text.back() > L'.') text += L'.';
  return text;
}

}  // namespace vl
