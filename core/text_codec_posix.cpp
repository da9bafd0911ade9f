// The ANSI code page conversions where the platform-free code is tested: code page 932
// through iconv, the code page of the systems the launcher is made for.
#include <iconv.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

#include "core/text_codec.h"

namespace vl {
namespace {

class Iconv {
 public:
  Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {
    if (cd_ == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv: no CP932");
  }
  ~Iconv() { iconv_close(cd_); }
  Iconv(const Iconv&) = delete;
  Iconv& operator=(const Iconv&) = delete;

  // Converts all of `in`; on a byte sequence that does not convert, calls onBad with the
  // remaining input and lets it say how many bytes to skip.
  template <class OnBad>
  std::string Run(std::string_view in, OnBad onBad) {
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    std::string out(in.size() * 4 + 16, '\0');
    char* src = const_cast<char*>(in.data());
    std::size_t srcLeft = in.size();
    char* dst = out.data();
    std::size_t dstLeft = out.size();
    while (srcLeft > 0) {
      if (iconv(cd_, &src, &srcLeft, &dst, &dstLeft) != static_cast<std::size_t>(-1)) break;
      if (errno == E2BIG) {
        std::size_t used = out.size() - dstLeft;
        out.resize(out.size() * 2);
        dst = out.data() + used;
        dstLeft = out.size() - used;
        continue;
      }
      std::size_t skip = onBad(std::string_view(src, srcLeft), dst, dstLeft);
      if (skip == 0) return {};
      src += skip;
      srcLeft -= skip;
    }
    out.resize(out.size() - dstLeft);
    return out;
  }

 private:
  iconv_t cd_;
};

}  // namespace

std::wstring AnsiToWide(std::string_view bytes) {
  static Iconv cv("WCHAR_T", "CP932");
  std::string raw = cv.Run(bytes, [](std::string_view, char*& dst, std::size_t& left) {
    // Code page 932's default character, as Windows puts it for a byte it cannot map.
    if (left >= sizeof(wchar_t)) {
      wchar_t dflt = 0x30FB;
      std::memcpy(dst, &dflt, sizeof dflt);
      dst += sizeof dflt;
      left -= sizeof dflt;
    }
    return std::size_t{1};
  });
  std::wstring out(raw.size() / sizeof(wchar_t), L'\0');
  std::memcpy(out.data(), raw.data(), out.size() * sizeof(wchar_t));
  return out;
}

std::optional<std::string> WideToAnsi(std::wstring_view text) {
  static Iconv cv("CP932", "WCHAR_T");
  bool bad = false;
  std::string_view in(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
  std::string out = cv.Run(in, [&bad](std::string_view, char*&, std::size_t&) {
    bad = true;
    return std::size_t{0};
  });
  if (bad) return std::nullopt;
  if (AnsiToWide(out) != text) return std::nullopt;
  return out;
}

bool IsAnsiLeadByte(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

}  // namespace vl
