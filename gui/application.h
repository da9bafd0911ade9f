// TApplication: the program's one application object.
//
// It owns the hidden top-level window that owns every form (so that forms have no
// taskbar button of their own), holds the application title, runs the message loop and
// shows the error box for exceptions that stop at a window procedure.
// Created first in wWinMain, destroyed last; Instance() is valid in between.
#pragma once

#include <windows.h>

#include <exception>
#include <string>

#include "gui/window.h"

namespace vl {

class TApplication : public TWindow {
 public:
  explicit TApplication(std::wstring title);
  ~TApplication() override;

  static TApplication& Instance();

  const std::wstring& Title() const { return title_; }
  // The hidden owner of every form.
  HWND OwnerWindow() const { return Handle(); }

  // Runs the message loop until Terminate; returns the exit code.
  int Run();
  void Terminate(int exitCode = 0);

  // The application-wide error report: caption the title, stop icon, OK button.
  void ShowException(const std::exception& e);

 private:
  std::wstring title_;
};

}  // namespace vl
