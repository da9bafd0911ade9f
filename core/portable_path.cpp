#include "core/portable_path.h"

#include <cwctype>
#include <utility>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

namespace vl {
namespace {

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

// A full path taken apart: its volume ("E:", "\\server\share", either behind "\\?\") and
// the names below it, empty ones (doubled or trailing separators) left out.
struct SplitPath {
  std::wstring root;
  bool verbatim = false;  // behind "\\?\": the system takes its parts as they are
  std::vector<std::wstring_view> parts;
};

std::vector<std::wstring_view> PartsOf(std::wstring_view rest) {
  std::vector<std::wstring_view> parts;
  while (!rest.empty()) {
    std::size_t end = 0;
    while (end < rest.size() && !IsSeparator(rest[end])) ++end;
    if (end > 0) parts.push_back(rest.substr(0, end));
    rest.remove_prefix(end < rest.size() ? end + 1 : end);
  }
  return parts;
}

// A server and a share, both named, and what lies below; "\\.\" and "\\?\" lead elsewhere.
std::optional<SplitPath> SplitShare(SplitPath split, std::wstring_view path) {
  const std::vector<std::wstring_view> names = PartsOf(path);
  if (names.size() < 2 || path.empty() || IsSeparator(path[0]) || names[0] == L"." || names[0] == L"?")
    return std::nullopt;
  split.root.append(names[0]).append(L"\\").append(names[1]);
  split.parts.assign(names.begin() + 2, names.end());
  return split;
}

std::optional<SplitPath> Split(std::wstring_view path) {
  SplitPath split;
  if (path.size() >= 4 && IsSeparator(path[0]) && IsSeparator(path[1]) && path[2] == L'?' &&
      IsSeparator(path[3])) {
    split.verbatim = true;
    split.root = L"\\\\?\\";
    path.remove_prefix(4);
    if (path.size() >= 4 && SameIgnoringCase(path.substr(0, 3), L"UNC") && IsSeparator(path[3])) {
      split.root += L"UNC\\";
      return SplitShare(std::move(split), path.substr(4));
    }
  } else if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
    split.root = L"\\\\";
    return SplitShare(std::move(split), path.substr(2));
  }
  // A drive: its letter and colon, then a separator or nothing ("E:" is how the program's
  // folder reads at a drive's root; "E:x" is that drive's current folder, not full).
  if (path.size() < 2 || !std::iswalpha(path[0]) || path[1] != L':' ||
      (path.size() > 2 && !IsSeparator(path[2])))
    return std::nullopt;
  split.root += path.substr(0, 2);
  split.parts = PartsOf(path.substr(2));
  return split;
}

bool IsDrive(const SplitPath& split) { return split.root.ends_with(L':'); }

std::wstring Join(const SplitPath& split) {
  std::wstring path = split.root;
  for (std::wstring_view part : split.parts) path.append(L"\\").append(part);
  if (split.parts.empty() && IsDrive(split)) path += L'\\';
  return path;
}

}  // namespace

bool SameIgnoringCase(std::wstring_view a, std::wstring_view b) {
#ifdef _WIN32
  // The file system's own rule: ordinal, upper case by the system's table.
  return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()),
                              TRUE) == CSTR_EQUAL;
#else
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::towupper(static_cast<wint_t>(a[i])) != std::towupper(static_cast<wint_t>(b[i]))) return false;
  return true;
#endif
}

bool IsLauncherRelative(std::wstring_view path) {
  if (path.empty()) return false;
  if (IsSeparator(path[0])) return path.size() == 1 || !IsSeparator(path[1]);
  for (std::wstring_view dots : {L"..", L"."})
    if (path.starts_with(dots)) return path.size() == dots.size() || IsSeparator(path[dots.size()]);
  return false;
}

bool IsShellName(std::wstring_view path) {
  if (path.starts_with(L"::")) return true;
  auto ascii = [](wchar_t c, bool letterOnly) {
    const bool letter = (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z');
    return letter || (!letterOnly && ((c >= L'0' && c <= L'9') || c == L'+' || c == L'-' || c == L'.'));
  };
  if (path.empty() || !ascii(path[0], true)) return false;
  const std::size_t colon = path.find(L':');
  if (colon == std::wstring_view::npos || colon < 2) return false;  // "C:" is a drive
  for (std::size_t i = 1; i < colon; ++i)
    if (!ascii(path[i], false)) return false;
  return true;
}

std::wstring ResolveAgainst(std::wstring_view relative, std::wstring_view folder) {
  std::optional<SplitPath> base = Split(folder);
  // The program's folder is always full; anything else is joined as it stands, for the
  // system to make of it what it can.
  if (!base) return std::wstring(folder) + L'\\' + std::wstring(relative);
  if (!relative.empty() && IsSeparator(relative[0])) base->parts.clear();
  for (std::wstring_view part : PartsOf(relative)) {
    if (part == L".") continue;
    if (part == L"..") {
      // Above a volume's root there is nothing: the system stays at the root too.
      if (!base->parts.empty()) base->parts.pop_back();
      continue;
    }
    base->parts.push_back(part);
  }
  return Join(*base);
}

std::wstring ResolveStoredPath(std::wstring_view path, std::wstring_view folder) {
  return IsLauncherRelative(path) ? ResolveAgainst(path, folder) : std::wstring(path);
}

std::optional<std::wstring> RelativeToFolder(std::wstring_view path, std::wstring_view folder) {
  const std::optional<SplitPath> target = Split(path), base = Split(folder);
  if (!target || !base || target->verbatim || base->verbatim) return std::nullopt;
  if (!SameIgnoringCase(target->root, base->root)) return std::nullopt;
  for (const SplitPath* split : {&*target, &*base})
    for (std::wstring_view part : split->parts)
      if (part == L"." || part == L"..") return std::nullopt;
  std::size_t common = 0;
  while (common < target->parts.size() && common < base->parts.size() &&
         SameIgnoringCase(target->parts[common], base->parts[common]))
    ++common;
  std::wstring relative;
  if (common == base->parts.size()) {
    relative = L".";
  } else {
    for (std::size_t up = common; up < base->parts.size(); ++up) relative += up == common ? L".." : L"\\..";
  }
  for (std::size_t i = common; i < target->parts.size(); ++i) relative.append(L"\\").append(target->parts[i]);
  return relative;
}

}  // namespace vl
