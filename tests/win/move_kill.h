// The two halves of the kill test of moves: the settings file the mover starts on (a file
// of some size, so that its writes take time), and the check that a file left by a killed
// mover holds every button exactly once.
#pragma once

#include <map>
#include <optional>
#include <string>

#include "core/ini_document.h"
#include "core/text_codec.h"

namespace vl::test {

inline constexpr int kMovePages = 8;   // sections; pages 1 and 2 are live
inline constexpr int kMoveButtons = 100;  // 10 x 10 on each
// Page 1 holds every button but these free ones; page 2 every one but its free ones.
inline constexpr int kMoveFree1 = 40, kMoveFree2 = 70;

inline std::string MoveTarget(int page, int button) {
  return "C:\\Program Files\\moves\\page" + std::to_string(page) + "\\tool" + std::to_string(button) + ".exe";
}

inline std::string MoveKillFile() {
  std::string text = "[General]\r\nPageNum=" + std::to_string(kMovePages) +
                     "\r\nFormTop=0\r\nFormLeft=0\r\n[Setting]\r\nIsUseShake=0\r\nIsUseHotKey=0\r\n";
  for (int page = 1; page <= kMovePages; ++page) {
    text += "[Page" + std::to_string(page) + "]\r\nLive=" + (page <= 2 ? "1" : "0") +
            "\r\nName=P" + std::to_string(page) + "\r\nYoko=10\r\nTate=10\r\nBtnW=32\r\nBtnH=32\r\nShowType=2\r\n";
    for (int b = 1; b <= kMoveButtons; ++b) {
      if ((page == 1 && b == kMoveFree1) || (page == 2 && b == kMoveFree2)) continue;
      const std::string n = std::to_string(b), target = MoveTarget(page, b);
      text += "BtnFP" + n + "=" + target + "\r\nBtnName" + n + "=tool" + n + "\r\nBtnIP" + n + "=" + target + "\r\n";
    }
  }
  return text;
}

// Every button of a file as target -> name, and how many times each target is there.
inline std::map<std::string, std::pair<std::string, int>> ButtonsOf(const std::string& bytes) {
  std::map<std::string, std::pair<std::string, int>> buttons;
  const IniDocument doc = IniDocument::Parse(bytes);
  for (int page = 1; page <= kMovePages; ++page) {
    const std::wstring section = L"Page" + std::to_wstring(page);
    for (int b = 1; b <= kMoveButtons; ++b) {
      auto get = [&](const wchar_t* key) {
        return WideToUtf8(doc.Get(section, key + std::to_wstring(b)).value_or(L""));
      };
      const std::string target = get(L"BtnFP");
      if (target.empty()) continue;
      auto& [name, count] = buttons[target];
      name = get(L"BtnName");
      ++count;
    }
  }
  return buttons;
}

// Nothing when every button of the start is in the file exactly once, with its name; else
// what is wrong.
inline std::optional<std::string> FindLostButton(const std::string& bytes) {
  const auto now = ButtonsOf(bytes);
  for (const auto& [target, was] : ButtonsOf(MoveKillFile())) {
    auto found = now.find(target);
    const int count = found == now.end() ? 0 : found->second.second;
    if (count != 1) return target + " is in the file " + std::to_string(count) + " times";
    if (found->second.first != was.first) return target + " has the name " + found->second.first;
  }
  if (now.size() != ButtonsOf(MoveKillFile()).size()) return "a button the file did not hold";
  return std::nullopt;
}

}  // namespace vl::test
