// TApplication: the program's one application object.
//
// It owns the hidden top-level window that owns every form (so that forms have no
// taskbar button of their own), holds the application title, runs the message loop and
// shows the error box for exceptions that stop at a window procedure. Other objects may
// hook the owner window's messages; activating it passes the activation to the main form.
// Created first in wWinMain, destroyed last; Instance() is valid in between.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

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

  // The application-wide error report of the exception being handled (call it inside a
  // catch block): caption the title, stop icon, OK button. The program's own errors show
  // their message; anything else shows a Japanese message of its kind, never the
  // library's English text.
  void ShowCurrentException();

  // The form that stands for the program. While it is visible, activating the owner window
  // passes the activation on to it. Null until set; we don't own it.
  void SetMainForm(HWND form) { mainForm_ = form; }
  HWND MainForm() const { return mainForm_; }
  // Minimises the owner window, and with it every form it owns.
  void Minimize();
  // Handles the messages already waiting, then returns. A quit request stays queued.
  void ProcessMessages();

  // A hook sees each message of the owner window before the application does; returning
  // true ends the message there with `result`. Hooks run in the order they were added.
  using MessageHook = std::function<bool(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result)>;
  // A filter sees each message the loop takes from the queue, for any window of the
  // thread, before it is translated and dispatched; returning true consumes it. A
  // window's own keyboard shortcuts live here, so that they work whichever of its
  // controls has the focus. Menus and message boxes run loops of their own: their keys
  // never pass a filter.
  using MessageFilter = std::function<bool(const MSG& msg)>;
  // Removes its hook or filter when it goes; it must not outlive the application.
  class Hook {
   public:
    Hook() = default;
    explicit Hook(int id) : id_(id) {}
    ~Hook();
    Hook(Hook&& other) noexcept : id_(std::exchange(other.id_, 0)) {}
    Hook& operator=(Hook&& other) noexcept;
    Hook(const Hook&) = delete;
    Hook& operator=(const Hook&) = delete;

   private:
    int id_ = 0;
  };
  [[nodiscard]] Hook HookOwnerWindow(MessageHook hook);
  [[nodiscard]] Hook FilterMessages(MessageFilter filter);

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  void Unhook(int id);
  // Dispatches one message taken from the queue, unless a filter consumes it.
  void Dispatch(MSG& msg);

  std::wstring title_;
  HWND mainForm_ = nullptr;
  std::vector<std::pair<int, MessageHook>> hooks_;
  std::vector<std::pair<int, MessageFilter>> filters_;
  int lastHookId_ = 0;
};

}  // namespace vl
