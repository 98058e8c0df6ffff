// The fixed version block of a PE file, read from the file's bytes: the
// resource directory (RT_VERSION, first name, first language), then the
// VS_VERSIONINFO block it points to. Every read is bounds-checked, and the
// walk has a fixed depth, so no input can make it loop or read outside.
#include <cstring>

#include "os/file_version.h"

namespace zevo::os {

namespace {

constexpr std::uint16_t kPe32Magic = 0x10b;
constexpr std::uint16_t kPe32PlusMagic = 0x20b;
constexpr std::uint32_t kResourceDirectoryIndex = 2;
constexpr std::uint32_t kRtVersion = 16;
constexpr std::uint32_t kSubdirectoryBit = 0x80000000u;
constexpr std::uint32_t kFixedSignature = 0xFEEF04BDu;
constexpr std::size_t kSectionHeaderSize = 40;
constexpr std::size_t kFixedInfoSize = 52;
constexpr char16_t kVersionKey[] = u"VS_VERSION_INFO";

class Bytes {
 public:
  Bytes(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  bool Has(std::size_t offset, std::size_t length) const { return offset <= size_ && length <= size_ - offset; }
  bool U16(std::size_t offset, std::uint16_t& value) const {
    if (!Has(offset, 2)) return false;
    value = static_cast<std::uint16_t>(data_[offset] | data_[offset + 1] << 8);
    return true;
  }
  bool U32(std::size_t offset, std::uint32_t& value) const {
    std::uint16_t low = 0;
    std::uint16_t high = 0;
    if (!U16(offset, low) || !U16(offset + 2, high)) return false;
    value = static_cast<std::uint32_t>(high) << 16 | low;
    return true;
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
};

struct Section {
  std::uint32_t virtualAddress;
  std::uint32_t virtualSize;
  std::uint32_t rawSize;
  std::uint32_t rawOffset;
};

class PeImage {
 public:
  explicit PeImage(Bytes bytes) : bytes_(bytes) {}

  // Reads the headers; false when they are not those of a PE file.
  bool Load(std::uint32_t& resourceRva) {
    std::uint16_t mz = 0;
    std::uint32_t pe = 0;
    std::uint32_t signature = 0;
    std::uint16_t optionalSize = 0;
    std::uint16_t magic = 0;
    if (!bytes_.U16(0, mz) || mz != 0x5a4d || !bytes_.U32(0x3c, pe) || !bytes_.U32(pe, signature) ||
        signature != 0x4550 || !bytes_.U16(pe + 6, sectionCount_) || !bytes_.U16(pe + 20, optionalSize)) {
      return false;
    }
    const std::size_t optional = std::size_t{pe} + 24;
    if (!bytes_.U16(optional, magic)) return false;
    std::size_t directories = 0;
    if (magic == kPe32Magic) {
      directories = optional + 96;
    } else if (magic == kPe32PlusMagic) {
      directories = optional + 112;
    } else {
      return false;
    }
    std::uint32_t directoryCount = 0;
    if (!bytes_.U32(directories - 4, directoryCount) || directoryCount <= kResourceDirectoryIndex) return false;
    const std::size_t entry = directories + kResourceDirectoryIndex * 8;
    if (entry + 8 > optional + optionalSize || !bytes_.U32(entry, resourceRva) || resourceRva == 0) return false;
    sections_ = optional + optionalSize;
    return bytes_.Has(sections_, std::size_t{sectionCount_} * kSectionHeaderSize);
  }

  // The file offset of `length` bytes at `rva`, inside one section's raw data.
  bool FileOffset(std::uint32_t rva, std::size_t length, std::size_t& offset) const {
    for (std::uint16_t i = 0; i < sectionCount_; ++i) {
      Section s{};
      const std::size_t at = sections_ + std::size_t{i} * kSectionHeaderSize;
      if (!bytes_.U32(at + 8, s.virtualSize) || !bytes_.U32(at + 12, s.virtualAddress) ||
          !bytes_.U32(at + 16, s.rawSize) || !bytes_.U32(at + 20, s.rawOffset)) {
        return false;
      }
      if (rva < s.virtualAddress || rva - s.virtualAddress >= s.rawSize) continue;
      const std::uint32_t inside = rva - s.virtualAddress;
      if (length > s.rawSize - inside) return false;
      offset = std::size_t{s.rawOffset} + inside;
      return bytes_.Has(offset, length);
    }
    return false;
  }

  const Bytes& bytes() const { return bytes_; }

 private:
  Bytes bytes_;
  std::uint16_t sectionCount_ = 0;
  std::size_t sections_ = 0;
};

// The OffsetToData of the entry of the directory at `directory` whose id is
// `id` (any entry when `id` is null), or false.
bool FindEntry(const Bytes& bytes, std::size_t directory, const std::uint32_t* id, std::uint32_t& target) {
  std::uint16_t named = 0;
  std::uint16_t ids = 0;
  if (!bytes.U16(directory + 12, named) || !bytes.U16(directory + 14, ids)) return false;
  const std::size_t count = std::size_t{named} + ids;
  for (std::size_t i = 0; i < count; ++i) {
    std::uint32_t name = 0;
    const std::size_t entry = directory + 16 + i * 8;
    if (!bytes.U32(entry, name) || !bytes.U32(entry + 4, target)) return false;
    if (id == nullptr || name == *id) return true;
  }
  return false;
}

bool ReadFixedInfo(const Bytes& bytes, std::size_t block, std::uint32_t blockSize, FixedVersion& version) {
  constexpr std::size_t kKeyOffset = 6;
  constexpr std::size_t kKeyBytes = sizeof kVersionKey;  // with its terminator
  constexpr std::size_t kValueOffset = (kKeyOffset + kKeyBytes + 3) & ~std::size_t{3};
  std::uint16_t length = 0;
  std::uint16_t valueLength = 0;
  std::uint32_t signature = 0;
  if (blockSize < kValueOffset + kFixedInfoSize || !bytes.U16(block, length) || !bytes.U16(block + 2, valueLength) ||
      length < kValueOffset + kFixedInfoSize || length > blockSize || valueLength < kFixedInfoSize) {
    return false;
  }
  for (std::size_t i = 0; i < kKeyBytes / 2; ++i) {
    std::uint16_t c = 0;
    if (!bytes.U16(block + kKeyOffset + 2 * i, c) || c != kVersionKey[i]) return false;
  }
  const std::size_t fixed = block + kValueOffset;
  return bytes.U32(fixed, signature) && signature == kFixedSignature && bytes.U32(fixed + 8, version.mostSignificant) &&
         bytes.U32(fixed + 12, version.leastSignificant);
}

}  // namespace

bool ParsePeFixedVersion(const std::uint8_t* data, std::size_t size, FixedVersion& version) noexcept {
  if (data == nullptr) return false;
  PeImage image(Bytes(data, size));
  std::uint32_t resourceRva = 0;
  std::size_t root = 0;
  if (!image.Load(resourceRva) || !image.FileOffset(resourceRva, 16, root)) return false;
  const Bytes& bytes = image.bytes();
  // Type, name, language: two subdirectories, then the data entry.
  std::size_t directory = root;
  std::uint32_t target = 0;
  for (int level = 0; level < 3; ++level) {
    if (!FindEntry(bytes, directory, level == 0 ? &kRtVersion : nullptr, target)) return false;
    const bool subdirectory = (target & kSubdirectoryBit) != 0;
    if (subdirectory != (level < 2)) return false;
    directory = root + (target & ~kSubdirectoryBit);
  }
  std::uint32_t dataRva = 0;
  std::uint32_t dataSize = 0;
  std::size_t block = 0;
  return bytes.U32(directory, dataRva) && bytes.U32(directory + 4, dataSize) &&
         image.FileOffset(dataRva, dataSize, block) && ReadFixedInfo(bytes, block, dataSize, version);
}

}  // namespace zevo::os
