#include "core/button_search.h"

#include <algorithm>

namespace vl {
namespace {

// The file name of a path: what follows its last "\" or "/".
std::wstring_view FileNameOf(std::wstring_view path) {
  const std::size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring_view::npos ? path : path.substr(slash + 1);
}

std::wstring_view PartOf(const std::vector<std::wstring>& texts, std::size_t k, bool fileNames) {
  if (k >= texts.size()) return {};
  return fileNames ? FileNameOf(texts[k]) : std::wstring_view(texts[k]);
}

// `count` texts folded, each followed by a line feed. One call of the platform's mapping
// for the lot; should it ever add or drop a line feed, each text is folded alone, so that
// the parts still fall to their buttons.
std::wstring FoldJoined(const std::vector<std::wstring>& texts, std::size_t count, bool fileNames) {
  std::wstring joined;
  for (std::size_t k = 0; k < count; ++k) {
    for (wchar_t c : PartOf(texts, k, fileNames)) joined += c == L'\n' ? L' ' : c;
    joined += L'\n';
  }
  std::wstring folded = FoldForSearch(joined);
  if (static_cast<std::size_t>(std::count(folded.begin(), folded.end(), L'\n')) == count) return folded;
  folded.clear();
  for (std::size_t k = 0; k < count; ++k) {
    std::wstring one = FoldForSearch(PartOf(texts, k, fileNames));
    std::replace(one.begin(), one.end(), L'\n', L' ');
    folded += one;
    folded += L'\n';
  }
  return folded;
}

// Marks the slot of every button whose part of `text` holds `query` (which holds no line
// feed, so a match never runs from one button's part into the next); with `starts`, only
// a match that begins where starts says a kana's spelling or another character begins.
void MarkMatches(const std::wstring& text, std::wstring_view query, const std::vector<bool>* starts,
                 std::vector<char>& marks) {
  std::size_t slot = 0, counted = 0;  // line feeds before `counted`
  std::size_t at = text.find(query);
  while (at != std::wstring::npos) {
    if (starts && (at >= starts->size() || !(*starts)[at])) {
      at = text.find(query, at + 1);
      continue;
    }
    slot += static_cast<std::size_t>(std::count(text.begin() + static_cast<std::ptrdiff_t>(counted),
                                                text.begin() + static_cast<std::ptrdiff_t>(at), L'\n'));
    const std::size_t end = text.find(L'\n', at);
    if (slot >= marks.size() || end == std::wstring::npos) return;
    marks[slot++] = 1;
    counted = end + 1;  // the rest of this button's part cannot make it a hit twice
    at = text.find(query, counted);
  }
}

RomajiColumn ReadAsRomaji(const std::wstring& folded) {
  RomajiColumn column;
  for (wchar_t c : folded)
    if (c < 0x80) column.ascii.set(c);
  // Most file names hold no kana: their folded text serves, read as it is.
  if (!HasKana(folded)) return column;
  column.form = ToRomaji(folded);
  column.kana = true;
  return column;
}

// A query read as romaji over one column: its romaji forms where the column holds kana, and
// the query as typed (`literal`, none when it holds more than ASCII) where the column holds
// every character of it. The romaji form of a text keeps every other character as it is,
// so that it serves for both.
void MarkRomaji(const std::wstring& folded, const RomajiColumn& column, const std::vector<std::wstring>& forms,
                const std::wstring* literal, std::vector<char>& marks) {
  const bool asTyped =
      literal && std::all_of(literal->begin(), literal->end(), [&](wchar_t c) { return column.ascii.test(c); });
  if (!column.kana) {
    if (asTyped) MarkMatches(folded, *literal, nullptr, marks);
    return;
  }
  for (const std::wstring& form : forms) MarkMatches(column.form.text, form, &column.form.starts, marks);
  if (asTyped && std::find(forms.begin(), forms.end(), *literal) == forms.end())
    MarkMatches(column.form.text, *literal, &column.form.starts, marks);
}

}  // namespace

FoldedPage FoldPage(const PageTexts& page) {
  FoldedPage out;
  out.pageNo = page.pageNo;
  const std::size_t count = std::max(page.names.size(), page.targets.size());
  out.count = static_cast<std::int32_t>(count);
  out.names = FoldJoined(page.names, count, false);
  out.fileNames = FoldJoined(page.targets, count, true);
  out.romajiNames = ReadAsRomaji(out.names);
  out.romajiFileNames = ReadAsRomaji(out.fileNames);
  return out;
}

void ButtonSearch::Begin(std::vector<std::shared_ptr<const FoldedPage>> pages) {
  Clear();
  pages_ = std::move(pages);
}

void ButtonSearch::Clear() {
  pages_.clear();  // a built page's texts are the search's alone
  query_.clear();
  foldedQuery_.clear();
  hits_.clear();
  current_ = 0;
}

void ButtonSearch::Type(wchar_t c) {
  query_ += c;
  Find();
}

void ButtonSearch::Backspace() {
  if (query_.empty()) return;
  // A surrogate pair goes as one character.
  query_.pop_back();
  if (!query_.empty() && query_.back() >= 0xD800 && query_.back() <= 0xDBFF) query_.pop_back();
  Find();
}

void ButtonSearch::Find() {
  hits_.clear();
  current_ = 0;
  if (query_.empty()) {
    foldedQuery_.clear();
    return;
  }
  foldedQuery_ = FoldForSearch(query_);
  // The text is typed, so a line feed cannot be in it; were one there, it would match
  // across buttons.
  std::replace(foldedQuery_.begin(), foldedQuery_.end(), L'\n', L' ');
  // A query of ASCII alone, or with a Latin letter, is read as romaji. One of ASCII alone
  // is looked for only in the romaji forms, which keep every ASCII character of a text as
  // it is; one with kana or kanji as well is also looked for as typed. A query of kana
  // alone is matched as typed, as before there was romaji.
  const bool ascii = std::all_of(foldedQuery_.begin(), foldedQuery_.end(), [](wchar_t c) { return c < 0x80; });
  const bool romaji = ascii || HasLatinLetter(foldedQuery_);
  const std::vector<std::wstring> forms = romaji ? RomajiForms(foldedQuery_) : std::vector<std::wstring>();
  const std::wstring* literal = ascii ? &foldedQuery_ : nullptr;
  std::vector<char> marks;
  for (const auto& page : pages_) {
    if (!page) continue;
    marks.assign(static_cast<std::size_t>(std::max(0, page->count)), 0);
    if (!ascii) {
      MarkMatches(page->names, foldedQuery_, nullptr, marks);
      MarkMatches(page->fileNames, foldedQuery_, nullptr, marks);
    }
    if (romaji) {
      MarkRomaji(page->names, page->romajiNames, forms, literal, marks);
      MarkRomaji(page->fileNames, page->romajiFileNames, forms, literal, marks);
    }
    for (std::size_t k = 0; k < marks.size(); ++k)
      if (marks[k]) hits_.push_back({page->pageNo, static_cast<std::int32_t>(k + 1)});
  }
}

std::optional<SearchHit> ButtonSearch::Current() const {
  if (hits_.empty()) return std::nullopt;
  return hits_[current_];
}

void ButtonSearch::Next() {
  if (!hits_.empty()) current_ = (current_ + 1) % hits_.size();
}

void ButtonSearch::Previous() {
  if (!hits_.empty()) current_ = (current_ + hits_.size() - 1) % hits_.size();
}

}  // namespace vl
