// TPageControl: a tab control with one sheet per tab, the sheets holding the controls of
// their page. TTabSheet: one such sheet, a plain child window with a caption (its tab's
// text) and a tag.
//
// The control owns its sheets and its window; destroying a sheet destroys the controls on
// it. Only the sheet of the selected tab is visible; it fills the control's display area
// (the rectangle the tab control answers to TCM_ADJUSTRECT, which a derived class may
// change through AdjustDisplayRect). Tab changes by the user arrive at the parent as
// WM_NOTIFY; the parent hands them to Notify, which shows the new sheet and raises OnChange.
// In a dialog, Tab walks into the controls of the shown sheet, and a sheet passes the
// notifications of its controls (TControl) back to them and the dialog messages of its
// controls (Tab, Enter and Esc from a multi-line edit) on to the window it sits in; a
// sheet is never closed by one.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gui/platform/handles.h"
#include "gui/window.h"
#include "gui/window_subclass.h"

namespace vl {

class TTabSheet : public TWindow {
 public:
  TTabSheet(HWND pageControl, std::wstring caption, int tag);

  const std::wstring& Caption() const { return caption_; }
  int Tag() const { return tag_; }

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  friend class TPageControl;  // the caption is the tab's text: they change together
  std::wstring caption_;
  int tag_;
};

class TPageControl {
 public:
  TPageControl(HWND parent, int x, int y, int width, int height, HFONT font);
  virtual ~TPageControl();
  TPageControl(const TPageControl&) = delete;
  TPageControl& operator=(const TPageControl&) = delete;

  HWND Handle() const { return hwnd_.get(); }

  // Appends a sheet and its tab; the selection does not move, except onto the first sheet.
  TTabSheet& AddSheet(const std::wstring& caption, int tag);
  // Destroys the sheet at index and its tab. When it was selected, the tab after it is
  // selected, or the first tab when it was the last.
  void DeleteSheet(int index);
  // The sheet at `from` and its tab to `to`, the others closing up; the selected sheet
  // stays selected.
  void MoveSheet(int from, int to);
  int SheetCount() const { return static_cast<int>(sheets_.size()); }
  // The index of a sheet of this control; -1 for any other.
  int IndexOf(const TTabSheet& sheet) const;
  TTabSheet& Sheet(int index) { return *sheets_.at(static_cast<std::size_t>(index)); }
  // The text of the tab at index and its sheet's caption.
  void SetCaption(int index, const std::wstring& caption);
  int ActivePageIndex() const;
  // The index of the tab under a point of the screen; -1 where there is none.
  int TabAt(POINT screen) const;
  void SetActivePageIndex(int index);

  void SetBounds(int x, int y, int width, int height);
  // The rectangle, in the control's client coordinates, that the sheets fill.
  RECT DisplayRect() const;

  // Hands a WM_NOTIFY of the parent to the control; true when it was the control's.
  bool Notify(const NMHDR& header);
  std::function<void()> OnChange;

 protected:
  // Lets a derived control change the display area the tab control computed.
  virtual void AdjustDisplayRect(RECT& rect, const RECT& client) const;

 private:
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
  void ShowActiveSheet();

  UniqueWindow hwnd_;
  std::unique_ptr<TWindowSubclass> subclass_;
  std::vector<std::unique_ptr<TTabSheet>> sheets_;
};

}  // namespace vl
