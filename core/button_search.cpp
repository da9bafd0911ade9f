#include "core/button_search.h"

#include <algorithm>

namespace vl {
namespace {

// The file name of a path: what follows its last "\" or "/".
std::wstring_view FileNameOf(std::wstring_view path) {
  const std::size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring_view::npos ? path : path.substr(slash + 1);
}

// Every text of a page folded with one call of the platform's mapping, joined by line
// feeds, which no value of the settings file holds and the mapping leaves as they are.
std::vector<std::wstring> FoldAll(const std::vector<std::wstring>& texts, bool fileNames) {
  std::wstring joined;
  for (const std::wstring& text : texts) {
    std::wstring_view part = fileNames ? FileNameOf(text) : std::wstring_view(text);
    for (wchar_t c : part) joined += c == L'\n' ? L' ' : c;
    joined += L'\n';
  }
  const std::wstring folded = FoldForSearch(joined);
  std::vector<std::wstring> out;
  out.reserve(texts.size());
  std::size_t start = 0;
  for (std::size_t end; (end = folded.find(L'\n', start)) != std::wstring::npos; start = end + 1)
    out.emplace_back(folded, start, end - start);
  out.resize(texts.size());  // a mapping that lost a line feed costs matches, never a crash
  return out;
}

}  // namespace

void ButtonSearch::Begin(const std::vector<PageTexts>& pages) {
  Clear();
  entries_.clear();
  for (const PageTexts& page : pages) {
    std::vector<std::wstring> names = FoldAll(page.names, false);
    std::vector<std::wstring> files = FoldAll(page.targets, true);
    const std::size_t count = std::max(names.size(), files.size());
    names.resize(count);
    files.resize(count);
    for (std::size_t k = 0; k < count; ++k)
      entries_.push_back({page.pageNo, static_cast<std::int32_t>(k + 1), std::move(names[k]), std::move(files[k])});
  }
}

void ButtonSearch::Clear() {
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
  for (const Entry& e : entries_) {
    if (e.name.find(foldedQuery_) != std::wstring::npos || e.fileName.find(foldedQuery_) != std::wstring::npos)
      hits_.push_back({e.pageNo, e.btnIndex});
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
