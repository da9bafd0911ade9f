// The standard controls of the program's dialogs, each a thin owner of one child window
// of the common controls: group box, label, edit, edit with a label on its left, multi-
// line edit, push button and check box.
//
// A control object owns its window: destroying the object destroys the window, unless the
// window has already gone with its parent, which it then leaves alone. Its position is
// given in designed pixels (gui/layout.h). The parent hands the WM_COMMAND it receives to
// TControl::Reflect, which passes the notification to the control that sent it, so a
// control raises its own events wherever it sits (on a form, on a tab sheet).
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "gui/layout.h"

namespace vl {

struct ControlParams {
  HWND parent = nullptr;
  DesignRect rect;
  std::wstring text;
  HFONT font = nullptr;  // we don't own it; it must outlive the control
};

class TControl {
 public:
  virtual ~TControl();
  TControl(const TControl&) = delete;
  TControl& operator=(const TControl&) = delete;

  HWND Handle() const { return hwnd_; }
  int Id() const { return id_; }
  std::wstring Text() const;
  void SetText(std::wstring_view text);
  bool Enabled() const;
  virtual void SetEnabled(bool enabled);
  // A font other than the one it was made with; we don't own it.
  void SetFont(HFONT font);

  // Placed again at a new DPI with every other control and given its fonts for it: a
  // control whose size follows its text measures it again here.
  virtual void Rescaled() {}

  // Hands a WM_COMMAND of the parent to the control that sent it; false when no control
  // of ours did.
  static bool Reflect(WPARAM wParam, LPARAM lParam);
  // The control object of a window; null for any other window.
  static TControl* FromHandle(HWND hwnd);

 protected:
  // style: besides WS_CHILD | WS_VISIBLE, which every control has.
  TControl(const ControlParams& params, const wchar_t* className, DWORD style, DWORD exStyle = 0);
  // A notification code of WM_COMMAND from the control's own window.
  virtual void Command(WORD code);

 private:
  HWND hwnd_ = nullptr;
  int id_ = 0;
};

class TGroupBox : public TControl {
 public:
  explicit TGroupBox(const ControlParams& params);
};

// Static text. align: SS_LEFT, SS_CENTER or SS_RIGHT.
class TLabel : public TControl {
 public:
  explicit TLabel(const ControlParams& params, DWORD align = SS_LEFT);
};

class TEdit : public TControl {
 public:
  explicit TEdit(const ControlParams& params);
};

namespace detail {
// Made before the edit, so that the label comes just before it in the tab order and a
// mnemonic in its caption moves the focus to the edit.
struct LabelFirst {
  explicit LabelFirst(const ControlParams& editParams);
  // The label measured again and put to the left of `control`, centred on it.
  void PlaceLabelBeside(HWND control);
  TLabel label_;
};
}  // namespace detail

// An edit with its label 3 pixels to its left, vertically centred on it, as wide as its
// text (measured again at each DPI) with a few pixels to spare; the label follows the
// edit's enabled state.
class TLabeledEdit : private detail::LabelFirst, public TEdit {
 public:
  // params.text is the label's caption; the edit starts empty.
  explicit TLabeledEdit(const ControlParams& params);
  void SetEnabled(bool enabled) override;
  void Rescaled() override;
  const TLabel& EditLabel() const { return label_; }
};

// A multi-line edit with a vertical scroll bar; Enter starts a new line.
class TMemo : public TControl {
 public:
  explicit TMemo(const ControlParams& params);
  std::vector<std::wstring> Lines() const;
  void SetLines(const std::vector<std::wstring>& lines);
};

class TButton : public TControl {
 public:
  explicit TButton(const ControlParams& params);
  // Drawn as the dialog's default button (a thicker frame); the form decides what Enter
  // presses.
  void SetDefault(bool isDefault);
  // Raises OnClick, as a click would.
  void Click();
  std::function<void()> OnClick;

 protected:
  void Command(WORD code) override;
};

class TCheckBox : public TControl {
 public:
  // `style` adds to the box's own (BS_MULTILINE for a caption that wraps).
  explicit TCheckBox(const ControlParams& params, DWORD style = 0);
  bool Checked() const;
  // Raises OnClick when the state changes, as a click by the user would.
  void SetChecked(bool checked);
  std::function<void()> OnClick;

 protected:
  void Command(WORD code) override;
};

}  // namespace vl
