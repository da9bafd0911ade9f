// Whole-file reads and atomic whole-file replacement, the only file access of the
// settings engine.
//
// A replacement writes a temporary file beside the target, flushes it to the disk and
// moves it over the target in one step, so that a crash or a power cut leaves either
// the old file or the new one, never a torn or empty one.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/path_text.h"

namespace vl {

// The full path of the running executable.
PathString RunningExecutablePath();
// The folder that holds it, without a trailing separator (files ship beside the program).
PathString ProgramFolder();

// What tells one state of a file from another without reading it.
struct FileStamp {
  bool exists = false;
  std::uint64_t size = 0;
  std::int64_t modified = 0;  // platform ticks; only compared for equality
  bool operator==(const FileStamp&) const = default;
};

// The file's stamp; one that does not exist when the file or its folder is missing, and
// nothing when the platform cannot tell (access denied, a loop of links): such a file may
// well be there, and must not be taken for a missing one.
std::optional<FileStamp> StampOf(const PathString& path);

// The file's bytes; nothing when it does not exist or cannot be read in full (another
// program holds it without sharing, a read error, fewer bytes than its size).
std::optional<std::string> ReadWholeFile(const PathString& path);

// How a replacement ended: the target untouched unless Done.
enum class Replaced { Done, Refused, FileChanged };

// Replaces the file's contents atomically: Refused when the platform refuses (a read-only
// file, a missing or read-only folder, a full disk). With `unlessChangedFrom`, the file's
// stamp is looked at once more right before the new copy moves over it, and a file that
// another program changed since it had that stamp is left as it is (FileChanged): a
// writer that read it earlier would otherwise wipe that program's change. `written`
// receives the stamp of the new file, taken before it is moved into place, so that a
// change another program makes right after it is never taken for ours (nothing when the
// platform could not tell it).
Replaced ReplaceFileAtomically(const PathString& path, std::string_view bytes,
                               const std::optional<FileStamp>& unlessChangedFrom,
                               std::optional<FileStamp>* written = nullptr);
inline bool ReplaceFileAtomically(const PathString& path, std::string_view bytes) {
  return ReplaceFileAtomically(path, bytes, std::nullopt) == Replaced::Done;
}

// The steps of the access above, for the tests of failure. Each step asks the hook, when
// one is set, before it goes to the platform, and fails as the platform would when the
// hook answers false; the hook may also act at that moment (hold the file open unshared,
// as another program would). Nothing in the program sets it.
enum class FileStep { Stamp, Read, Write, Flush, Replace };
using FileStepHook = bool (*)(FileStep step);
inline FileStepHook fileStepHook = nullptr;
inline bool FileStepRefused(FileStep step) { return fileStepHook && !fileStepHook(step); }

// Bytes read through ReadWholeFile and files replaced through ReplaceFileAtomically since
// the process started, for the benchmark and the tests.
std::uint64_t TotalBytesRead();
std::uint64_t TotalFilesWritten();

}  // namespace vl
