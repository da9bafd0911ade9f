// TBitBtn: a push button with a glyph bitmap above its caption, a font of its own and a
// tooltip, drawn by the button itself.
//
// The glyph is drawn with its bottom-left pixel's colour as the transparent colour, as
// glyph bitmaps are made for. The button shares its glyph and font with whoever gave them
// (many buttons may draw one), has its tooltip as a tool of the tooltip control its
// top-level window's buttons share, and is a child window of the parent given at creation
// that ends with it (or with the object).
// Mouse events carry the button and the pointer in client coordinates. OnClick comes
// when the left button is released over the button after being pressed on it, and from
// the keyboard (space, Enter) when it has the focus. A derived class may replace the
// mouse-up stage (MouseUp), which raises OnMouseUp. A press that becomes a drag (Drag(),
// when its owner lets it) raises neither the mouse-up stage nor OnClick.
// A caption too wide for one line takes a second one (core/caption_lines) where the face
// has room for both lines (and the glyph), else it ends in an ellipsis on one line. It stays
// clear of the focus mark by a pixel at least. A button without a caption may show a
// placeholder in grey, laid out the same way.
// A dimmed button draws its glyph faded to grey, its caption in the theme's grey text
// colour and a small red mark with a white cross in its top-right corner: what it stands
// for is not there. The face, the marks and the caption follow the theme (gui/theme): the
// caption is drawn in FontColor where that reads on the face, else in the theme's text.
// The button is a push button to accessibility clients (gui/accessible_button), named by
// AccessibleName. It draws the focus mark while it has the keyboard focus, and a frame of
// the selection colour while it is marked (a match of a search).
// While the input method composes at the button, the keys that reach it are the input
// method's (Enter commits, Space converts): none presses the button. Each composition
// message it receives is told to its top-level window first (CompositionNoticeMessage),
// which decides where the composition shows.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gui/drag_tracker.h"
#include "gui/font.h"
#include "gui/mouse.h"
#include "gui/platform/handles.h"
#include "gui/window.h"

namespace vl {

class TToolTip;

// Sent to a button's top-level window before the button hands a composition message on
// to the system: wParam is the message (WM_IME_STARTCOMPOSITION, WM_IME_COMPOSITION or
// WM_IME_ENDCOMPOSITION), lParam its lParam. The button has the keyboard focus, and so
// owns the input context the composition runs in.
UINT CompositionNoticeMessage();

struct BitBtnParams {
  HWND parent = nullptr;
  int x = 0, y = 0, width = 75, height = 25;  // the parent's pixels: the caller scales them
  std::wstring caption;
};

class TBitBtn : public TWindow {
 public:
  explicit TBitBtn(const BitBtnParams& params);
  ~TBitBtn() override;

  std::wstring Caption() const;
  void SetCaption(const std::wstring& caption);

  // Takes the bitmap; an empty one removes the glyph.
  void SetGlyph(UniqueBitmap glyph);
  void SetGlyph(SharedBitmap glyph);
  HBITMAP Glyph() const { return glyph_ ? glyph_->get() : nullptr; }
  const SharedBitmap& SharedGlyph() const { return glyph_; }

  void SetFont(const FontDesc& desc);
  void SetFont(SharedFont font);
  HFONT Font() const;
  void SetFontColor(COLORREF color);
  COLORREF FontColor() const { return fontColor_; }

  // Shown in grey while the caption is empty; empty for none.
  void SetPlaceholder(const std::wstring& text);
  const std::wstring& Placeholder() const { return placeholder_; }
  // The lines the face shows its caption (or placeholder) in, as last painted.
  std::vector<std::wstring> CaptionLinesShown() const { return layout_.lines; }
  // Drawn lit as the place a dragged button would go, while on: pressed, in the frame of
  // the selection colour (the system's hot-tracking colour is too faint on some themes).
  void SetDropTarget(bool on);
  bool DropTarget() const { return dropTarget_; }

  // The tooltip shows Hint while ShowHint is on; a hint of two lines ("\n") shows two.
  void SetHint(const std::wstring& hint);
  const std::wstring& Hint() const { return hint_; }
  void SetShowHint(bool on);
  bool ShowHint() const { return showHint_; }
  // The tooltip control, once the pointer has come over the button with ShowHint on; null
  // before.
  const TToolTip* ToolTip() const { return toolTip_.get(); }

  void SetBounds(int x, int y, int width, int height);

  void SetDimmed(bool dimmed);
  bool Dimmed() const { return dimmed_; }
  // Drawn with a frame of the selection colour while on.
  void SetMarked(bool on);
  bool Marked() const { return marked_; }
  // What a screen reader says for the button: its caption, unless a derived class knows
  // better (a button that shows only its glyph).
  virtual std::wstring AccessibleName() const { return Caption(); }

  // Makes the button what the constructor makes of `params`, on the window it has: a
  // window is far dearer to make than to keep, and a page rebuilt with the same grid
  // needs every one it had. The parent stays; the events are cleared, and a press begun
  // before ends with no click.
  virtual void Renew(const BitBtnParams& params);

  using MouseEvent = std::function<void(TBitBtn&, TMouseButton, UINT keys, int x, int y)>;
  std::function<void(TBitBtn&)> OnClick;
  MouseEvent OnMouseDown;
  MouseEvent OnMouseUp;
  std::function<void(TBitBtn&, UINT keys, int x, int y)> OnMouseMove;
  // The pointer has left the button.
  std::function<void(TBitBtn&)> OnMouseLeave;
  // The drag of the button with the left mouse button: its owner sets the events.
  TDragTracker& Drag() { return drag_; }
  const TDragTracker& Drag() const { return drag_; }

 protected:
  // The mouse-up stage; this one raises OnMouseUp. One that runs messages may leave the
  // button destroyed (see TWindow::Watch).
  virtual void MouseUp(TMouseButton button, UINT keys, int x, int y);
  // The button pressed from the keyboard (Space released, Enter); this one raises OnClick.
  virtual void KeyClick();
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  void ButtonDown(TMouseButton button, WPARAM keys, LPARAM pos);
  void ButtonUp(TMouseButton button, WPARAM keys, LPARAM pos);
  void SetPushed(bool pushed);
  // The tooltip's tool, made at the pointer's first move over the button.
  void MakeToolTip(WPARAM keys, LPARAM pos);
  void Click();
  void Paint(HDC dc) const;
  void PaintGlyph(HDC dc, int x, int y) const;
  // The caption's lines on a face of this size: worked out again only when the text, the
  // size, the glyph, the font or the DPI changed, for a face is painted far more often.
  struct CaptionLayout {
    std::wstring text;
    HFONT font = nullptr;
    int width = 0, height = 0, glyphHeight = 0, dpi = 0;
    std::vector<std::wstring> lines;
    int lineHeight = 0;
    bool wrapped = false;  // more than one line was considered: no ellipsis of the system's
  };
  const CaptionLayout& LayOut(HDC dc, const std::wstring& text, int width, int height, int glyphHeight,
                              int dpi) const;
  // A frame of the selection colour inside the edge of the face of that size: the search's
  // mark, or the place of a drop.
  void PaintMark(HDC dc, const RECT& client, int dpi) const;

  SharedBitmap glyph_;
  SharedFont font_;  // empty: the system's GUI font
  COLORREF fontColor_ = RGB(0, 0, 0);
  std::wstring hint_;
  bool showHint_ = false;
  std::unique_ptr<TToolTip> toolTip_;
  bool dimmed_ = false;
  TDragTracker drag_;
  bool pushed_ = false;    // drawn pressed
  bool leftDown_ = false;  // the left button went down on us and is still down
  bool spaceDown_ = false;
  bool composing_ = false;  // between the input method's start and end of a composition here
  bool trackingLeave_ = false;  // WM_MOUSELEAVE has been asked for
  bool marked_ = false;
  bool dropTarget_ = false;
  std::wstring placeholder_;
  mutable CaptionLayout layout_;
};

}  // namespace vl
