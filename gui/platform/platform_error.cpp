#include "gui/platform/platform_error.h"

#include "core/errors.h"
#include "core/number_text.h"

namespace vl {

std::wstring SystemErrorText(DWORD code) {
  wchar_t* buffer = nullptr;
  DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                               FORMAT_MESSAGE_IGNORE_INSERTS,
                           nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::wstring text = n && buffer ? std::wstring(buffer, n) : L"error " + DecimalText(code);
  LocalFree(buffer);
  while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' '))
    text.pop_back();
  return text;
}

void ThrowLastError(std::wstring_view what) {
  DWORD code = GetLastError();
  throw EVantriError(std::wstring(what) + L": " + SystemErrorText(code));
}

}  // namespace vl
