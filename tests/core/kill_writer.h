// The two halves of the kill test: a writer that saves whole generations of a large
// settings file for ever, and the check that a file left by a killed writer is whole.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "core/ini_document.h"
#include "core/ini_file.h"
#include "core/text_codec.h"

namespace vl::test {

inline constexpr int kKillPages = 10;
inline constexpr int kKillButtons = 100;

inline std::wstring GenerationValue(int generation, int page, int button) {
  return L"C:\\Program Files\\gen" + std::to_wstring(generation) + L"\\page" +
         std::to_wstring(page) + L"\\tool" + std::to_wstring(button) + L".exe";
}

// Each generation is one update: the file holds it whole or not at all.
[[noreturn]] inline void WriteGenerationsForever(const std::filesystem::path& file) {
  TIniFile ini(file);
  for (int generation = 1;; ++generation) {
    ini.Update([&] {
      ini.WriteInteger(L"General", L"Generation", generation);
      for (int page = 1; page <= kKillPages; ++page) {
        std::wstring section = L"Page" + std::to_wstring(page);
        for (int b = 1; b <= kKillButtons; ++b)
          ini.WriteString(section, L"BtnFP" + std::to_wstring(b), GenerationValue(generation, page, b));
      }
    });
  }
}

// Nothing when the file is absent (the writer never finished a save) or whole; else what
// is wrong with it.
inline std::optional<std::string> FindTornFile(const std::string& bytes, bool exists) {
  if (!exists) return std::nullopt;
  IniDocument doc = IniDocument::Parse(bytes);
  auto gen = doc.Get(L"General", L"Generation");
  if (!gen) return "no generation in a file of " + std::to_string(bytes.size()) + " bytes";
  int generation = std::stoi(WideToUtf8(*gen));
  for (int page = 1; page <= kKillPages; ++page) {
    std::wstring section = L"Page" + std::to_wstring(page);
    for (int b = 1; b <= kKillButtons; ++b) {
      auto value = doc.Get(section, L"BtnFP" + std::to_wstring(b));
      if (value != GenerationValue(generation, page, b))
        return "page " + std::to_string(page) + " button " + std::to_string(b) +
               " does not belong to generation " + std::to_string(generation);
    }
  }
  return std::nullopt;
}

}  // namespace vl::test
