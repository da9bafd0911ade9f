#include "core/page_file.h"

#include <algorithm>

#include "core/file_io.h"
#include "core/page_numbers.h"
#include "core/settings_keys.h"
#include "core/text_codec.h"

namespace vl {
namespace {

namespace keys = settings;

constexpr std::string_view kUtf16Bom = "\xFF\xFE";
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// The value as IniDocument::Set would write it.
std::wstring CleanValue(std::wstring_view value) {
  std::wstring clean(value.substr(0, value.find(L'\0')));
  for (wchar_t& c : clean)
    if (c == L'\r' || c == L'\n') c = L' ';
  return clean;
}

bool IsPageKey(std::wstring_view name) {
  const std::wstring folded = FoldIniName(name);
  for (const wchar_t* key : {keys::kName, keys::kYoko, keys::kTate})
    if (folded == FoldIniName(key)) return true;
  const std::wstring target = FoldIniName(keys::kBtnFP);
  if (!folded.starts_with(target) || folded.size() == target.size()) return false;
  return std::all_of(folded.begin() + static_cast<std::ptrdiff_t>(target.size()), folded.end(),
                     [](wchar_t c) { return c >= L'0' && c <= L'9'; });
}

// Whether the text holds a NUL, which no settings file written as text does.
bool HoldsNul(std::string_view bytes) {
  if (!bytes.starts_with(kUtf16Bom)) return bytes.find('\0') != std::string_view::npos;
  return Utf16LeToWide(bytes.substr(kUtf16Bom.size())).find(L'\0') != std::wstring::npos;
}

}  // namespace

std::string FormatPageFile(const std::vector<IniKeyLine>& lines, IniDocument::Encoding encoding) {
  std::wstring text = L"[" + std::wstring(kPageFileSection) + L"]\r\n";
  for (const IniKeyLine& line : lines) text += line.name + L"=" + CleanValue(line.value) + L"\r\n";
  if (encoding == IniDocument::Encoding::Ansi) {
    if (std::optional<std::string> ansi = WideToAnsi(text)) return *ansi;
  } else if (encoding == IniDocument::Encoding::Utf8) {
    return std::string(kUtf8Bom) + WideToUtf8(text);
  }
  return std::string(kUtf16Bom) + WideToUtf16Le(text);
}

std::optional<std::vector<IniKeyLine>> ParsePageFile(std::string_view bytes) {
  if (HoldsNul(bytes)) return std::nullopt;
  const IniDocument doc = IniDocument::Parse(std::string(bytes));
  const std::vector<std::wstring> sections = doc.SectionNames();
  if (sections.empty()) return std::nullopt;
  std::vector<IniKeyLine> lines = doc.SectionLines(sections.front());
  if (std::none_of(lines.begin(), lines.end(), [](const IniKeyLine& l) { return IsPageKey(l.name); }))
    return std::nullopt;
  return lines;
}

PageFileRead ReadPageFile(const PathString& path, std::uint64_t maxBytes) {
  PageFileRead read;
  std::optional<FileStamp> stamp = StampOf(path);
  if (!stamp || !stamp->exists) return read;
  // Looked at before it is read: a disk image picked by mistake is never read whole.
  if (stamp->size > maxBytes) {
    read.status = PageFileRead::Status::NotAPage;
    return read;
  }
  std::optional<std::string> bytes = ReadWholeFile(path);
  if (!bytes) return read;
  std::optional<std::vector<IniKeyLine>> lines;
  // It may have grown between the look and the read.
  if (bytes->size() <= maxBytes) lines = ParsePageFile(*bytes);
  if (!lines) {
    read.status = PageFileRead::Status::NotAPage;
    return read;
  }
  read.status = PageFileRead::Status::Page;
  read.lines = std::move(*lines);
  return read;
}

std::wstring PageFileNameFor(std::wstring_view pageName) {
  std::wstring name(pageName);
  for (wchar_t& c : name)
    if (c < 0x20 || std::wstring_view(L"\\/:*?\"<>|").find(c) != std::wstring_view::npos) c = L'_';
  // The system drops dots and blanks at the end of a file name.
  while (!name.empty() && (name.back() == L'.' || name.back() == L' ')) name.pop_back();
  if (name.empty()) name = kPageFileSection;
  return name + L".ini";
}

std::optional<std::int32_t> AddPageToFile(TIniFile& ini, std::int32_t pageNum, const std::vector<IniKeyLine>& lines) {
  std::optional<std::int32_t> next;
  const std::uint64_t missed = ini.MissedReads();
  ini.Update([&] {
    const std::vector<std::int32_t> taken = PageNumbersOf(ini.ReadSections());
    const std::int32_t stored = ini.ReadInteger(keys::kGeneral, keys::kPageNum, keys::kPageNumDefault);
    // Without the file's sections the number could be one a section holds already.
    if (ini.MissedReads() != missed) throw ini.WriteRefusal();
    next = NextPageNumber(std::max(pageNum, stored), taken);
    if (!next) return;
    const std::wstring section = keys::PageSection(*next);
    ini.WriteInteger(keys::kGeneral, keys::kPageNum, *next);
    // The section is new: a key it holds already came from an earlier line of the page.
    constexpr wchar_t kAbsent[] = L"\x1";
    for (const IniKeyLine& line : lines)
      if (ini.ReadString(section, line.name, kAbsent) == kAbsent) ini.WriteString(section, line.name, line.value);
    ini.WriteBool(section, keys::kLive, true);
  });
  return next;
}

}  // namespace vl
