#include "core/shell_link_format.h"

#include <cstring>

namespace vl {
namespace {

constexpr std::size_t kHeaderSize = 0x4C;
constexpr unsigned char kLinkClsid[16] = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                          0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};

// Reads little-endian integers from a window of the file, refusing any read past its end.
class Reader {
 public:
  explicit Reader(std::string_view bytes) : bytes_(bytes) {}
  std::size_t size() const { return bytes_.size(); }
  bool U16(std::size_t at, std::uint32_t& value) const { return Read(at, 2, value); }
  bool U32(std::size_t at, std::uint32_t& value) const { return Read(at, 4, value); }
  // A NUL-ended string (of 1- or 2-byte units) that starts at `at` ends inside the window.
  bool StringEnds(std::size_t at, std::size_t unit) const {
    for (std::size_t i = at; i + unit <= bytes_.size(); i += unit) {
      bool nul = true;
      for (std::size_t k = 0; k < unit; ++k) nul = nul && bytes_[i + k] == '\0';
      if (nul) return true;
    }
    return false;
  }
  Reader Sub(std::size_t at, std::size_t length) const { return Reader(bytes_.substr(at, length)); }

 private:
  bool Read(std::size_t at, std::size_t width, std::uint32_t& value) const {
    if (at > bytes_.size() || bytes_.size() - at < width) return false;
    value = 0;
    for (std::size_t k = 0; k < width; ++k)
      value |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes_[at + k])) << (8 * k);
    return true;
  }
  std::string_view bytes_;
};

// The item list: items of a 2-byte size each, ended by a size of 0 at the list's end.
bool IdListHolds(const Reader& list) {
  std::size_t at = 0;
  for (;;) {
    std::uint32_t itemSize;
    if (!list.U16(at, itemSize)) return false;
    if (itemSize == 0) return at + 2 == list.size();
    if (itemSize < 2 || itemSize > list.size() - at) return false;
    at += itemSize;
  }
}

bool LinkInfoHolds(const Reader& info) {
  std::uint32_t headerSize, flags, volumeId, localBase, network, suffix;
  if (!info.U32(4, headerSize) || !info.U32(8, flags) || !info.U32(12, volumeId) ||
      !info.U32(16, localBase) || !info.U32(20, network) || !info.U32(24, suffix))
    return false;
  if (headerSize < 0x1C || headerSize > info.size()) return false;
  auto inside = [&](std::uint32_t offset) { return offset >= headerSize && offset < info.size(); };
  constexpr std::uint32_t kVolumeIdAndLocalBasePath = 0x1, kCommonNetworkRelativeLink = 0x2;
  if (flags & kVolumeIdAndLocalBasePath) {
    std::uint32_t volumeSize;
    if (!inside(volumeId) || !info.U32(volumeId, volumeSize) || volumeSize < 0x10 ||
        volumeSize > info.size() - volumeId)
      return false;
    if (!inside(localBase) || !info.StringEnds(localBase, 1)) return false;
  }
  if (flags & kCommonNetworkRelativeLink) {
    std::uint32_t networkSize;
    if (!inside(network) || !info.U32(network, networkSize) || networkSize < 0x14 ||
        networkSize > info.size() - network)
      return false;
  }
  if (!inside(suffix) || !info.StringEnds(suffix, 1)) return false;
  // The Unicode forms of the two paths, when the header is long enough to point at them.
  if (headerSize >= 0x24) {
    std::uint32_t localUnicode, suffixUnicode;
    if (!info.U32(0x1C, localUnicode) || !info.U32(0x20, suffixUnicode)) return false;
    if ((flags & kVolumeIdAndLocalBasePath) && (!inside(localUnicode) || !info.StringEnds(localUnicode, 2)))
      return false;
    if (!inside(suffixUnicode) || !info.StringEnds(suffixUnicode, 2)) return false;
  }
  return true;
}

}  // namespace

std::optional<ShellLinkHeader> CheckShellLink(std::string_view bytes) {
  const Reader file(bytes);
  std::uint32_t headerSize;
  if (!file.U32(0, headerSize) || headerSize != kHeaderSize || bytes.size() < kHeaderSize ||
      std::memcmp(bytes.data() + 4, kLinkClsid, sizeof kLinkClsid) != 0)
    return std::nullopt;
  ShellLinkHeader header;
  std::uint32_t show;
  file.U32(0x14, header.linkFlags);
  file.U32(0x18, header.fileAttributes);
  file.U32(0x3C, show);
  header.showCommand = static_cast<std::int32_t>(show);

  std::size_t at = kHeaderSize;
  if (header.linkFlags & kHasIdList) {
    std::uint32_t listSize;
    if (!file.U16(at, listSize) || listSize > bytes.size() - at - 2) return std::nullopt;
    if (!IdListHolds(file.Sub(at + 2, listSize))) return std::nullopt;
    at += 2 + listSize;
  }
  if (header.linkFlags & kHasLinkInfo) {
    std::uint32_t infoSize;
    if (!file.U32(at, infoSize) || infoSize < 0x1C || infoSize > bytes.size() - at) return std::nullopt;
    if (!LinkInfoHolds(file.Sub(at, infoSize))) return std::nullopt;
    at += infoSize;
  }
  const std::size_t unit = (header.linkFlags & kIsUnicode) ? 2 : 1;
  for (std::uint32_t flag : {kHasName, kHasRelativePath, kHasWorkingDir, kHasArguments, kHasIconLocation}) {
    if (!(header.linkFlags & flag)) continue;
    std::uint32_t count;
    if (!file.U16(at, count) || count * unit > bytes.size() - at - 2) return std::nullopt;
    at += 2 + count * unit;
  }
  // Extra data blocks, each with its size first, up to a size below 4 or the file's end.
  for (;;) {
    std::uint32_t blockSize;
    if (!file.U32(at, blockSize) || blockSize < 4) return header;
    if (blockSize < 8 || blockSize > bytes.size() - at) return std::nullopt;
    at += blockSize;
  }
}

}  // namespace vl
