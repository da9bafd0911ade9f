#include "gui/bitmap_button.h"

#include <algorithm>
#include <cstdint>

#include "core/caption_lines.h"
#include "gui/accessible_button.h"
#include "gui/dib.h"
#include "gui/layout.h"
#include "gui/platform/scoped_select.h"
#include "gui/theme.h"
#include "gui/themed_paint.h"
#include "gui/tool_tip.h"

namespace vl {
namespace {

// Designed pixels, scaled by the button's DPI.
constexpr int kGlyphSpacing = 4;  // between glyph and caption
constexpr int kFocusInset = 4;
constexpr int kCaptionLines = 2;  // the most a caption wraps to
constexpr int kGoneMarkSize = 11;  // the dimmed button's mark
constexpr int kGoneMarkInset = 3;
constexpr int kMarkWidth = 2;  // the frame of a marked button

int XOf(LPARAM pos) { return static_cast<short>(LOWORD(pos)); }
int YOf(LPARAM pos) { return static_cast<short>(HIWORD(pos)); }

SIZE BitmapSize(HBITMAP bitmap) {
  BITMAP bm{};
  if (!bitmap || !GetObjectW(bitmap, sizeof bm, &bm)) return {0, 0};
  return {bm.bmWidth, bm.bmHeight < 0 ? -bm.bmHeight : bm.bmHeight};
}

// The pixels of the rectangle turned grey and halfway to the button face: the picture still
// tells which program it was, and reads as not there.
void FadeToFace(HDC dc, int x, int y, int width, int height) {
  std::uint32_t* pixels = nullptr;
  UniqueBitmap dib = MakeDib(width, height, &pixels);
  UniqueDC dibDc(CreateCompatibleDC(dc));
  if (!dib || !dibDc || !pixels) return;
  ScopedSelect select(dibDc.get(), dib.get());
  BitBlt(dibDc.get(), 0, 0, width, height, dc, x, y, SRCCOPY);
  GdiFlush();
  const COLORREF face = ThemePalette().face;
  for (int i = 0; i < width * height; ++i) {
    const std::uint32_t p = pixels[i];
    const std::uint32_t grey = (((p >> 16) & 0xFF) * 77 + ((p >> 8) & 0xFF) * 150 + (p & 0xFF) * 29) >> 8;
    pixels[i] = ((grey + GetRValue(face)) / 2) << 16 | ((grey + GetGValue(face)) / 2) << 8 | (grey + GetBValue(face)) / 2;
  }
  BitBlt(dc, x, y, width, height, dibDc.get(), 0, 0, SRCCOPY);
}

// The caption's distance from the face's edge: inside the focus mark with a gap of one
// pixel at least at any DPI.
int CaptionMargin(int dpi) { return DesignToDevice(kFocusInset, dpi) + 1 + std::max(1, DesignToDevice(1, dpi)); }

// A red disk with a white cross, `size` pixels, its top-right corner at (right, top), in a
// ring of the face's colour that keeps the focus mark beneath apart from it.
void PaintGoneMark(HDC dc, int right, int top, int size) {
  const int left = right - size;
  ScopedSelect brush(dc, GetStockObject(DC_BRUSH));
  ScopedSelect pen(dc, GetStockObject(DC_PEN));
  const Palette& p = ThemePalette();
  SetDCBrushColor(dc, p.face);
  SetDCPenColor(dc, p.face);
  Ellipse(dc, left - 1, top - 1, right + 1, top + size + 1);
  SetDCBrushColor(dc, p.goneFill);
  SetDCPenColor(dc, p.goneFill);
  Ellipse(dc, left, top, right, top + size);
  SetDCPenColor(dc, p.goneCross);
  const int in = size / 4, out = size - size / 4;
  for (int thick = 0; thick < 2; ++thick) {  // two pixels wide
    MoveToEx(dc, left + in + thick, top + in, nullptr);
    LineTo(dc, left + out + thick, top + out);
    MoveToEx(dc, left + out - 1 + thick, top + in, nullptr);
    LineTo(dc, left + in - 1 + thick, top + out);
  }
}

// The off-screen buffer every face is drawn in before it goes to the screen, kept from one
// paint to the next: a bitmap made and freed for each face was most of what painting a
// page of small buttons cost. Like the screen, whatever DC a face is painted into, and
// grown to the largest face asked for. Faces are painted on the GUI thread only.
class FaceBuffer {
 public:
  // The buffer's DC, holding at least width x height pixels, in a fresh DC's state until
  // the lease ends; null when no buffer can be made.
  class Lease {
   public:
    Lease(FaceBuffer& buffer, int width, int height) : dc_(buffer.Grow(width, height)) {
      if (dc_) state_ = SaveDC(dc_);
    }
    ~Lease() {
      if (dc_ && state_) RestoreDC(dc_, state_);
    }
    Lease(const Lease&) = delete;
    Lease& operator=(const Lease&) = delete;
    HDC dc() const { return dc_; }

   private:
    HDC dc_;
    int state_ = 0;
  };

 private:
  HDC Grow(int width, int height) {
    if (!dc_) dc_.reset(CreateCompatibleDC(nullptr));
    if (!dc_) return nullptr;
    if (width > size_.cx || height > size_.cy) {
      const SIZE size{std::max<LONG>(width, size_.cx), std::max<LONG>(height, size_.cy)};
      HDC screen = GetDC(nullptr);
      UniqueBitmap bitmap(screen ? CreateCompatibleBitmap(screen, size.cx, size.cy) : nullptr);
      if (screen) ReleaseDC(nullptr, screen);
      if (!bitmap) return nullptr;
      SelectObject(dc_.get(), bitmap.get());
      bitmap_ = std::move(bitmap);  // the smaller one, no longer selected, goes
      size_ = size;
    }
    return dc_.get();
  }

  UniqueBitmap bitmap_;  // freed after the DC that holds it
  UniqueDC dc_;
  SIZE size_{0, 0};
};

FaceBuffer& TheFaceBuffer() {
  static FaceBuffer buffer;
  return buffer;
}

}  // namespace

TBitBtn::TBitBtn(const BitBtnParams& params) {
  WindowParams p;
  p.className = L"TBitBtn";
  p.caption = params.caption;
  p.style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS;
  p.x = params.x;
  p.y = params.y;
  p.width = params.width;
  p.height = params.height;
  p.parent = params.parent;
  Create(p);
}

TBitBtn::~TBitBtn() = default;

std::wstring TBitBtn::Caption() const {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(Handle())) + 1, L'\0');
  text.resize(static_cast<std::size_t>(
      GetWindowTextW(Handle(), text.data(), static_cast<int>(text.size()))));
  return text;
}

void TBitBtn::SetCaption(const std::wstring& caption) {
  // Reading the text is local; setting it is a trip to the window manager, and a page
  // rebuild sets the same caption on a thousand buttons.
  if (Caption() == caption) return;
  SetWindowTextW(Handle(), caption.c_str());
  InvalidateRect(Handle(), nullptr, FALSE);
}

void TBitBtn::SetGlyph(UniqueBitmap glyph) {
  SetGlyph(glyph ? std::make_shared<const UniqueBitmap>(std::move(glyph)) : SharedBitmap());
}

void TBitBtn::SetGlyph(SharedBitmap glyph) {
  if (glyph == glyph_) return;
  glyph_ = std::move(glyph);
  InvalidateRect(Handle(), nullptr, FALSE);
}

void TBitBtn::SetFont(const FontDesc& desc) { SetFont(MakeSharedFont(desc, DpiOf(Handle()))); }

void TBitBtn::SetFont(SharedFont font) {
  if (font == font_) return;
  font_ = std::move(font);
  layout_ = {};  // a font freed may leave its handle to the next one
  InvalidateRect(Handle(), nullptr, FALSE);
}

HFONT TBitBtn::Font() const {
  return font_ && *font_ ? font_->get() : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

void TBitBtn::SetFontColor(COLORREF color) {
  if (color == fontColor_) return;
  fontColor_ = color;
  InvalidateRect(Handle(), nullptr, FALSE);
}

void TBitBtn::SetPlaceholder(const std::wstring& text) {
  if (text == placeholder_) return;
  placeholder_ = text;
  if (Caption().empty()) InvalidateRect(Handle(), nullptr, FALSE);
}

void TBitBtn::SetDropTarget(bool on) {
  if (on == dropTarget_) return;
  dropTarget_ = on;
  InvalidateRect(Handle(), nullptr, FALSE);
}

void TBitBtn::SetHint(const std::wstring& hint) {
  hint_ = hint;
  if (toolTip_) toolTip_->SetText(hint_);
}

void TBitBtn::SetShowHint(bool on) {
  showHint_ = on;
  // The tool itself waits for the pointer (MakeToolTip): a page of 1,600 bound buttons
  // built would otherwise pay for as many tools, most of which nobody points at.
  if (toolTip_) toolTip_->Activate(on);
}

void TBitBtn::MakeToolTip(WPARAM keys, LPARAM pos) {
  try {
    toolTip_ = std::make_unique<TToolTip>(Handle());
  } catch (...) {
    // No tooltip window to be had (the user-object quota reached): the button does
    // without its tip rather than failing at every move of the pointer.
    showHint_ = false;
    return;
  }
  toolTip_->SetText(hint_);
  // The control watches the button's messages from the next one on: this one it is told.
  MSG move{Handle(), WM_MOUSEMOVE, keys, pos, static_cast<DWORD>(GetMessageTime()), {}};
  GetCursorPos(&move.pt);
  SendMessageW(toolTip_->Handle(), TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&move));
}

void TBitBtn::SetBounds(int x, int y, int width, int height) {
  MoveWindow(Handle(), x, y, width, height, TRUE);
}

void TBitBtn::SetDimmed(bool dimmed) {
  if (dimmed == dimmed_) return;
  dimmed_ = dimmed;
  InvalidateRect(Handle(), nullptr, FALSE);
}

void TBitBtn::SetMarked(bool on) {
  if (on == marked_) return;
  marked_ = on;
  // One key of a search marks or clears every face of a page: each is drawn at once, the
  // mark alone over the face on screen or the face again without it, which costs a
  // fraction of a paint message's round (under Wine, a sixth to a third). A face nobody
  // can see now waits for its paint.
  HDC dc = IsWindowVisible(Handle()) ? GetDC(Handle()) : nullptr;
  if (!dc) {
    InvalidateRect(Handle(), nullptr, FALSE);
    return;
  }
  if (on) {
    RECT client;
    GetClientRect(Handle(), &client);
    PaintMark(dc, client, DpiOf(Handle()));
  } else {
    Paint(dc);
  }
  ReleaseDC(Handle(), dc);
}

void TBitBtn::Renew(const BitBtnParams& params) {
  NewLife();
  if (GetCapture() == Handle()) ReleaseCapture();
  OnClick = nullptr;
  OnMouseDown = nullptr;
  OnMouseUp = nullptr;
  OnMouseMove = nullptr;
  OnMouseLeave = nullptr;
  drag_.Reset();
  glyph_.reset();
  font_.reset();
  fontColor_ = RGB(0, 0, 0);
  hint_.clear();
  showHint_ = false;
  toolTip_.reset();
  dimmed_ = false;
  pushed_ = leftDown_ = spaceDown_ = marked_ = dropTarget_ = false;
  placeholder_.clear();
  // trackingLeave_ stays as it is: the system still owes the WM_MOUSELEAVE asked for.
  SetCaption(params.caption);
  RECT now;
  GetWindowRect(Handle(), &now);
  MapWindowPoints(HWND_DESKTOP, GetParent(Handle()), reinterpret_cast<POINT*>(&now), 2);
  if (now.left != params.x || now.top != params.y || now.right - now.left != params.width ||
      now.bottom - now.top != params.height)
    SetWindowPos(Handle(), nullptr, params.x, params.y, params.width, params.height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  InvalidateRect(Handle(), nullptr, FALSE);
}

void TBitBtn::KeyClick() { Click(); }

void TBitBtn::MouseUp(TMouseButton button, UINT keys, int x, int y) {
  if (OnMouseUp) OnMouseUp(*this, button, keys, x, y);
}

void TBitBtn::ButtonDown(TMouseButton button, WPARAM keys, LPARAM pos) {
  // Capture for every button, so that a release outside still comes to us.
  SetCapture(Handle());
  if (button == TMouseButton::mbLeft) {
    if (GetFocus() != Handle()) SetFocus(Handle());
    leftDown_ = true;
    SetPushed(true);
  }
  if (OnMouseDown) OnMouseDown(*this, button, static_cast<UINT>(keys), XOf(pos), YOf(pos));
}

void TBitBtn::ButtonUp(TMouseButton button, WPARAM keys, LPARAM pos) {
  int x = XOf(pos), y = YOf(pos);
  RECT client;
  GetClientRect(Handle(), &client);
  bool clicked = button == TMouseButton::mbLeft && leftDown_ && PtInRect(&client, POINT{x, y});
  if (button == TMouseButton::mbLeft) {
    leftDown_ = false;
    SetPushed(false);
  }
  if (!(keys & (MK_LBUTTON | MK_MBUTTON | MK_RBUTTON)) && GetCapture() == Handle())
    ReleaseCapture();
  const Life life = Watch();
  MouseUp(button, static_cast<UINT>(keys), x, y);
  // The mouse-up stage may run messages (a launch does), in which the button can go.
  if (clicked && life.Alive()) Click();
}

void TBitBtn::SetPushed(bool pushed) {
  if (pushed == pushed_) return;
  pushed_ = pushed;
  InvalidateRect(Handle(), nullptr, FALSE);
}

void TBitBtn::Click() {
  if (OnClick) OnClick(*this);
}

LRESULT TBitBtn::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  // A drag's messages are the drag's alone; the loss of the capture is ours first.
  if (msg != WM_CAPTURECHANGED && drag_.Filter(Handle(), msg, wParam, lParam)) return 0;
  switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      ButtonDown(TMouseButton::mbLeft, wParam, lParam);
      return 0;
    case WM_MBUTTONDOWN:
      ButtonDown(TMouseButton::mbMiddle, wParam, lParam);
      return 0;
    case WM_RBUTTONDOWN:
      ButtonDown(TMouseButton::mbRight, wParam, lParam);
      return 0;
    case WM_LBUTTONUP:
      ButtonUp(TMouseButton::mbLeft, wParam, lParam);
      return 0;
    case WM_MBUTTONUP:
      ButtonUp(TMouseButton::mbMiddle, wParam, lParam);
      return 0;
    case WM_RBUTTONUP:
      ButtonUp(TMouseButton::mbRight, wParam, lParam);
      // The system turns it into WM_CONTEXTMENU, which goes up to the parent whose menu
      // serves the button.
      return DefaultHandler(msg, wParam, lParam);
    case WM_MOUSEMOVE: {
      if (showHint_ && !toolTip_) MakeToolTip(wParam, lParam);
      if (!trackingLeave_) {
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, Handle(), 0};
        trackingLeave_ = TrackMouseEvent(&track) != FALSE;
      }
      if (leftDown_) {
        RECT client;
        GetClientRect(Handle(), &client);
        SetPushed(PtInRect(&client, POINT{XOf(lParam), YOf(lParam)}) != FALSE);
      }
      if (OnMouseMove) OnMouseMove(*this, static_cast<UINT>(wParam), XOf(lParam), YOf(lParam));
      return 0;
    }
    case WM_MOUSELEAVE:
      trackingLeave_ = false;
      if (OnMouseLeave) OnMouseLeave(*this);
      return 0;
    case WM_CAPTURECHANGED:
      leftDown_ = false;
      SetPushed(false);
      // Last: a drag called off may take the button with it.
      drag_.Filter(Handle(), msg, wParam, lParam);
      return 0;
    case WM_IME_STARTCOMPOSITION:
    case WM_IME_COMPOSITION:
    case WM_IME_ENDCOMPOSITION:
      // A Space held as the composition began is the input method's from now on.
      if (msg == WM_IME_STARTCOMPOSITION && spaceDown_) {
        spaceDown_ = false;
        SetPushed(false);
      }
      composing_ = msg != WM_IME_ENDCOMPOSITION;
      SendMessageW(GetAncestor(Handle(), GA_ROOT), CompositionNoticeMessage(), msg, lParam);
      return DefaultHandler(msg, wParam, lParam);
    case WM_KEYDOWN:
      // The input method takes the keys it composes with (they come as VK_PROCESSKEY); one
      // that reaches us all the same during a composition is still not a press.
      if (composing_) return 0;
      if (wParam == VK_SPACE) {
        spaceDown_ = true;
        SetPushed(true);
      } else if (wParam == VK_RETURN) {
        KeyClick();
      }
      return 0;
    case WM_KEYUP:
      if (wParam == VK_SPACE && spaceDown_) {
        spaceDown_ = false;
        SetPushed(false);
        KeyClick();
      }
      return 0;
    case WM_GETDLGCODE:
      return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
    case WM_KILLFOCUS:
      // The composition, if the input method keeps it, goes on at the window given the focus.
      composing_ = false;
      InvalidateRect(Handle(), nullptr, FALSE);
      return 0;
    case WM_SETFOCUS:
    case WM_ENABLE:
      InvalidateRect(Handle(), nullptr, FALSE);
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(Font());
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(Handle(), &ps);
      Paint(dc);
      EndPaint(Handle(), &ps);
      return 0;
    }
    case WM_PRINTCLIENT:
      Paint(reinterpret_cast<HDC>(wParam));
      return 0;
    case WM_GETOBJECT:
      if (std::optional<LRESULT> answer = AnswerAccessibleButton(Handle(), wParam, lParam)) return *answer;
      break;
  }
  if (msg == AccessibleNameMessage()) {
    TellAccessibleName(lParam, AccessibleName());
    return 0;
  }
  if (msg == AccessiblePressMessage()) {
    KeyClick();
    return 0;
  }
  if (msg == ThemeChangedMessage()) {
    InvalidateRect(Handle(), nullptr, FALSE);
    return 0;
  }
  return TWindow::HandleMessage(msg, wParam, lParam);
}

void TBitBtn::Paint(HDC dc) const {
  RECT rc;
  GetClientRect(Handle(), &rc);
  int width = rc.right, height = rc.bottom;
  if (width <= 0 || height <= 0) return;
  // Drawn off screen first, so that the face does not flicker while it is rebuilt.
  FaceBuffer::Lease buffer(TheFaceBuffer(), width, height);
  const HDC mem = buffer.dc();
  if (!mem) return;

  const bool pushed = pushed_ || dropTarget_;
  const bool light = CurrentThemeMode() == ThemeMode::Light;
  if (light)
    DrawFrameControl(mem, &rc, DFC_BUTTON, DFCS_BUTTONPUSH | (pushed ? DFCS_PUSHED : 0));
  else
    PaintFlatFace(mem, rc, pushed);
  // Everything inside the frame moves with a press, the focus mark too: the caption keeps
  // its gap to it.
  int shift = pushed ? 1 : 0;

  ScopedSelect selectFont(mem, Font());
  const std::wstring caption = Caption();
  const bool placeholder = caption.empty() && !placeholder_.empty();
  const int dpi = DpiOf(Handle());
  SIZE glyph = BitmapSize(Glyph());
  const CaptionLayout& layout = LayOut(mem, placeholder ? placeholder_ : caption, width, height, glyph.cy, dpi);
  const int textHeight = layout.lineHeight * static_cast<int>(layout.lines.size());
  int total = glyph.cy + textHeight + (glyph.cy && textHeight ? DesignToDevice(kGlyphSpacing, dpi) : 0);
  int top = (height - total) / 2;
  if (glyph.cy) {
    PaintGlyph(mem, (width - glyph.cx) / 2 + shift, top + shift);
    if (dimmed_) FadeToFace(mem, (width - glyph.cx) / 2 + shift, top + shift, glyph.cx, glyph.cy);
  }
  if (textHeight) {
    const int margin = CaptionMargin(dpi);
    SetBkMode(mem, TRANSPARENT);
    SetTextColor(mem, IsWindowEnabled(Handle()) && !dimmed_ && !placeholder ? CaptionColour(fontColor_)
                                                                            : ThemePalette().grayText);
    // File names may hold "&": they are shown as they are, not as mnemonics. Lines broken
    // by the rules carry their own ellipsis.
    const UINT format = DT_CENTER | DT_SINGLELINE | DT_NOPREFIX | (layout.wrapped ? 0 : DT_END_ELLIPSIS);
    int y = top + total - textHeight + shift;
    for (const std::wstring& line : layout.lines) {
      RECT box{margin + shift, y, width - margin + shift, y + layout.lineHeight};
      DrawTextW(mem, line.c_str(), static_cast<int>(line.size()), &box, format);
      y += layout.lineHeight;
    }
  }
  if (GetFocus() == Handle()) {
    RECT focus = rc;
    const int inset = DesignToDevice(kFocusInset, dpi);
    InflateRect(&focus, -inset, -inset);
    OffsetRect(&focus, shift, shift);
    if (light)
      DrawFocusRect(mem, &focus);
    else
      PaintFocusFrame(mem, focus);
  }
  // Over the focus mark, with a ring that keeps the two apart: both are seen.
  if (dimmed_) {
    const int inset = DesignToDevice(kGoneMarkInset, dpi);
    PaintGoneMark(mem, width - inset, inset, DesignToDevice(kGoneMarkSize, dpi));
  }
  // The frames go along the edge, over a gone mark that a small face lets reach it.
  if (marked_ || dropTarget_) PaintMark(mem, rc, dpi);
  BitBlt(dc, 0, 0, width, height, mem, 0, 0, SRCCOPY);
}

void TBitBtn::PaintMark(HDC dc, const RECT& client, int dpi) const {
  // Inside the face's edge, clear of the focus mark, over whatever the face shows.
  const int w = DesignToDevice(kMarkWidth, dpi);
  RECT frame = client;
  SetDCBrushColor(dc, ThemePalette().mark);
  for (int k = 0; k < w; ++k) {
    InflateRect(&frame, -1, -1);
    FrameRect(dc, &frame, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
  }
}

const TBitBtn::CaptionLayout& TBitBtn::LayOut(HDC dc, const std::wstring& text, int width, int height,
                                              int glyphHeight, int dpi) const {
  const HFONT font = Font();
  if (layout_.text == text && layout_.font == font && layout_.width == width && layout_.height == height &&
      layout_.glyphHeight == glyphHeight && layout_.dpi == dpi && (text.empty() || layout_.lineHeight))
    return layout_;
  layout_ = CaptionLayout{text, font, width, height, glyphHeight, dpi, {}, 0, false};
  if (text.empty()) return layout_;
  auto measure = [dc](std::wstring_view piece) {
    SIZE size{0, 0};
    GetTextExtentExPointW(dc, piece.data(), static_cast<int>(piece.size()), 0, nullptr, nullptr, &size);
    return static_cast<int>(size.cx);
  };
  RECT line{0, 0, width, 0};
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &line, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
  layout_.lineHeight = line.bottom - line.top;
  layout_.lines = {text};
  const int margin = CaptionMargin(dpi);
  const int room = width - 2 * margin;
  if (measure(text) <= room) return layout_;
  // Two lines only where the glyph and both lines stand inside the focus mark.
  const int needed = glyphHeight + (glyphHeight ? DesignToDevice(kGlyphSpacing, dpi) : 0) +
                     kCaptionLines * layout_.lineHeight;
  if (needed > height - 2 * margin) return layout_;
  layout_.lines = CaptionLines(text, room, kCaptionLines, measure);
  layout_.wrapped = true;
  return layout_;
}

void TBitBtn::PaintGlyph(HDC dc, int x, int y) const {
  SIZE size = BitmapSize(Glyph());
  UniqueDC glyphDc(CreateCompatibleDC(dc));
  UniqueDC maskDc(CreateCompatibleDC(dc));
  UniqueBitmap mask(CreateBitmap(size.cx, size.cy, 1, 1, nullptr));
  if (!glyphDc || !maskDc || !mask) return;
  ScopedSelect selectGlyph(glyphDc.get(), Glyph());
  ScopedSelect selectMask(maskDc.get(), mask.get());
  // The mask is white where the glyph holds the colour of its bottom-left pixel.
  SetBkColor(glyphDc.get(), GetPixel(glyphDc.get(), 0, size.cy - 1));
  BitBlt(maskDc.get(), 0, 0, size.cx, size.cy, glyphDc.get(), 0, 0, SRCCOPY);
  COLORREF oldBk = SetBkColor(dc, RGB(255, 255, 255));
  COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
  BitBlt(dc, x, y, size.cx, size.cy, glyphDc.get(), 0, 0, SRCINVERT);
  BitBlt(dc, x, y, size.cx, size.cy, maskDc.get(), 0, 0, SRCAND);
  BitBlt(dc, x, y, size.cx, size.cy, glyphDc.get(), 0, 0, SRCINVERT);
  SetBkColor(dc, oldBk);
  SetTextColor(dc, oldText);
}

UINT CompositionNoticeMessage() {
  static const UINT msg = RegisterWindowMessageW(L"VantriLaunch.CompositionNotice");
  return msg;
}

}  // namespace vl
