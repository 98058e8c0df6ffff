#include "backup_file.h"

#include <cstring>
#include <stdexcept>

#include "text.h"

namespace tarsk {

namespace {

constexpr std::string_view kMagic = "TARSKTKB";
constexpr std::uint32_t kFormatVersion = 1;

template <typename T>
void Put(std::string& out, T value) {
  for (std::size_t i = 0; i < sizeof(T); ++i) {
    out.push_back(static_cast<char>(static_cast<std::uint64_t>(value) >> (8 * i)));
  }
}

class Reader {
 public:
  explicit Reader(std::string_view bytes) : bytes_(bytes) {}

  std::string_view Take(std::size_t n) {
    if (n > bytes_.size() - at_) throw std::runtime_error("backup file truncated");
    const std::string_view part = bytes_.substr(at_, n);
    at_ += n;
    return part;
  }

  template <typename T>
  T Get() {
    const std::string_view raw = Take(sizeof(T));
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < sizeof(T); ++i) {
      value |= static_cast<std::uint64_t>(static_cast<unsigned char>(raw[i])) << (8 * i);
    }
    return static_cast<T>(value);
  }

  Digest GetDigest() {
    Digest digest{};
    std::memcpy(digest.data(), Take(digest.size()).data(), digest.size());
    return digest;
  }

  bool AtEnd() const { return at_ == bytes_.size(); }

 private:
  std::string_view bytes_;
  std::size_t at_ = 0;
};

}  // namespace

std::string EncodeBackup(std::vector<BackupEntry>& entries) {
  std::string out(kMagic);
  Put<std::uint32_t>(out, kFormatVersion);
  Put<std::uint32_t>(out, static_cast<std::uint32_t>(entries.size()));
  for (BackupEntry& entry : entries) {
    const std::string path = Utf16ToUtf8(entry.path);
    entry.digest = Sha256Of(entry.data);
    Put<std::uint32_t>(out, entry.type);
    Put<std::uint32_t>(out, static_cast<std::uint32_t>(path.size()));
    out += path;
    Put<std::uint32_t>(out, entry.permissions);
    Put<std::int64_t>(out, entry.lastWriteTime);
    Put<std::uint64_t>(out, entry.data.size());
    out += entry.data;
    out.append(reinterpret_cast<const char*>(entry.digest.data()), entry.digest.size());
  }
  const Digest whole = Sha256Of(out);
  out.append(reinterpret_cast<const char*>(whole.data()), whole.size());
  return out;
}

std::vector<BackupEntry> DecodeBackup(std::string_view bytes) {
  constexpr std::size_t kDigestSize = sizeof(Digest);
  if (bytes.size() < kMagic.size() + 8 + kDigestSize) throw std::runtime_error("too short");
  const std::string_view body = bytes.substr(0, bytes.size() - kDigestSize);
  Reader trailer(bytes.substr(body.size()));
  if (Sha256Of(body) != trailer.GetDigest()) throw std::runtime_error("file digest mismatch");
  Reader in(body);
  if (in.Take(kMagic.size()) != kMagic || in.Get<std::uint32_t>() != kFormatVersion) {
    throw std::runtime_error("not a backup file");
  }
  const auto count = in.Get<std::uint32_t>();
  std::vector<BackupEntry> entries;
  for (std::uint32_t i = 0; i < count; ++i) {
    BackupEntry entry;
    entry.type = in.Get<std::uint32_t>();
    if (entry.type != kEntryWholeFile && entry.type != kEntryCookieFile) {
      throw std::runtime_error("unknown entry type");
    }
    entry.path = Utf8ToUtf16(in.Take(in.Get<std::uint32_t>()));
    entry.permissions = in.Get<std::uint32_t>();
    entry.lastWriteTime = in.Get<std::int64_t>();
    entry.data = std::string(in.Take(in.Get<std::uint64_t>()));
    entry.digest = in.GetDigest();
    if (Sha256Of(entry.data) != entry.digest) throw std::runtime_error("entry digest mismatch");
    entries.push_back(std::move(entry));
  }
  if (!in.AtEnd()) throw std::runtime_error("trailing bytes");
  return entries;
}

}  // namespace tarsk
