// TLaunchBtn: the button that holds one launch target.
//
// Dropping one file, folder or shortcut on an unbound button binds it (the button then
// raises OnRegist); several dropped at once go to OnDropSeveral; items the shell hands
// over without files (a Store app, a shell folder) arrive the same way by their parsing
// names (gui/shell_drop.h); releasing the left or middle mouse button over a bound button opens
// the target with the shell in the button's working folder, wherever the pointer is at
// the release. A bound button whose target is gone is drawn dimmed (TBitBtn::SetDimmed);
// its click looks again and, still gone, says so with the path and opens nothing. The
// three paths are kept as written (environment names, a path relative to the launcher's
// folder) and read through UsablePath wherever the button opens its target, looks whether
// it is gone, or reads its icon. The glyph is the icon of IconPath over the button-face
// colour, 32 x 32 designed pixels at the button's DPI, shared with every other button
// showing that file.
//
// Writing the fields only stores them: nothing is redrawn and the caption does not follow
// BtnName, except for SetShowType, which rebuilds the face. The owner (the page) reads and
// writes the fields in the settings file; the button never touches it. The button accepts
// dropped files from its creation on.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "buttons/launch_options.h"
#include "gui/bitmap_button.h"

namespace vl {

enum TShowType { st_Both, st_TextOnly, st_IconOnly };

// What a screen reader says for a button that holds nothing.
inline constexpr wchar_t kEmptyButtonName[] = L"空きボタン";

class TLaunchBtn : public TBitBtn {
 public:
  explicit TLaunchBtn(const BitBtnParams& params);
  void Renew(const BitBtnParams& params) override;

  const std::wstring& BtnName() const { return btnName_; }
  void SetBtnName(std::wstring name) { btnName_ = std::move(name); }
  const std::wstring& FullPath() const { return fullPath_; }
  void SetFullPath(std::wstring path) { fullPath_ = std::move(path); }
  const std::wstring& IconPath() const { return iconPath_; }
  void SetIconPath(std::wstring path) { iconPath_ = std::move(path); }
  const std::wstring& WorkDir() const { return workDir_; }
  void SetWorkDir(std::wstring dir) { workDir_ = std::move(dir); }
  const LaunchOptions& Options() const { return options_; }
  void SetOptions(LaunchOptions options) { options_ = std::move(options); }
  std::int32_t BtnIndex() const { return btnIndex_; }
  void SetBtnIndex(std::int32_t index) { btnIndex_ = index; }
  bool Regist() const { return regist_; }
  void SetRegist(bool regist) { regist_ = regist; }
  TShowType ShowType() const { return showType_; }
  void SetShowType(TShowType type);

  // Called after a drop has bound the button.
  std::function<void(TLaunchBtn&)> OnRegist;
  // Several files dropped at once on this empty button, in the order the drop gives them.
  // Unset, the button binds the first and leaves the rest.
  std::function<void(TLaunchBtn&, std::vector<std::wstring> paths)> OnDropSeveral;
  // Asked at a drop: true binds a file on the launcher's own drive by its path relative to
  // the launcher's folder (location, working folder and icon alike). Unset: full paths.
  std::function<bool()> PortablePaths;

  // Rebuilds the glyph from the icon of IconPath at the button's DPI (after a DPI change
  // too); leaves it as it was when IconPath names no file (a folder does not count). A
  // file on the network is looked at in the background: the glyph changes when its icon
  // comes in.
  void LoadGlyph();
  // Binds the path as a drop of it does, without raising OnRegist.
  void Bind(const std::wstring& path);
  // The tooltip as the fields say: the name and, on a second line, the path of the target
  // (left out where it only repeats the name); none on an empty button. The face's
  // rebuild, a drop and ClearButton do it; whoever else writes the fields calls it.
  void RenewHint();
  // Unbinds the button (its options too); caption, ShowType and BtnIndex stay.
  void ClearButton();
  // Looks again whether the target of a bound button is gone and dims the button so; a
  // target on the network or a slow drive is looked at in the background and the button
  // dims when the answer comes (TargetKnownGone). The face's rebuild does it too.
  void CheckTarget();

  // Opens the target of a bound button with its options, elevated when asked or when its
  // options say so (nothing on an empty button); a target that is gone is said in a
  // message box instead. False when the button went (or was renewed) while the shell or
  // the box ran messages, and must not be touched again.
  bool Open(bool asAdministrator);
  // The same without the box: Gone tells the caller, who says it. Went: the button went
  // while the shell ran messages, whether or not its target opened.
  enum class Opening { Opened, Gone, Went };
  Opening OpenQuietly();

  // Its name whatever the face shows (also glyph only); a bound button without a name
  // (a drive root) gives its target, and an empty one says it is empty.
  std::wstring AccessibleName() const override;

 protected:
  void MouseUp(TMouseButton button, UINT keys, int x, int y) override;
  // Space or Enter on the focused button opens its target as a left click would.
  void KeyClick() override;
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  // Caption and glyph as ShowType has them.
  void BuildFace();
  void DropFiles(HDROP drop);
  void BindPath(const std::wstring& path);
  Opening Launch(bool asAdministrator, bool sayGone);

  std::wstring btnName_;
  std::wstring fullPath_;
  std::wstring iconPath_;
  std::wstring workDir_;
  LaunchOptions options_;
  std::int32_t btnIndex_ = 0;
  bool regist_ = false;
  TShowType showType_ = st_Both;
};

// The box of a click on a button whose target is gone: the path looked at, and the two
// ways on.
std::wstring GoneTargetMessage(const std::wstring& target);

}  // namespace vl
