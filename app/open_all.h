// 「このページのボタンをすべて開く」: every bound button of the page on display opened in
// number order, each as its own click opens it (its arguments, window size and elevation).
// Above kOpenAllAskAbove buttons the user is asked first. A button whose target is gone is
// skipped, and the skipped ones are named together in one box at the end. The launcher
// hides once, after the last, when "HideWhenClickBtn" says so and something opened.
//
// The question, every open (the shell's prompts, the administrator's consent) and the box
// run messages, in which the file may be taken up, the page released or deleted, buttons
// moved or edited. So the page is held by its Id and each button by its number and its
// keys as the user saw them when the command began: a page that went ends the command, and
// a button that changed meanwhile is left closed.
#pragma once

#include <cstdint>
#include <functional>

#include "app/page_set.h"
#include "core/ini_file.h"

namespace vl {

inline constexpr std::int32_t kOpenAllAskAbove = 10;

// How many targets were handed to the shell.
std::int32_t OpenAllButtons(TPageSet& pages, const TIniFile& ini, const std::function<void()>& hide);

}  // namespace vl
