#include "app/page.h"

#include <algorithm>

#include "core/ini_values.h"
#include "core/number_text.h"
#include "core/settings_keys.h"
#include "gui/color.h"
#include "gui/font.h"
#include "gui/layout.h"
#include "gui/message_box.h"
#include "gui/theme.h"

namespace vl {
namespace {

namespace keys = settings;

constexpr std::int32_t kMaxFontPoints = 144;
constexpr COLORREF kPlain = RGB(0, 0, 0);

// What a button holds, and shows of it, carried to another button by a move.
struct Contents {
  StoredButton keys;
  bool regist = false;
  // The gone mark is the target's: it goes where the target goes.
  bool dimmed = false;
  SharedBitmap glyph;
};

Contents ContentsOf(const TLaunchBtn& b) {
  return {StoredButton::Of(b), b.Regist(), b.Dimmed(), b.SharedGlyph()};
}

// The face follows the button's own show type: the pages of a move may show differently.
void Put(TLaunchBtn& b, const Contents& c) {
  c.keys.Into(b);
  b.SetRegist(c.regist);
  b.RenewHint();
  b.SetDimmed(c.dimmed);
  b.SetCaption(b.ShowType() == st_IconOnly ? std::wstring() : c.keys.name);
  b.SetGlyph(b.ShowType() == st_TextOnly ? SharedBitmap() : c.glyph);
  // A glyph the other page did not show (text only there) is looked up here.
  if (b.ShowType() != st_TextOnly && !c.glyph) b.LoadGlyph();
}

bool HoldsNothing(const std::wstring& fullPath, const std::wstring& name, const std::wstring& iconPath,
                  const std::wstring& workDir) {
  return fullPath.empty() && name.empty() && iconPath.empty() && workDir.empty();
}

// The file's show type numbers: 1 is icon only and 2 text only, the other way round from
// the button's own order; anything else shows both.
TShowType ShowTypeOf(std::int32_t stored) {
  switch (stored) {
    case 1:
      return st_IconOnly;
    case 2:
      return st_TextOnly;
    default:
      return st_Both;
  }
}

}  // namespace

TPage::TPage(TPageHost& host, std::int32_t pageNo, std::wstring_view mode, Build when)
    : host_(host), ini_(SettingsFilePath()), pageNo_(pageNo), id_(++lastId_), standIn_(mode == L"UNSAVED") {
  const std::wstring section = Section();
  if (mode == L"NEW") {
    ini_.Update([&] {
      ini_.WriteBool(section, keys::kLive, true);
      ini_.WriteString(section, keys::kName, L"NewPage");
      ini_.WriteString(section, keys::kFontName, keys::kFontNameDefault);
      ini_.WriteString(section, keys::kFontColor, ColorToString(clNavy));
      ini_.WriteInteger(section, keys::kFontSize, 10);
      ini_.WriteInteger(section, keys::kYoko, kNewPageYoko);
      ini_.WriteInteger(section, keys::kTate, kNewPageTate);
      ini_.WriteInteger(section, keys::kBtnW, kNewPageBtnSize);
      ini_.WriteInteger(section, keys::kBtnH, kNewPageBtnSize);
      ini_.WriteInteger(section, keys::kShowType, 0);
    });
  }
  LoadHeader();
  if (mode == L"UNSAVED") pageName_ = L"NewPage";  // its grid is the new-page grid already
  TPageControl& strip = host_.PageStrip();
  sheet_ = &strip.AddSheet(pageName_, pageNo_);
  if (when == Build::WhenShown) return;
  try {
    BuildButtons();
  } catch (...) {
    // A page that cannot be built (the window or GDI limit reached) leaves no tab
    // behind: tabs and the page list stay one to one.
    buttons_.clear();
    strip.DeleteSheet(strip.IndexOf(*sheet_));
    throw;
  }
}

TPage::~TPage() {
  try {
    if (built_ && ini_.ReadBool(Section(), keys::kLive, keys::kLiveDefault)) SaveButtons();
  } catch (...) {
    // A refused write at exit has nowhere left to be reported; the file keeps what it had.
  }
}

std::wstring TPage::Section() const { return settings::PageSection(pageNo_); }

TLaunchBtn* TPage::Button(std::int32_t i) {
  if (i < 1 || i > BtnCount()) return nullptr;
  return buttons_[static_cast<std::size_t>(i - 1)].get();
}

void TPage::LoadHeader() {
  const std::wstring section = Section();
  missedBefore_ = ini_.MissedReads();
  ini_.Update([&] {
    pageName_ = ini_.ReadString(section, keys::kName, L"");
    grid_ = SaneGrid(ini_.ReadInteger(section, keys::kYoko, keys::kGridDefault),
                     ini_.ReadInteger(section, keys::kTate, keys::kGridDefault),
                     ini_.ReadInteger(section, keys::kBtnW, keys::kGridDefault),
                     ini_.ReadInteger(section, keys::kBtnH, keys::kGridDefault));
  });
  // The old buttons are put aside rather than destroyed, for BuildButtons to renew; the
  // last first, so that it takes them in number order from the back.
  for (auto b = buttons_.rbegin(); b != buttons_.rend(); ++b)
    if (*b) spare_.push_back(std::move(*b));
  buttons_.clear();
  saved_.clear();
}

void TPage::EnsureBuilt() {
  // A page built from a file it could not read tries the file again; the stand-in for a
  // file held at start does not: the launcher takes the file up as a whole once it reads.
  if (built_ && (!Unread() || standIn_)) return;
  LoadHeader();  // the file may have changed since the tab was made
  BuildButtons();
}

std::unique_ptr<TLaunchBtn> TPage::TakeButton(const BitBtnParams& params) {
  if (spare_.empty()) return std::make_unique<TLaunchBtn>(params);
  // Button i renews old button i's window: the tab order stays the number order.
  std::unique_ptr<TLaunchBtn> button = std::move(spare_.back());
  spare_.pop_back();
  button->Renew(params);
  return button;
}

void TPage::BuildButtons() {
  const std::wstring section = Section();
  // The old windows are renewed; only those beyond them are new.
  const std::int32_t more = grid_.BtnCount() - static_cast<std::int32_t>(spare_.size());
  if (more > 0) host_.MakeRoom(*this, more);
  buttons_.resize(static_cast<std::size_t>(grid_.BtnCount()));
  saved_.assign(buttons_.size(), StoredButton{});
  try {
    ini_.Update([&] {
      builtShowType_ = ini_.ReadInteger(section, keys::kShowType, keys::kShowTypeBuildDefault);
      TShowType showType = ShowTypeOf(builtShowType_);
      // Every button of the page takes the page's caption font.
      const CaptionFont caption = ReadCaptionFont();
      builtCaption_ = caption;
      const SharedFont& font = FontFor(caption.desc);
      for (std::int32_t i = 1; i <= grid_.BtnCount(); ++i) {
        BitBtnParams params = PlaceOf(i);
        StoredButton stored = ReadKeys(i);
        params.caption = stored.name;
        // The button taken over keeps its old glyph in the cache until its new one is in.
        SharedBitmap previousGlyph = spare_.empty() ? SharedBitmap() : spare_.back()->SharedGlyph();
        auto button = TakeButton(params);
        TLaunchBtn& b = *button;
        buttons_[static_cast<std::size_t>(i - 1)] = std::move(button);
        b.SetBtnIndex(i);
        stored.Into(b);
        saved_[static_cast<std::size_t>(i - 1)] = std::move(stored);
        b.SetFont(font);
        b.SetFontColor(caption.color);
        b.SetCaption(b.BtnName());
        if (!b.FullPath().empty()) b.SetRegist(true);
        b.SetShowType(showType);
        b.OnMouseDown = [this](TBitBtn& sender, TMouseButton, UINT, int, int) {
          currentBtn_ = static_cast<TLaunchBtn&>(sender).BtnIndex();
        };
        b.OnMouseMove = [this](TBitBtn& sender, UINT, int, int) {
          Highlight(static_cast<TLaunchBtn&>(sender));
        };
        // The pointer leaving a button leaves no caption blue, wherever it goes.
        b.OnMouseLeave = [this](TBitBtn&) { ResetHighlight(); };
        b.OnRegist = [this](TLaunchBtn&) {
          host_.ButtonsChanged();
          SaveButtons();
        };
        b.OnDropSeveral = [this](TLaunchBtn& at, std::vector<std::wstring> paths) {
          BindDropped(at.BtnIndex(), paths);
        };
        b.PortablePaths = [this] {
          return ini_.ReadBool(keys::kSetting, keys::kPortablePaths, keys::kPortablePathsDefault);
        };
        b.OnClick = [this](TBitBtn& sender) { ButtonClicked(static_cast<TLaunchBtn&>(sender)); };
        // Only a bound button moves; an empty one has nothing to carry.
        b.Drag().CanStart = [&b] { return b.Regist(); };
        b.Drag().OnOver = [this, i](POINT at) { host_.DragButton(*this, i, at); };
        b.Drag().OnEnd = [this, i](std::optional<POINT> at) {
          if (at)
            host_.DropButton(*this, i, *at);
          else
            host_.DragCalledOff();
        };
      }
    });
  } catch (...) {
    // Out of windows or GDI objects part way: the page keeps the buttons it could make,
    // so that every slot it counts holds one; the file keeps the rest.
    std::erase(buttons_, nullptr);
    saved_.resize(buttons_.size());
    spare_.clear();
    throw;
  }
  spare_.clear();  // the buttons above the new count
  built_ = true;
  readMisses_ = ini_.MissedReads() - missedBefore_;
  // A page built out of sight (for a dialog's OK, a move onto it) leaves the window to
  // the page on display.
  if (host_.OnDisplay(*this)) FitWindow();
}

BitBtnParams TPage::PlaceOf(std::int32_t i) const {
  // Each edge scaled on its own: neighbours meet edge to edge at any DPI, where a scaled
  // width added to a scaled left would leave gaps or overlaps of a pixel.
  const int dpi = DpiOf(sheet_->Handle());
  BitBtnParams params;
  params.parent = sheet_->Handle();
  params.x = DesignToDevice(grid_.Left(i), dpi);
  params.y = DesignToDevice(grid_.Top(i), dpi);
  params.width = DesignToDevice(grid_.Left(i) + grid_.btnW, dpi) - params.x;
  params.height = DesignToDevice(grid_.Top(i) + grid_.btnH, dpi) - params.y;
  return params;
}

void TPage::FitWindow() {
  const int dpi = DpiOf(sheet_->Handle());
  const int width = DesignToDevice(grid_.ClientWidth(), dpi);
  // The tab row as the strip places its page area, and the rows of buttons below it.
  const int height = DesignToDevice(kTabRowHeight, dpi) + DesignToDevice(grid_.tate * grid_.btnH, dpi);
  host_.PageStrip().SetBounds(0, 0, width, height);
  host_.SetMainClientSize(width, height);
}

void TPage::FollowDpi() {
  if (!built_) return;  // built later, at the DPI of that moment
  for (std::int32_t i = 1; i <= BtnCount(); ++i) {
    TLaunchBtn& b = *buttons_[static_cast<std::size_t>(i - 1)];
    const BitBtnParams place = PlaceOf(i);
    b.SetBounds(place.x, place.y, place.width, place.height);
    if (b.ShowType() != st_TextOnly) b.LoadGlyph();
  }
  if (font_) {
    const SharedFont& font = FontFor(fontDesc_);
    for (auto& b : buttons_) b->SetFont(font);
  }
}

void TPage::SaveButtons() {
  if (!built_) return;  // what the file holds is all the page knows
  // Its buttons are defaults, not what the file holds: saved, they would wipe it.
  if (Unread()) throw ini_.WriteRefusal();
  std::vector<std::size_t> changed;
  for (std::size_t k = 0; k < buttons_.size(); ++k)
    if (StoredButton::Of(*buttons_[k]) != saved_[k]) changed.push_back(k);
  try {
    ini_.Update([&] {
      for (std::size_t k : changed) WriteButtonKeys(buttons_[k]->BtnIndex(), *buttons_[k]);
    });
  } catch (...) {
    unsaved_ = true;
    throw;
  }
  for (std::size_t k : changed) saved_[k] = StoredButton::Of(*buttons_[k]);
  unsaved_ = false;
}

void TPage::NoteSaved(std::int32_t i) {
  if (TLaunchBtn* b = Button(i)) saved_[static_cast<std::size_t>(i - 1)] = StoredButton::Of(*b);
}

StoredButton TPage::ReadKeys(std::int32_t i) const { return StoredButton::Read(ini_, Section(), i); }

bool TPage::ChangedOnDisk() {
  if (!built_) return false;
  const std::wstring section = Section();
  bool changed = false;
  ini_.Update([&] {
    changed = ini_.ReadString(section, keys::kName, L"") != pageName_ ||
              SaneGrid(ini_.ReadInteger(section, keys::kYoko, keys::kGridDefault),
                       ini_.ReadInteger(section, keys::kTate, keys::kGridDefault),
                       ini_.ReadInteger(section, keys::kBtnW, keys::kGridDefault),
                       ini_.ReadInteger(section, keys::kBtnH, keys::kGridDefault)) != grid_ ||
              ini_.ReadInteger(section, keys::kShowType, keys::kShowTypeBuildDefault) != builtShowType_ ||
              !(ReadCaptionFont() == builtCaption_);
    for (std::size_t k = 0; k < saved_.size() && !changed; ++k)
      changed = ReadKeys(static_cast<std::int32_t>(k + 1)) != saved_[k];
  });
  return changed;
}

bool TPage::Release() {
  if (!built_) return true;
  if (unsaved_) {
    // A drop whose save was refused lives only in its button: saved now, or kept.
    try {
      SaveButtons();
    } catch (...) {
      return false;
    }
  }
  buttons_.clear();
  saved_.clear();
  spare_.clear();
  font_.reset();
  built_ = false;
  return true;
}

TPage::CaptionFont TPage::ReadCaptionFont() const {
  const std::wstring section = Section();
  CaptionFont caption;
  caption.desc.name = ini_.ReadString(section, keys::kFontName, keys::kFontNameDefault);
  // A size the user could not mean (0, negative, a poster) falls back or is held.
  std::int32_t points = ini_.ReadInteger(section, keys::kFontSize, keys::kFontSizeDefault);
  caption.desc.points = points < 1 ? keys::kFontSizeDefault : std::min(points, kMaxFontPoints);
  // A colour that is neither a name nor a number takes the reader's default.
  TColor color = StringToColor(ini_.ReadString(section, keys::kFontColor, keys::kFontColorDefault))
                     .value_or(clWindowText);
  caption.color = ColorToRGB(color);
  return caption;
}

const SharedFont& TPage::FontFor(const FontDesc& desc) {
  const int dpi = DpiOf(sheet_->Handle());
  if (!font_ || desc != fontDesc_ || dpi != fontDpi_) {
    font_ = MakeSharedFont(desc, dpi);
    fontDesc_ = desc;
    fontDpi_ = dpi;
  }
  return font_;
}

void TPage::ApplyFonts() {
  CaptionFont caption = ReadCaptionFont();
  const SharedFont& font = FontFor(caption.desc);
  for (auto& b : buttons_) {
    b->SetFont(font);
    b->SetFontColor(caption.color);
  }
}

void TPage::ApplyShowType(std::wstring_view pageNo) {
  std::int32_t stored = ini_.ReadInteger(L"Page" + std::wstring(pageNo), keys::kShowType,
                                         keys::kShowTypeApplyDefault);
  if (stored < 0 || stored > 2) return;
  // A button that shows this already has its face: building it again would only load
  // its icon a second time (on a rebuild, right after BuildButtons made every face).
  const TShowType type = ShowTypeOf(stored);
  for (auto& b : buttons_)
    if (b->ShowType() != type) b->SetShowType(type);
}

void TPage::CheckTargets() {
  for (auto& b : buttons_) b->CheckTarget();
}

std::int32_t TPage::CountRegistered(std::int32_t past) const {
  std::int32_t n = 0;
  for (const auto& b : buttons_) n += b->Regist() && b->BtnIndex() > past ? 1 : 0;
  return n;
}

bool TPage::HoldsBinding() {
  if (built_) return CountRegistered() > 0;
  const std::wstring section = Section();
  const std::uint64_t missed = ini_.MissedReads();
  bool bound = false;
  ini_.Update([&] {
    for (std::int32_t i = 1; i <= grid_.BtnCount() && !bound; ++i)
      bound = !ini_.ReadString(section, keys::ButtonKey(keys::kBtnFP, i), L"").empty();
  });
  if (ini_.MissedReads() != missed) throw ini_.WriteRefusal();
  return bound;
}

void TPage::ClearButtonKeys(std::int32_t i) {
  if (Unread()) throw ini_.WriteRefusal();
  ini_.Update([&] { StoredButton{}.Write(ini_, Section(), i); });
  // Emptied only once the file is: a refused write leaves the button as the file has it.
  if (TLaunchBtn* b = Button(i)) {
    b->ClearButton();
    b->SetCaption(L"");
    saved_[static_cast<std::size_t>(i - 1)] = StoredButton{};
  }
}

std::shared_ptr<const FoldedPage> TPage::SearchTexts() {
  PageTexts texts;
  texts.pageNo = pageNo_;
  if (built_) {
    storedTexts_.reset();  // the buttons say it now
    for (const auto& b : buttons_) {
      texts.names.push_back(b->BtnName());
      texts.targets.push_back(b->FullPath());
    }
    return std::make_shared<const FoldedPage>(FoldPage(texts));
  }
  const std::wstring section = Section();
  ini_.Update([&] {
    // Kept while the file stays as it was: a search's first key then reads no page.
    const std::uint64_t revision = ini_.Revision();
    if (storedTexts_ && storedTextsRevision_ == revision && storedTexts_->count == grid_.BtnCount()) return;
    const auto count = static_cast<std::size_t>(grid_.BtnCount());
    texts.names.resize(count);
    texts.targets.resize(count);
    for (std::int32_t i = 1; i <= grid_.BtnCount(); ++i) {
      const auto k = static_cast<std::size_t>(i - 1);
      texts.names[k] = ini_.ReadString(section, keys::ButtonKey(keys::kBtnName, i), L"");
      texts.targets[k] = ini_.ReadString(section, keys::ButtonKey(keys::kBtnFP, i), L"");
    }
    storedTexts_ = std::make_shared<const FoldedPage>(FoldPage(texts));
    storedTextsRevision_ = revision;
  });
  return storedTexts_;
}

bool TPage::Dragging() const {
  return std::any_of(buttons_.begin(), buttons_.end(), [](const auto& b) { return b->Drag().Dragging(); });
}

std::int32_t TPage::ButtonIndexOf(HWND hwnd) const {
  for (const auto& b : buttons_)
    if (hwnd && b->Handle() == hwnd) return b->BtnIndex();
  return 0;
}

std::int32_t TPage::FirstEmptyButton() {
  if (built_) {
    for (const auto& b : buttons_)
      if (HoldsNothing(b->FullPath(), b->BtnName(), b->IconPath(), b->WorkDir())) return b->BtnIndex();
    return 0;
  }
  // Not built: the file is the page, its grid as it stands there now. A drag over the
  // page's tab asks at every move of the pointer: the answer is kept while the file stays.
  const std::wstring section = Section();
  const std::uint64_t missed = ini_.MissedReads();
  std::int32_t found = 0;
  std::uint64_t revision = 0;
  ini_.Update([&] {
    revision = ini_.Revision();
    if (emptyRevision_ && revision == emptyRevision_) {  // 0: never read
      found = emptyButton_;
      return;
    }
    const PageGrid grid = SaneGrid(ini_.ReadInteger(section, keys::kYoko, keys::kGridDefault),
                                   ini_.ReadInteger(section, keys::kTate, keys::kGridDefault),
                                   ini_.ReadInteger(section, keys::kBtnW, keys::kGridDefault),
                                   ini_.ReadInteger(section, keys::kBtnH, keys::kGridDefault));
    for (std::int32_t i = 1; i <= grid.BtnCount() && !found; ++i) {
      auto read = [&](const wchar_t* key) { return ini_.ReadString(section, keys::ButtonKey(key, i), L""); };
      if (HoldsNothing(read(keys::kBtnFP), read(keys::kBtnName), read(keys::kBtnIP), read(keys::kWD))) found = i;
    }
  });
  // What a read that missed the file calls empty may hold a button.
  if (ini_.MissedReads() != missed) throw ini_.WriteRefusal();
  emptyRevision_ = revision;
  emptyButton_ = found;
  return found;
}

void TPage::WriteButtonKeys(std::int32_t j, const TLaunchBtn& from) { StoredButton::Of(from).Write(ini_, Section(), j); }

void TPage::SwapButtons(std::int32_t i, std::int32_t j) {
  TLaunchBtn* a = Button(i);
  TLaunchBtn* b = Button(j);
  if (!a || !b || a == b) return;
  if (Unread()) throw ini_.WriteRefusal();
  const Contents first = ContentsOf(*a), second = ContentsOf(*b);
  const bool wasUnsaved = unsaved_;
  const std::vector<StoredButton> wasSaved = saved_;
  Put(*a, second);
  Put(*b, first);
  try {
    SaveButtons();
  } catch (...) {
    // The file kept them where they were: so do the faces.
    Put(*a, first);
    Put(*b, second);
    unsaved_ = wasUnsaved;
    saved_ = wasSaved;
    throw;
  }
}

void TPage::MoveButtonTo(std::int32_t i, TPage& to, std::int32_t j) {
  TLaunchBtn* source = Button(i);
  if (!source || &to == this || j < 1) return;
  TLaunchBtn* target = to.built_ ? to.Button(j) : nullptr;
  if (to.built_ && !target) return;
  // Either page saved from defaults would wipe the file: checked before anything is written.
  if (Unread() || to.Unread()) throw ini_.WriteRefusal();
  const Contents moved = ContentsOf(*source), left = target ? ContentsOf(*target) : Contents{};
  const bool wasUnsaved = unsaved_, toWasUnsaved = to.unsaved_;
  // The saves below note their keys before the one write at the end: one refused takes
  // the notes back with the faces.
  const std::vector<StoredButton> wasSaved = saved_, toWasSaved = to.saved_;
  try {
    // One write of the file for both sections. The button reaches its new place before
    // it leaves the old one: a write cut short between the two would leave it twice,
    // never nowhere.
    ini_.Update([&] {
      if (target) {
        Put(*target, moved);
        to.SaveButtons();
      } else {
        to.WriteButtonKeys(j, *source);
      }
      Put(*source, Contents{});
      SaveButtons();
    });
  } catch (...) {
    if (target) Put(*target, left);
    Put(*source, moved);
    unsaved_ = wasUnsaved;
    to.unsaved_ = toWasUnsaved;
    saved_ = wasSaved;
    to.saved_ = toWasSaved;
    throw;
  }
}

void TPage::Highlight(const TLaunchBtn& sender) {
  for (auto& b : buttons_) b->SetFontColor(b.get() == &sender ? ThemePalette().hotText : kPlain);  // "clBlue" when light
}

void TPage::ResetHighlight() {
  for (auto& b : buttons_) b->SetFontColor(kPlain);
}

void TPage::ButtonClicked(const TLaunchBtn& sender) {
  // A target that is gone was just said in a box: the launcher stays, for the user to
  // mend or delete the button.
  if (ini_.ReadBool(keys::kSetting, keys::kHideWhenClickBtn, keys::kHideWhenClickBtnDefault) &&
      sender.Regist() && !sender.Dimmed())
    host_.HideMainWindow();
}

void TPage::BindDropped(std::int32_t from, const std::vector<std::wstring>& paths) {
  std::size_t bound = 0;
  // Binding asks no question and runs no messages: the page and its buttons stay as they
  // are until the save.
  for (std::int32_t i = from; i <= BtnCount() && bound < paths.size(); ++i) {
    TLaunchBtn& b = *buttons_[static_cast<std::size_t>(i - 1)];
    if (!b.Regist()) b.Bind(paths[bound++]);
  }
  const std::size_t left = paths.size() - bound;
  if (bound > 0) {
    host_.ButtonsChanged();
    SaveButtons();
  }
  if (left > 0)
    ShowMessage(DecimalText(static_cast<long long>(paths.size())) + L" 個のファイルのうち " +
                DecimalText(static_cast<long long>(bound)) + L" 個を登録しました。\n残りの " +
                DecimalText(static_cast<long long>(left)) +
                L" 個は、このボタンから後ろに空いているボタンがないため登録していません。"
                L"\n別のページの空いているボタンにドロップするか、「ページのプロパティ」でボタンの数を増やしてください");
}

}  // namespace vl
