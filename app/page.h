// TPage: one page of the launcher, one tab of the main window's page strip with a grid of
// launch buttons, kept in the section "Page<n>" of the settings file.
//
// The page builds its buttons from its section, lays them out edge to edge (the file's
// sizes are pixels at 96 DPI, scaled to the window's DPI), sizes the main window to the
// grid, writes a button back when the user changed it (a drop, a move, the delete
// command), highlights the button under the pointer and hides the launcher after a bound
// button is clicked. It keeps no show type or font of its own: those are read from the
// file whenever they are applied.
//
// The page owns its buttons; the page strip owns the page's tab sheet. A rebuild renews
// the button windows it has rather than making them again, and all the buttons of a page
// draw with one font. Before it makes windows, the page asks its host for room for them
// (the host may release other pages); a released page is back to its stored state, its
// buttons built again when it is next shown. A page created with
// the mode "NEW" first writes the new-page defaults into its section; one with the mode
// "UNSAVED" shows them without a section. Destroying a page
// that is still live writes back what the file does not have yet. A page whose building
// fails removes its tab again and raises the error.
//
// Another program (a sync tool) may change the file while the page is built. So the page
// keeps, for each button, its keys as it last read or wrote them, and writes only the
// buttons whose keys the user changed since: never a value it merely holds, which would
// put back what the other program replaced. ChangedOnDisk tells when the file no longer
// holds what the page shows.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "buttons/launch_btn.h"
#include "buttons/stored_button.h"
#include "core/button_search.h"
#include "core/ini_file.h"
#include "core/page_grid.h"
#include "gui/font.h"
#include "gui/page_control.h"

namespace vl {

class TPage;

// What a page needs of the main window that holds it.
class TPageHost {
 public:
  virtual TPageControl& PageStrip() = 0;
  // Sizes the main window so that its client area is width x height pixels.
  virtual void SetMainClientSize(int width, int height) = 0;
  virtual void HideMainWindow() = 0;
  // Whether `page` is the one the window shows, and so the one it is sized to.
  virtual bool OnDisplay(const TPage& page) const {
    (void)page;
    return true;
  }
  // A button of a page changed its target, name or place: what was found among the
  // buttons before no longer holds.
  virtual void ButtonsChanged() {}
  // `page` is about to make `windows` more windows: room for them, within the program's
  // window budget, by releasing pages not on display. The page is built all the same
  // when no room can be made.
  virtual void MakeRoom(const TPage& page, std::int32_t windows) {
    (void)page;
    (void)windows;
  }
  // Bound button i of `page` dragged with the pointer at `screen`, and released there.
  virtual void DragButton(TPage& page, std::int32_t i, POINT screen) {
    (void)page;
    (void)i;
    (void)screen;
  }
  virtual void DropButton(TPage& page, std::int32_t i, POINT screen) {
    (void)page;
    (void)i;
    (void)screen;
  }
  // A drag of a button of `page` was called off (Esc, the mouse taken away): no release.
  virtual void DragCalledOff() {}

 protected:
  ~TPageHost() = default;
};

class TPage {
 public:
  // mode: "NEW" for a page made by the new-page command, empty for a stored page, and
  // "UNSAVED" for a first page that the file refused to take: named and laid out as a new
  // page, with nothing written.
  // when: a stored page may wait with its buttons until it is first shown (EnsureBuilt):
  // a page nobody looks at costs no windows, no icons, and never writes.
  enum class Build { Now, WhenShown };
  TPage(TPageHost& host, std::int32_t pageNo, std::wstring_view mode, Build when = Build::Now);
  virtual ~TPage();
  TPage(const TPage&) = delete;
  TPage& operator=(const TPage&) = delete;

  void LoadHeader();
  void BuildButtons();
  // Sizes the strip and the main window to the grid at the window's DPI.
  void FitWindow();
  // The buttons placed, drawn and given their glyphs again at the window's DPI, after the
  // window has moved to a monitor of another scale. Reads nothing from the file.
  void FollowDpi();
  // Writes the buttons the user changed since they were last read or written; nothing
  // when there are none.
  void SaveButtons();
  // Button i's keys were written by another hand (the button dialog) as it holds them now.
  void NoteSaved(std::int32_t i);
  // Whether the file holds something else than the page was built from and wrote since:
  // its name, grid, font, show type or any button's keys. A page not built holds nothing.
  bool ChangedOnDisk();
  void ApplyFonts();
  void ApplyShowType(std::wstring_view pageNo);
  // Every button looks again whether its target is gone (a released page has none).
  void CheckTargets();
  // The bound buttons, or those of them above number `past`.
  std::int32_t CountRegistered(std::int32_t past = 0) const;
  // Whether a button of the page is bound: a built page's buttons say, any other's the
  // file as it is now. Raises the write error when the file could not be read.
  bool HoldsBinding();
  // Button i emptied in the file, then on the screen; a refused write raises the write
  // error and changes nothing.
  void ClearButtonKeys(std::int32_t i);
  void ResetHighlight();
  // Builds the buttons of a page made to wait, or released, once.
  void EnsureBuilt();
  bool Built() const { return built_; }
  // Built while the file was there and could not be read: the grid and the buttons are
  // defaults, so the page writes nothing (each save raises the write error) until a
  // later build (EnsureBuilt, a rebuild) reads the file.
  bool Unread() const { return readMisses_ != 0; }
  // A write of its buttons was refused: they hold what the file lacks.
  bool Unsaved() const { return unsaved_; }
  // Back to the stored state: the buttons (windows, glyphs, font) destroyed, to be built
  // again from the file by EnsureBuilt. Writes nothing, unless a write of the buttons was
  // refused since they were built: what the page knows that the file does not is saved
  // first, and a page that still cannot save it keeps its buttons (false).
  bool Release();

  // Moving buttons. A bound button pressed and dragged is offered to the host; the moves
  // below change the faces and reach the file in one write of it, or change nothing and
  // raise the write error.
  // A button of this page is being dragged.
  bool Dragging() const;
  // The number of the button whose window is `hwnd`; 0 for any other window.
  std::int32_t ButtonIndexOf(HWND hwnd) const;
  // The first button that holds nothing (no target, name, icon or folder); 0 when each
  // holds something. A page not built answers from the file, and raises the write error
  // when it could not read it.
  std::int32_t FirstEmptyButton();
  // Buttons i and j trade places.
  void SwapButtons(std::int32_t i, std::int32_t j);
  // Button i goes to button j of `to`, another page, where j holds nothing; i is left
  // empty. `to` need not be built: its section then takes the button.
  void MoveButtonTo(std::int32_t i, TPage& to, std::int32_t j);

  std::int32_t CurrentBtn() const { return currentBtn_; }
  // The keyboard focus moved to button i: the commands act on it, as on a pressed one.
  void SetCurrentBtn(std::int32_t i) { currentBtn_ = i; }
  // The names and targets of the page's buttons folded for a search: a built page's as
  // its buttons hold them (a drop the file refused included), any other's from the file,
  // without building it, read once for as long as the file stays as it was.
  std::shared_ptr<const FoldedPage> SearchTexts();
  std::int32_t PageNo() const { return pageNo_; }
  // Tells this page from every other page of the run, also one of the same number made
  // since (a file taken up again makes its pages anew): what waits holds this, not the
  // number.
  std::uint64_t Id() const { return id_; }
  const std::wstring& PageName() const { return pageName_; }
  const PageGrid& Grid() const { return grid_; }
  // The buttons the page has: none before it is built.
  std::int32_t BtnCount() const { return static_cast<std::int32_t>(buttons_.size()); }
  // Button i, from 1; null when the page has no such button.
  TLaunchBtn* Button(std::int32_t i);
  TTabSheet& Sheet() { return *sheet_; }

 private:
  std::wstring Section() const;
  struct CaptionFont {
    FontDesc desc;
    COLORREF color;
    bool operator==(const CaptionFont&) const = default;
  };
  StoredButton ReadKeys(std::int32_t i) const;
  // The caption font and colour of the page's section, as the buttons take them.
  CaptionFont ReadCaptionFont() const;
  // The font of `desc`, made once for every button of the page.
  const SharedFont& FontFor(const FontDesc& desc);
  // Where button i goes, in the sheet's pixels at its DPI.
  BitBtnParams PlaceOf(std::int32_t i) const;
  // A button at the place of `params`: a window of the last build renewed, else a new one.
  std::unique_ptr<TLaunchBtn> TakeButton(const BitBtnParams& params);
  void Highlight(const TLaunchBtn& sender);
  // Button j's keys in the section, from button `from` of another page.
  void WriteButtonKeys(std::int32_t j, const TLaunchBtn& from);
  void ButtonClicked(const TLaunchBtn& sender);
  // Files dropped together on button `from`: bound in order to it and the empty buttons
  // after it, saved once; the files left over are said.
  void BindDropped(std::int32_t from, const std::vector<std::wstring>& paths);

  TPageHost& host_;
  std::vector<std::unique_ptr<TLaunchBtn>> buttons_;  // slot k holds button k + 1
  // Slot k: button k + 1's keys as the page last read or wrote them.
  std::vector<StoredButton> saved_;
  // The section's font and raw show type at the last build, to tell a change on disk.
  CaptionFont builtCaption_{};
  std::int32_t builtShowType_ = 0;  // Between LoadHeader and BuildButtons: the old buttons, in number order, to be renewed.
  std::vector<std::unique_ptr<TLaunchBtn>> spare_;
  FontDesc fontDesc_;
  int fontDpi_ = 0;
  SharedFont font_;
  TTabSheet* sheet_ = nullptr;                        // the page strip owns it
  TIniFile ini_;
  std::int32_t pageNo_;
  std::uint64_t id_;
  static inline std::uint64_t lastId_ = 0;
  // The stand-in page of a file held at start: built once, from defaults.
  bool standIn_;
  std::wstring pageName_;
  PageGrid grid_;
  std::int32_t currentBtn_ = 0;
  bool built_ = false;  // BuildButtons has run: until then the page writes nothing
  std::uint64_t missedBefore_ = 0;  // the file's missed reads when LoadHeader began
  std::uint64_t readMisses_ = 0;    // reads of the last build that missed the file
  // A write of the buttons was refused: the file lacks something the buttons hold.
  bool unsaved_ = false;
  // The search texts of the page not built, read from the file at that revision of it.
  std::shared_ptr<const FoldedPage> storedTexts_;
  std::uint64_t storedTextsRevision_ = 0;
  // FirstEmptyButton of the page not built, read from the file at that revision of it.
  std::int32_t emptyButton_ = 0;
  std::uint64_t emptyRevision_ = 0;
};

}  // namespace vl
