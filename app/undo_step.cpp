#include "app/undo_step.h"

#include <algorithm>

#include "core/page_numbers.h"
#include "core/settings_keys.h"
#include "gui/message_box.h"

namespace vl {
namespace {

// No value of the settings file holds a line feed: the default a read gives for a key
// the file does not hold.
constexpr wchar_t kAbsent[] = L"\n";

}  // namespace

std::vector<IniKey> ButtonKeys(std::int32_t pageNo, std::int32_t i) { return ButtonKeys(pageNo, i, i); }

std::vector<IniKey> ButtonKeys(std::int32_t pageNo, std::int32_t first, std::int32_t last) {
  const std::wstring section = settings::PageSection(pageNo);
  std::vector<IniKey> keys;
  for (std::int32_t i = first; i <= last; ++i)
    for (const wchar_t* key : settings::kButtonKeys)
      keys.push_back({section, settings::ButtonKey(key, i)});
  return keys;
}

std::vector<IniKey> PageKeys(std::int32_t pageNo) {
  const std::wstring section = settings::PageSection(pageNo);
  std::vector<IniKey> keys;
  for (const wchar_t* key : {settings::kName, settings::kYoko, settings::kTate, settings::kBtnW, settings::kBtnH,
                             settings::kShowType, settings::kFontName, settings::kFontColor, settings::kFontSize})
    keys.push_back({section, key});
  return keys;
}

std::wstring NameOf(const TLaunchBtn& button) {
  return button.BtnName().empty() ? button.FullPath() : button.BtnName();
}

std::wstring TUndoStep::Read(const IniKey& at) const { return ini_.ReadString(at.section, at.key, kAbsent); }

void TUndoStep::Before(std::wstring label, std::vector<IniKey> keys) {
  pending_.clear();
  const std::uint64_t missed = ini_.MissedReads();
  std::vector<Entry> entries;
  ini_.Update([&] {
    for (IniKey& at : keys) {
      std::wstring before = Read(at);
      entries.push_back({std::move(at), std::move(before), {}});
    }
  });
  // Values a read that missed the file gave would be written back over the user's.
  if (ini_.MissedReads() != missed) return;
  pendingLabel_ = std::move(label);
  pending_ = std::move(entries);
}

void TUndoStep::Landed() {
  if (pending_.empty()) return;
  const std::uint64_t missed = ini_.MissedReads();
  ini_.Update([&] {
    for (Entry& e : pending_) e.after = Read(e.at);
  });
  const bool changed = std::any_of(pending_.begin(), pending_.end(), [](const Entry& e) { return e.before != e.after; });
  if (ini_.MissedReads() == missed && changed) {
    label_ = std::move(pendingLabel_);
    entries_ = std::move(pending_);
  }
  pending_.clear();
}

const std::wstring& TUndoStep::Was(const IniKey& at) const {
  static const std::wstring none;
  for (const Entry& e : entries_)
    if (e.at.section == at.section && e.at.key == at.key) return e.before;
  return none;
}

std::vector<std::wstring> TUndoStep::Sections() const {
  std::vector<std::wstring> sections;
  for (const Entry& e : entries_)
    if (std::find(sections.begin(), sections.end(), e.at.section) == sections.end()) sections.push_back(e.at.section);
  return sections;
}

TUndoStep::Result TUndoStep::Undo() {
  const std::uint64_t missed = ini_.MissedReads();
  bool same = true;
  // One look at the file and one write: the keys compared and put back at one moment.
  ini_.Update([&] {
    for (const Entry& e : entries_) same = same && Read(e.at) == e.after;
    if (ini_.MissedReads() != missed) throw ini_.WriteRefusal();
    if (!same) return;
    for (const Entry& e : entries_) {
      if (e.before == kAbsent)
        ini_.DeleteKey(e.at.section, e.at.key);  // one the command added
      else
        ini_.WriteString(e.at.section, e.at.key, e.before);
    }
  });
  entries_.clear();
  label_.clear();
  return same ? Result::kDone : Result::kChanged;
}

void TUndoStep::UndoAndShow() {
  if (!Ready()) return;
  const std::vector<std::int32_t> pages = PageNumbersOf(Sections());
  if (Undo() == Result::kChanged) {
    ShowMessage(L"その後ほかの変更があったため、元に戻せませんでした");
    return;
  }
  for (std::int32_t pageNo : pages) pages_.Reload(pageNo);
}

}  // namespace vl
