#include "core/ini_file.h"

#include <map>
#include <optional>
#include <vector>

#include "core/file_io.h"
#include "core/ini_document.h"
#include "core/ini_values.h"
#include "core/text_codec.h"

namespace vl {

// The one in-process view of a settings file, shared by every handle on its path.
class IniStore {
 public:
  explicit IniStore(PathString path) : path_(std::move(path)) {}

  static std::shared_ptr<IniStore> For(const PathString& path) {
    // Handles come and go with pages and dialogs; the store lives while one is open.
    static std::map<PathString, std::weak_ptr<IniStore>> stores;
    std::weak_ptr<IniStore>& slot = stores[path];
    std::shared_ptr<IniStore> store = slot.lock();
    if (!store) {
      store = std::make_shared<IniStore>(path);
      slot = store;
    }
    return store;
  }

  const PathString& path() const { return path_; }
  bool refused() const { return refused_; }

  std::uint64_t missed() const { return missed_; }

  std::uint64_t revision() {
    if (depth_ == 0) Refresh();
    return revision_;
  }
  EIniWriteError Refusal() const { return EIniWriteError(PathText(path_) + L" に書き込めません"); }

  const IniDocument& Document() {
    if (depth_ == 0) Refresh();
    // The file is there and we hold nothing of it: the reader gets its default.
    if (!current_ && !hasCopy_) ++missed_;
    return doc_;
  }

  std::uint64_t outside() {
    if (depth_ == 0) Refresh();
    return outside_;
  }

  void Write(std::wstring_view section, std::wstring_view key, std::wstring_view value) {
    Change(Edit{std::wstring(section), std::wstring(key), std::wstring(value)});
  }
  void Remove(std::wstring_view section, std::wstring_view key) {
    Change(Edit{std::wstring(section), std::wstring(key), std::nullopt});
  }

  void Begin() {
    if (depth_++ == 0) Refresh();
  }

  void End() {
    if (--depth_ == 0) Flush();
  }

 private:
  // When the file is there but cannot be read, reads go on with the last good copy and
  // writes are refused; the next access tries the file again.
  void Refresh() {
    if (current_ && StampOf(path_) == stamp_) return;
    current_ = false;
    Reread();
  }

  // One key written (a value) or taken out (none).
  struct Edit {
    std::wstring section, key;
    std::optional<std::wstring> value;
  };

  bool Apply(const Edit& e) { return e.value ? doc_.Set(e.section, e.key, *e.value) : doc_.Remove(e.section, e.key); }

  void Change(Edit edit) {
    if (depth_ == 0) Refresh();
    // Saved from a copy that missed the file, the write would wipe what it missed.
    if (!current_) Refuse();
    if (Apply(edit)) {
      dirty_ = true;
      ++revision_;
      edits_.push_back(std::move(edit));
    }
    if (depth_ == 0) Flush();
  }

  // The file as it is now, in place of the copy: false when it cannot be read.
  bool Reread() {
    std::optional<FileStamp> now = StampOf(path_);
    if (!now) return false;
    std::optional<std::string> bytes = now->exists ? ReadWholeFile(path_) : std::string();
    if (!bytes) return false;
    if (everRead_) ++outside_;  // not the first read, nor one after our own write
    doc_ = IniDocument::Parse(std::move(*bytes));
    ++revision_;
    stamp_ = *now;
    current_ = hasCopy_ = everRead_ = true;
    return true;
  }

  void Flush() {
    if (!dirty_) return;
    dirty_ = false;
    std::vector<Edit> edits = std::move(edits_);
    edits_.clear();
    // Another program (a sync tool) may replace the file between our read and our write:
    // its content is read again and this operation's keys written into it, never the
    // other way round. A file that keeps changing under us is given up on after a few.
    constexpr int kTries = 5;
    for (int tries = 1;; ++tries) {
      std::optional<FileStamp> written;
      const Replaced result = ReplaceFileAtomically(path_, doc_.Serialize(), stamp_, &written);
      if (result == Replaced::Done) {
        refused_ = false;
        current_ = written.has_value();
        if (written) stamp_ = *written;
        return;
      }
      if (result == Replaced::FileChanged && tries < kTries && Reread()) {
        for (const Edit& e : edits) Apply(e);
        continue;
      }
      // Forget the refused change, also as a copy for reads while the file cannot be read
      // again: the next access reads the file as it stayed.
      doc_ = IniDocument();
      ++revision_;
      current_ = hasCopy_ = false;
      Refuse();
    }
  }

  [[noreturn]] void Refuse() {
    refused_ = true;
    throw Refusal();
  }

  PathString path_;
  IniDocument doc_;  // the file as last read or written, or empty
  FileStamp stamp_;
  bool current_ = false;  // doc_ is the file as it is at stamp_
  bool hasCopy_ = false;  // doc_ is the file as it was at some time (at stamp_)
  std::uint64_t missed_ = 0;
  std::uint64_t revision_ = 0;  // counts the changes of doc_
  std::uint64_t outside_ = 0;   // counts the reads of a file changed by another program
  bool everRead_ = false;
  std::vector<Edit> edits_;  // the changes of doc_ not yet in the file, in order
  bool dirty_ = false;
  bool refused_ = false;  // the last write was refused
  int depth_ = 0;
};

namespace {

// Cuts a value to the longest prefix of whole characters that fits in `limit` bytes of
// the ANSI code page.
std::wstring CutToAnsiBytes(std::wstring value, std::size_t limit) {
  if (value.size() * 2 <= limit) return value;
  std::size_t bytes = 0, i = 0;
  while (i < value.size()) {
    AnsiCharSize c = AnsiSizeAt(value, i);
    if (bytes + c.bytes > limit) break;
    bytes += c.bytes;
    i += c.units;
  }
  value.resize(i);
  return value;
}

}  // namespace

PathString SettingsPathFor(const PathString& executable) { return ReplaceExtension(executable, ".ini"); }

PathString SettingsFilePath() { return SettingsPathFor(RunningExecutablePath()); }

TIniFile::TIniFile(const PathString& fileName) : store_(IniStore::For(fileName)) {}
TIniFile::~TIniFile() = default;

const PathString& TIniFile::FileName() const { return store_->path(); }

std::wstring TIniFile::ReadString(std::wstring_view section, std::wstring_view key,
                                  std::wstring_view def) const {
  std::optional<std::wstring> value = store_->Document().Get(section, key);
  return CutToAnsiBytes(value ? std::move(*value) : std::wstring(def), kMaxIniValueBytes);
}

std::int32_t TIniFile::ReadInteger(std::wstring_view section, std::wstring_view key,
                                   std::int32_t def) const {
  std::optional<std::wstring> value = store_->Document().Get(section, key);
  if (!value) return def;
  return ParseInteger(*value).value_or(def);
}

bool TIniFile::ReadBool(std::wstring_view section, std::wstring_view key, bool def) const {
  return ReadInteger(section, key, def ? 1 : 0) != 0;
}

std::vector<std::wstring> TIniFile::ReadSections() const { return store_->Document().SectionNames(); }

std::vector<IniKeyLine> TIniFile::ReadSectionLines(std::wstring_view section) const {
  return store_->Document().SectionLines(section);
}

IniDocument::Encoding TIniFile::ReadEncoding() const { return store_->Document().encoding(); }

void TIniFile::WriteString(std::wstring_view section, std::wstring_view key,
                           std::wstring_view value) {
  store_->Write(section, key, value);
}

void TIniFile::WriteInteger(std::wstring_view section, std::wstring_view key,
                            std::int32_t value) {
  store_->Write(section, key, FormatInteger(value));
}

void TIniFile::WriteBool(std::wstring_view section, std::wstring_view key, bool value) {
  store_->Write(section, key, value ? L"1" : L"0");
}

void TIniFile::DeleteKey(std::wstring_view section, std::wstring_view key) { store_->Remove(section, key); }

bool TIniFile::LastWriteRefused() const { return store_->refused(); }

std::uint64_t TIniFile::MissedReads() const { return store_->missed(); }

std::uint64_t TIniFile::Revision() const { return store_->revision(); }

std::uint64_t TIniFile::OutsideChanges() const { return store_->outside(); }

EIniWriteError TIniFile::WriteRefusal() const { return store_->Refusal(); }

void TIniFile::BeginUpdate() { store_->Begin(); }
void TIniFile::EndUpdate() { store_->End(); }

}  // namespace vl
