// ButtonSearch: "type to find" over the buttons of every page: the text typed so far, the
// buttons whose name or target file name hold it, and which of them is the current one.
//
// Text is compared folded (FoldForSearch): letter case, full and half width, and hiragana
// against katakana make no difference. A text of ASCII alone, or with a Latin letter in
// it, also finds kana read as romaji: "memo" finds メモ帳 (core/romaji.h); kanji are not
// read. A search is begun over the pages' texts as they
// stand then, folded beforehand (FoldPage); the hits run in the order the pages are given
// (the page on display first, as the caller orders them), and by button number within a
// page. The search holds numbers, never buttons: a page or button gone since is the
// caller's to skip.
#pragma once

#include <bitset>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/romaji.h"

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

// A page's texts folded once, for every search that looks at them until they change: the
// names, and the file names of the targets, each in one text where every button's part
// ends in a line feed (no value of the settings file holds one), so that a search scans a
// page in two passes and the page keeps two strings, not thousands.
//
// Each text is also kept read as romaji (ToRomaji), for a query typed in Latin letters; only
// where that reading differs from the text, that is where it holds kana.
struct RomajiColumn {
  RomajiText form;
  bool kana = false;          // the form is kept and differs from the folded text
  std::bitset<128> ascii;     // the ASCII characters the folded text holds
};
struct FoldedPage {
  std::int32_t pageNo = 0;
  std::int32_t count = 0;  // buttons
  std::wstring names;
  std::wstring fileNames;
  RomajiColumn romajiNames;
  RomajiColumn romajiFileNames;
};
FoldedPage FoldPage(const PageTexts& page);

struct SearchHit {
  std::int32_t pageNo;
  std::int32_t btnIndex;
  bool operator==(const SearchHit&) const = default;
};

class ButtonSearch {
 public:
  // A new search over these pages, with no text yet. The pages are held, not copied.
  void Begin(std::vector<std::shared_ptr<const FoldedPage>> pages);
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

  std::vector<std::shared_ptr<const FoldedPage>> pages_;
  std::wstring query_;         // as typed
  std::wstring foldedQuery_;
  std::vector<SearchHit> hits_;
  std::size_t current_ = 0;
};

}  // namespace vl
