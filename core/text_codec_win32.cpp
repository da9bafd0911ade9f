// The ANSI code page conversions on Windows: the system's own code page.
#include <windows.h>

#include "core/text_codec.h"

namespace vl {

std::wstring AnsiToWide(std::string_view bytes) {
  if (bytes.empty()) return {};
  int size = static_cast<int>(bytes.size());
  int n = MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, nullptr, 0);
  std::wstring out(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, out.data(), n);
  return out;
}

std::optional<std::string> WideToAnsi(std::wstring_view text) {
  if (text.empty()) return std::string();
  int size = static_cast<int>(text.size());
  BOOL usedDefault = FALSE;
  int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), size, nullptr, 0,
                              nullptr, &usedDefault);
  if (n <= 0 || usedDefault) return std::nullopt;
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), size, out.data(), n, nullptr,
                      nullptr);
  // Some code pages map a character one way only; only an exact round trip counts.
  if (AnsiToWide(out) != text) return std::nullopt;
  return out;
}

bool IsAnsiLeadByte(unsigned char byte) { return IsDBCSLeadByte(byte) != FALSE; }

}  // namespace vl
