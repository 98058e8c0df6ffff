// A random sample tree made from one seed: nested folders with non-ASCII
// names, read-only files, every family of the shipped pattern (byte
// signatures, the SHA-256 sample, a name glob, a custom-range item, a file two
// companies claim), cookie files with tracking lines among clean ones, and
// clean files. Also a snapshot of a whole tree and its differences.
#ifndef ZEVO_TESTS_INTEGRATION_CLEAN_RANDOM_TREE_H_
#define ZEVO_TESTS_INTEGRATION_CLEAN_RANDOM_TREE_H_

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <system_error>
#include <vector>

#include "../common/temp_folder.h"
#include "samples.h"

namespace zevo::it {

namespace fs = std::filesystem;

// Item ids of the shipped pattern (engine/tarskptn.da6).
inline constexpr std::int32_t kEicar = 1001, kAdPopper = 1002, kSearchBar = 1003, kDialer = 1004,
                              kTrackingCookie = 1005, kLoader = 1006, kBrowserHelper = 1007, kResident = 1008,
                              kUpdater = 1009, kCustomPopup = 0x6e000010;
inline constexpr char kTrackingDomain[] = "tracker.globex.example";
inline constexpr std::size_t kCompanies = 6;  // every random tree holds items of each

inline std::string ReadBytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

struct TreeFile {
  std::string path;  // relative, '/'-separated, UTF-8
  std::string bytes;
  bool readOnly = false;
  std::vector<std::int32_t> items;  // what the engine finds in it; empty for clean files
  bool Cookie() const { return items.size() == 1 && items[0] == kTrackingCookie; }
  // The engine never cleans it while a backup is asked for.
  bool NoBackup() const { return items.size() == 1 && items[0] == kUpdater; }
};

struct RandomTree {
  std::uint32_t seed = 0;
  std::vector<std::string> folders;  // relative, parents first
  std::vector<TreeFile> files;

  std::size_t ItemCount() const {
    std::size_t n = 0;
    for (const TreeFile& f : files) n += f.items.size();
    return n;
  }
  // Writes the tree under `root` (which must not hold it yet). Last write
  // times are whole seconds, months to years in the past.
  void Write(const fs::path& root) const {
    std::mt19937 rng(seed ^ 0x5eedu);
    for (const std::string& folder : folders) fs::create_directories(root / PathOf(folder));
    const auto now = std::chrono::time_point_cast<std::chrono::seconds>(fs::file_time_type::clock::now());
    for (const TreeFile& f : files) {
      const fs::path file = root / PathOf(f.path);
      std::ofstream(file, std::ios::binary).write(f.bytes.data(), static_cast<std::streamsize>(f.bytes.size()));
      fs::last_write_time(file, now - std::chrono::seconds(86400 + rng() % 100'000'000));
      if (f.readOnly)
        fs::permissions(file, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                        fs::perm_options::remove);
    }
  }
};

// Makes everything under `root` writable again, so that it can be removed
// (a read-only file cannot be deleted on Windows).
inline void MakeWritable(const fs::path& root) {
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(root, ec); !ec && it != fs::recursive_directory_iterator();
       it.increment(ec)) {
    std::error_code ignored;
    fs::permissions(it->path(), fs::perms::owner_write, fs::perm_options::add, ignored);
  }
}

// The content of each sample of the engine's own sample tree, by item id:
// the EICAR string and the SHA-256 sample need their exact bytes.
inline const std::map<std::int32_t, std::string>& SampleBytes() {
  static const std::map<std::int32_t, std::string> bytes = [] {
    TempFolder scratch("clean-samples");
    tarsk::samples::WriteSampleTree(scratch.path());
    std::map<std::int32_t, std::string> byId;
    for (const tarsk::samples::Sample& s : tarsk::samples::AllSamples()) {
      if (s.itemId != 0) byId.emplace(s.itemId, ReadBytes(scratch.path() / s.path));
    }
    return byId;
  }();
  return bytes;
}

inline RandomTree MakeRandomTree(std::uint32_t seed) {
  std::mt19937 rng(seed);
  auto pick = [&](std::size_t n) { return static_cast<std::size_t>(rng() % n); };
  auto filler = [&](std::size_t maxLength) {
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789 .,;\n";
    std::string text(pick(maxLength + 1), ' ');
    for (char& c : text) c = kLetters[pick(sizeof(kLetters) - 1)];
    return text;
  };

  RandomTree tree;
  tree.seed = seed;
  static const char* const kFolderNames[] = {"Überwachung",   "Пример",     "資料", "docs",
                                             "Program Files", "naïve café", "data", "Ελληνικά"};
  std::vector<std::string> places{""};  // "" is the root
  for (const char* name : kFolderNames) {
    if (pick(4) == 0) continue;
    const std::string parent = places[pick(places.size())];
    places.push_back(parent.empty() ? name : parent + "/" + name);
    tree.folders.push_back(places.back());
  }

  static const char* const kStems[] = {"report", "отчёт", "写真", "Übersicht", "setup", "kölsch", "tool"};
  int counter = 0;
  auto add = [&](const std::string& ext, std::string bytes, std::vector<std::int32_t> items) {
    const std::string folder = places[pick(places.size())];
    const std::string name = std::string(kStems[pick(std::size(kStems))]) + "-" + std::to_string(++counter) + ext;
    tree.files.push_back(
        {folder.empty() ? name : folder + "/" + name, std::move(bytes), pick(3) == 0, std::move(items)});
  };
  auto withSignature = [&](const char* family) { return filler(80) + "TARSK-TEST-FAMILY-" + family + filler(80); };

  const std::pair<std::int32_t, const char*> kByteFamilies[] = {{kAdPopper, "ADPOPPER"}, {kSearchBar, "SEARCHBAR"},
                                                                {kDialer, "DIALER"},     {kResident, "RESIDENT"},
                                                                {kUpdater, "UPDATER"},   {kCustomPopup, "CUSTOM"}};
  for (const auto& [id, family] : kByteFamilies) {
    for (std::size_t n = 1 + pick(2); n > 0; --n) add(".exe", withSignature(family), {id});
  }
  add(".com", SampleBytes().at(kEicar), {kEicar});
  add(".bin", SampleBytes().at(kLoader), {kLoader});
  add(".tarskbho", filler(120), {kBrowserHelper});
  add(".dll", withSignature("ADPOPPER") + withSignature("DIALER"), {kAdPopper, kDialer});

  // Cookie files: tracking lines (plain, subdomain, HttpOnly) among clean
  // ones; one file has none and is clean. Names are unique, so two
  // "cookies.txt" never meet in one folder.
  auto cookieText = [&](int tracking) {
    std::string text = "# Netscape HTTP Cookie File\n";
    for (int line = 0; line < 4 + tracking; ++line) {
      const bool track = line % 2 == 1 && line / 2 < tracking;  // every other line, from the second
      const std::string domain =
          track ? std::string(pick(2) ? "." : "#HttpOnly_.") + (pick(2) ? "ads." : "") + kTrackingDomain
                : "shop" + std::to_string(pick(100)) + ".example";
      text += domain + "\tTRUE\t/\tFALSE\t2000000000\tid" + std::to_string(line) + "\t" + filler(12) + "\n";
    }
    return text;
  };
  const std::string cookieFolder = places[pick(places.size())];
  tree.files.push_back({cookieFolder.empty() ? "cookies.txt" : cookieFolder + "/cookies.txt",
                        cookieText(2 + static_cast<int>(pick(2))),
                        pick(3) == 0,
                        {kTrackingCookie}});
  add(".cookies", cookieText(1), {kTrackingCookie});
  add(".cookies", cookieText(0), {});

  for (std::size_t n = 8 + pick(5); n > 0; --n) {
    if (pick(2) == 0) {
      std::string binary(pick(300), '\0');
      for (char& c : binary) c = static_cast<char>(rng() & 0xff);
      add(".dat", std::move(binary), {});
    } else {
      add(".txt", filler(200), {});
    }
  }
  add(".txt", "", {});
  return tree;
}

// A file as the file system holds it.
struct FileState {
  std::string bytes;
  fs::perms perms{};
  fs::file_time_type::rep writeTime = 0;
  bool operator==(const FileState&) const = default;
};

struct TreeSnapshot {
  std::map<std::string, FileState> files;  // relative path (generic UTF-8) -> state
  std::set<std::string> folders;
};

inline TreeSnapshot Snapshot(const fs::path& root) {
  TreeSnapshot snapshot;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root)) {
    const std::string relative = Utf8(entry.path().lexically_relative(root));
    if (entry.is_directory()) {
      snapshot.folders.insert(relative);
    } else {
      snapshot.files[relative] = {ReadBytes(entry.path()), entry.status().permissions(),
                                  fs::last_write_time(entry.path()).time_since_epoch().count()};
    }
  }
  return snapshot;
}

// One line per difference of `after` from `before`; empty when equal.
inline std::string Differences(const TreeSnapshot& before, const TreeSnapshot& after) {
  std::ostringstream out;
  for (const auto& [path, state] : before.files) {
    const auto it = after.files.find(path);
    if (it == after.files.end()) {
      out << "  missing: " << path << "\n";
    } else if (!(it->second == state)) {
      out << "  changed: " << path << (it->second.bytes != state.bytes ? " (bytes)" : "")
          << (it->second.perms != state.perms ? " (permissions)" : "")
          << (it->second.writeTime != state.writeTime ? " (last write time)" : "") << "\n";
    }
  }
  for (const auto& [path, state] : after.files) {
    if (before.files.count(path) == 0) out << "  added: " << path << "\n";
  }
  for (const std::string& f : before.folders) out << (after.folders.count(f) ? "" : "  folder missing: " + f + "\n");
  for (const std::string& f : after.folders) out << (before.folders.count(f) ? "" : "  folder added: " + f + "\n");
  return out.str();
}

}  // namespace zevo::it

#endif  // ZEVO_TESTS_INTEGRATION_CLEAN_RANDOM_TREE_H_
