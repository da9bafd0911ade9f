// The platform-free conversions: UTF-16LE and UTF-8, for both widths of wchar_t.
#include "core/text_codec.h"

namespace vl {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Appends one code point to wide text: a surrogate pair where wchar_t is 16 bits.
void AppendCodePoint(std::wstring& out, char32_t cp) {
  if constexpr (sizeof(wchar_t) == 2) {
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out.push_back(static_cast<wchar_t>(0xD800 + (cp >> 10)));
      out.push_back(static_cast<wchar_t>(0xDC00 + (cp & 0x3FF)));
      return;
    }
  }
  out.push_back(static_cast<wchar_t>(cp));
}

// Reads one code point of wide text at i and advances i past it.
char32_t NextCodePoint(std::wstring_view text, std::size_t& i) {
  char32_t c = static_cast<char32_t>(text[i++]);
  if constexpr (sizeof(wchar_t) == 2) {
    if (c >= 0xD800 && c < 0xDC00 && i < text.size()) {
      char32_t low = static_cast<char32_t>(text[i]);
      if (low >= 0xDC00 && low < 0xE000) {
        ++i;
        return 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
      }
    }
  }
  return c;
}

}  // namespace

AnsiCharSize AnsiSizeAt(std::wstring_view text, std::size_t i) {
  std::size_t end = i;
  char32_t cp = NextCodePoint(text, end);
  std::size_t units = end - i;
  if (cp < 0x80) return {1, units};
  std::wstring one(text.substr(i, units));
  auto ansi = WideToAnsi(one);
  return {ansi ? ansi->size() : 2, units};
}

std::wstring Utf16LeToWide(std::string_view bytes) {
  std::wstring out;
  out.reserve(bytes.size() / 2);
  std::size_t n = bytes.size() / 2;
  for (std::size_t k = 0; k < n; ++k) {
    char32_t u = static_cast<unsigned char>(bytes[2 * k]) |
                 (static_cast<char32_t>(static_cast<unsigned char>(bytes[2 * k + 1])) << 8);
    if constexpr (sizeof(wchar_t) == 2) {
      out.push_back(static_cast<wchar_t>(u));
    } else {
      // Join surrogate pairs into one code point where wchar_t holds 32 bits.
      if (u >= 0xD800 && u < 0xDC00 && k + 1 < n) {
        char32_t low = static_cast<unsigned char>(bytes[2 * k + 2]) |
                       (static_cast<char32_t>(static_cast<unsigned char>(bytes[2 * k + 3])) << 8);
        if (low >= 0xDC00 && low < 0xE000) {
          out.push_back(static_cast<wchar_t>(0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00)));
          ++k;
          continue;
        }
      }
      out.push_back(static_cast<wchar_t>(u));
    }
  }
  return out;
}

std::string WideToUtf16Le(std::wstring_view text) {
  std::string out;
  out.reserve(text.size() * 2);
  auto put = [&out](char32_t u) {
    out.push_back(static_cast<char>(u & 0xFF));
    out.push_back(static_cast<char>((u >> 8) & 0xFF));
  };
  for (std::size_t i = 0; i < text.size();) {
    char32_t cp = NextCodePoint(text, i);
    if (cp >= 0x10000 && cp <= 0x10FFFF) {
      cp -= 0x10000;
      put(0xD800 + (cp >> 10));
      put(0xDC00 + (cp & 0x3FF));
    } else {
      put(cp > 0x10FFFF ? kReplacement : cp);
    }
  }
  return out;
}

std::wstring Utf8ToWide(std::string_view bytes) {
  std::wstring out;
  out.reserve(bytes.size());
  std::size_t i = 0;
  while (i < bytes.size()) {
    unsigned char b = static_cast<unsigned char>(bytes[i]);
    if (b < 0x80) {
      out.push_back(static_cast<wchar_t>(b));
      ++i;
      continue;
    }
    int extra = (b >> 5) == 0x6 ? 1 : (b >> 4) == 0xE ? 2 : (b >> 3) == 0x1E ? 3 : -1;
    if (extra < 0 || i + static_cast<std::size_t>(extra) >= bytes.size()) {
      AppendCodePoint(out, kReplacement);
      ++i;
      continue;
    }
    char32_t cp = extra == 1 ? (b & 0x1F) : extra == 2 ? (b & 0x0F) : (b & 0x07);
    bool ok = true;
    for (int k = 1; k <= extra; ++k) {
      unsigned char c = static_cast<unsigned char>(bytes[i + static_cast<std::size_t>(k)]);
      if ((c & 0xC0) != 0x80) {
        ok = false;
        break;
      }
      cp = (cp << 6) | (c & 0x3F);
    }
    static constexpr char32_t kMin[] = {0, 0x80, 0x800, 0x10000};
    if (!ok || cp < kMin[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp < 0xE000)) {
      AppendCodePoint(out, kReplacement);
      ++i;
      continue;
    }
    AppendCodePoint(out, cp);
    i += static_cast<std::size_t>(extra) + 1;
  }
  return out;
}

std::string WideToUtf8(std::wstring_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    char32_t cp = NextCodePoint(text, i);
    if ((cp >= 0xD800 && cp < 0xE000) || cp > 0x10FFFF) cp = kReplacement;
    if (cp < 0x80) {
      out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
  }
  return out;
}

}  // namespace vl
