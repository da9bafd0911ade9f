// ButtonSearch: "type to find" over the buttons of every page: the text typed so far, the
// buttons whose name or target file name hold it, and which of them is the current one.
//
// Text is compared folded (FoldForSearch): letter case, full and half width, and hiragana
// against katakana make no difference. A search is begun over the pages' texts as they
// stand then (Begin); the hits run in the order the pages are given (the page on display
// first, as the caller orders them), and by button number within a page. The search holds
// numbers, never buttons: a page or button gone since is the caller's to skip.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vl {

// The text folded for comparing: the platform's mapping to lower case, half width and
// katakana on Windows (LCMapStringEx); elsewhere, where only tests run, the same for ASCII,
// full-width ASCII and hiragana.
std::wstring FoldForSearch(std::wstring_view text);

// What a search looks at on one page: per button (slot k is button k + 1) its name and
// the path of its target.
struct PageTexts {
  std::int32_t pageNo = 0;
  std::vector<std::wstring> names;
  std::vector<std::wstring> targets;
};

struct SearchHit {
  std::int32_t pageNo;
  std::int32_t btnIndex;
  bool operator==(const SearchHit&) const = default;
};

class ButtonSearch {
 public:
  // A new search over these pages, with no text yet.
  void Begin(const std::vector<PageTexts>& pages);
  // Ends the search: no text, no hits.
  void Clear();
  bool Active() const { return !query_.empty(); }
  const std::wstring& Query() const { return query_; }
  // The text one character longer, or one shorter (an empty text ends the search); the
  // first hit becomes the current one.
  void Type(wchar_t c);
  void Backspace();
  const std::vector<SearchHit>& Hits() const { return hits_; }
  // The current hit; none when nothing matches.
  std::optional<SearchHit> Current() const;
  // Its place among the hits, from 0.
  std::size_t Position() const { return current_; }
  // The next or the previous hit, round the end.
  void Next();
  void Previous();

 private:
  void Find();

  struct Entry {
    std::int32_t pageNo;
    std::int32_t btnIndex;
    std::wstring name;      // folded
    std::wstring fileName;  // folded file name of the target
  };
  std::vector<Entry> entries_;
  std::wstring query_;         // as typed
  std::wstring foldedQuery_;
  std::vector<SearchHit> hits_;
  std::size_t current_ = 0;
};

}  // namespace vl
