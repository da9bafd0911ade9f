// Page numbers: which pages a settings file holds, and which number the next new page
// takes.
//
// A page's number names its section ("Page7") and is never given twice: a deleted page
// keeps its section with "Live" off, and a page made before a crash may have its section
// in the file while "PageNum" still holds the number before it. So the next number is
// past both "PageNum" and every page section in the file.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vl {

// The page number a section name stands for: "Page" in any letter case followed by a
// decimal number from 1 without leading zeros that fits 32 bits, as the lookup of
// settings::PageSection(n) would find it. Nothing for any other name.
std::optional<std::int32_t> PageNumberOfSection(std::wstring_view section);

// The page numbers of the given section names, ascending, each once.
std::vector<std::int32_t> PageNumbersOf(const std::vector<std::wstring>& sections);

// The number for a new page: one past "PageNum" and every number in `stored` (ascending).
// Nothing when no number is left below the 32-bit limit.
std::optional<std::int32_t> NextPageNumber(std::int32_t pageNum, const std::vector<std::int32_t>& stored);

}  // namespace vl
