// TIniFile: a handle on the settings file, the way every part of the program reads and
// writes it.
//
// Every handle opened on the same path shares one store in the process, so a value
// written through one handle is what the next read through any other gives. A read sees
// the file as it is on disk: the store notices when the file changed under it (by its
// size and time stamp) and reads it again. Each write reaches the disk before it returns,
// through an atomic replacement of the whole file. A replacement never goes over a copy
// that another program put there since the store read the file: the store reads that copy
// and writes the operation's own keys into it.
//
// When the file is there but cannot be read (another program holds it without sharing
// it), a read gives what the store last read from it, or the default when it has nothing
// good (a missed read, counted), and a write throws EIniWriteError and leaves the file as
// it is, since it could only save a copy that missed the file. The next access tries the
// file again.
//
// Update() groups the reads and writes of one operation (saving all buttons of a page,
// building a page): the file is looked at once at its start and written once at its end.
// All use is on one thread.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/errors.h"
#include "core/file_io.h"
#include "core/ini_document.h"

namespace vl {

class IniStore;

// A write that the platform refused; the message names the file.
class EIniWriteError : public EVantriError {
 public:
  using EVantriError::EVantriError;
};

// The longest value a read gives, in bytes of the ANSI code page.
inline constexpr std::size_t kMaxIniValueBytes = 2047;

// The settings file of an executable: its path with the extension replaced by ".ini".
PathString SettingsPathFor(const PathString& executable);
// The settings file of the running program; every part that opens it forms it this way.
PathString SettingsFilePath();

class TIniFile {
 public:
  // Remembers the file name; touches nothing on disk yet.
  explicit TIniFile(const PathString& fileName);
  ~TIniFile();
  TIniFile(const TIniFile&) = delete;
  TIniFile& operator=(const TIniFile&) = delete;

  const PathString& FileName() const;

  std::wstring ReadString(std::wstring_view section, std::wstring_view key,
                          std::wstring_view def) const;
  std::int32_t ReadInteger(std::wstring_view section, std::wstring_view key,
                           std::int32_t def) const;
  bool ReadBool(std::wstring_view section, std::wstring_view key, bool def) const;
  // The names of the file's sections, in file order, each once.
  std::vector<std::wstring> ReadSections() const;
  // The key lines of a section as the file holds them, in file order (IniDocument::SectionLines).
  std::vector<IniKeyLine> ReadSectionLines(std::wstring_view section) const;
  // The file's text encoding: the one it was read in, or turned to for a value.
  IniDocument::Encoding ReadEncoding() const;

  // Each throws EIniWriteError when the file cannot be written, or cannot be read first;
  // what earlier operations wrote stays in the file.
  void WriteString(std::wstring_view section, std::wstring_view key, std::wstring_view value);
  void WriteInteger(std::wstring_view section, std::wstring_view key, std::int32_t value);
  void WriteBool(std::wstring_view section, std::wstring_view key, bool value);
  // The key taken out of the file, as if it had never been written.
  void DeleteKey(std::wstring_view section, std::wstring_view key);
  // Whether the last write to the file was refused (none has gone through since).
  bool LastWriteRefused() const;
  // How many reads so far, through any handle on the file, found it there and unreadable
  // with no copy of it in hand, and so gave their defaults. What is built from such a
  // read is not the user's and must never be written over the file: a reader compares
  // the count before and after.
  std::uint64_t MissedReads() const;
  // A number that changes whenever what the reads give may have changed (the file read
  // again, a value written, a refused write forgotten), and only then; it looks at the
  // file first, as a read does. What was made from reads may be kept while it stays.
  std::uint64_t Revision() const;
  // How many times the file was found changed by another program since it was first read
  // (read again at a look, or before a write of ours would have replaced that program's
  // copy); it looks at the file first, as a read does. A reader that holds what it made
  // from the file compares the count, as it does the revision, to know when to read again.
  std::uint64_t OutsideChanges() const;
  // The error a write refused on this file raises, for a writer that refuses by itself.
  EIniWriteError WriteRefusal() const;

  // Runs body as one operation: the file is read at most once and written at most once,
  // when body ends (also when it ends by an exception, so that what it wrote stays). When
  // the file could not be read at its start, every write in it throws EIniWriteError.
  template <class Body>
  void Update(Body&& body) {
    BeginUpdate();
    try {
      body();
    } catch (...) {
      EndUpdate();
      throw;
    }
    EndUpdate();
  }

 private:
  void BeginUpdate();
  void EndUpdate();

  std::shared_ptr<IniStore> store_;
};

}  // namespace vl
