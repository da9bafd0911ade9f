#include "core/path_text.h"

#include "core/text_codec.h"

namespace vl {
namespace {

#ifdef _WIN32
const PathString kSeparators = L"\\/";
#else
const PathString kSeparators = "/";
#endif

std::size_t FileNameStart(const PathString& path) {
  std::size_t sep = path.find_last_of(kSeparators);
  return sep == PathString::npos ? 0 : sep + 1;
}

}  // namespace

#ifdef _WIN32
std::wstring PathText(const PathString& path) { return path; }
#else
std::wstring PathText(const PathString& path) { return Utf8ToWide(path); }
#endif

PathString FileNameOf(const PathString& path) { return path.substr(FileNameStart(path)); }

PathString ReplaceExtension(const PathString& path, std::string_view extension) {
  const std::size_t start = FileNameStart(path);
  const std::size_t dot = path.rfind(PathString::value_type('.'));
  const bool dotsOnly = path.find_first_not_of(PathString::value_type('.'), start) == PathString::npos;
  const bool hasExtension = dot != PathString::npos && dot > start && !dotsOnly;
  PathString result = hasExtension ? path.substr(0, dot) : path;
  result.append(extension.begin(), extension.end());
  return result;
}

}  // namespace vl
