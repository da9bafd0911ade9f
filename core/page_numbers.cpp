#include "core/page_numbers.h"

#include <algorithm>
#include <limits>

#include "core/ini_document.h"

namespace vl {

std::optional<std::int32_t> PageNumberOfSection(std::wstring_view section) {
  constexpr std::wstring_view kPrefix = L"page";
  if (section.size() <= kPrefix.size() || FoldIniName(section.substr(0, kPrefix.size())) != FoldIniName(kPrefix))
    return std::nullopt;
  std::wstring_view digits = section.substr(kPrefix.size());
  if (digits.front() == L'0') return std::nullopt;
  std::int64_t n = 0;
  for (wchar_t c : digits) {
    if (c < L'0' || c > L'9') return std::nullopt;
    n = n * 10 + (c - L'0');
    if (n > std::numeric_limits<std::int32_t>::max()) return std::nullopt;
  }
  return static_cast<std::int32_t>(n);
}

std::vector<std::int32_t> PageNumbersOf(const std::vector<std::wstring>& sections) {
  std::vector<std::int32_t> numbers;
  for (const std::wstring& name : sections) {
    if (std::optional<std::int32_t> n = PageNumberOfSection(name)) numbers.push_back(*n);
  }
  std::sort(numbers.begin(), numbers.end());
  numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
  return numbers;
}

std::optional<std::int32_t> NextPageNumber(std::int32_t pageNum, const std::vector<std::int32_t>& stored) {
  std::int32_t highest = std::max(pageNum, 0);
  if (!stored.empty()) highest = std::max(highest, stored.back());
  if (highest == std::numeric_limits<std::int32_t>::max()) return std::nullopt;
  return highest + 1;
}

}  // namespace vl
