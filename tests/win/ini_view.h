// The settings file as a test compares it: every key as "[section]key" in lower case with
// its value as the file's bytes have it, and the lines that are no key.
#pragma once

#include <cctype>
#include <map>
#include <set>
#include <sstream>
#include <string>

namespace vl::test {

struct IniView {
  std::map<std::string, std::string> keys;
  std::set<std::string> others;
};

inline IniView View(const std::string& bytes) {
  IniView view;
  std::istringstream in(bytes);
  std::string line, section;
  auto lower = [](std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
  };
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    if (line.front() == '[') {
      section = lower(line);
      continue;
    }
    std::size_t eq = line.find('=');
    if (line.front() == ';' || eq == std::string::npos) {
      view.others.insert(section + line);
      continue;
    }
    view.keys[section + lower(line.substr(0, eq))] = line.substr(eq + 1);
  }
  return view;
}

}  // namespace vl::test
