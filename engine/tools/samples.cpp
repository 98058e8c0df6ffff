#include "samples.h"

#include <fstream>
#include <stdexcept>

#include "eicar.h"

namespace tarsk::samples {

namespace {

std::filesystem::path U8(const char8_t* text) { return std::filesystem::path(text); }

std::string ContentOf(const Sample& sample) {
  const std::string name = sample.path.filename().string();
  switch (sample.itemId) {
    case 1001:
      return EicarTestString();
    case 1002:
      return "MZ... padding TARSK-TEST-FAMILY-ADPOPPER ...\n";
    case 1003:
      return "toolbar TARSK-TEST-FAMILY-SEARCHBAR config\n";
    case 1004:
      return "dial TARSK-TEST-FAMILY-DIALER now\n";
    case 1005:
      return CookieFileText();
    case 1006:
      return "tarsk hash family sample: Acme AdPopper loader\n";
    case 1007:
      return "browser helper object, detected by its name only\n";
    case 1008:
      return "resident TARSK-TEST-FAMILY-RESIDENT service\n";
    case 1009:
      return "updater TARSK-TEST-FAMILY-UPDATER task\n";
    case 0x6e000010:
      return "popup TARSK-TEST-FAMILY-CUSTOM window\n";
    default:
      return "clean sample " + name + ": nothing to find here\n";
  }
}

}  // namespace

std::vector<Sample> AllSamples() {
  return {
      {U8(u8"eicar.com"), 1001, 10},
      {U8(u8"programs/adpopper.exe"), 1002, 10},
      {U8(u8"programs/searchbar/toolbar.dll"), 1003, 10},
      {U8(u8"programs/dialer.exe"), 1004, 10},
      {U8(u8"profile/cookies.txt"), 1005, 12},
      {U8(u8"programs/loader.bin"), 1006, 13},
      {U8(u8"programs/helper.tarskbho"), 1007, 14},
      {U8(u8"system/resident.sys"), 1008, 10},
      {U8(u8"system/updater.exe"), 1009, 10},
      {U8(u8"downloads/custom_popup.exe"), 0x6e000010, 10},
      {U8(u8"Überwachung/Пример-dialer.exe"), 1004, 10},
      {U8(u8"documents/readme.txt"), 0, 0},
      {U8(u8"documents/notes.md"), 0, 0},
      {U8(u8"profile/bookmarks.html"), 0, 0},
  };
}

std::string CookieFileText() {
  return "# Netscape HTTP Cookie File\n"
         ".tracker.globex.example\tTRUE\t/\tFALSE\t2000000000\tuid\tabc123\n"
         "news.example\tFALSE\t/\tFALSE\t2000000000\tsession\tkeepme\n"
         "#HttpOnly_ads.tracker.globex.example\tTRUE\t/\tTRUE\t2000000000\tad\tx9\n"
         "shop.example\tFALSE\t/\tFALSE\t2000000000\tcart\t42\n";
}

void WriteSampleTree(const std::filesystem::path& folder) {
  for (const Sample& sample : AllSamples()) {
    const std::filesystem::path file = folder / sample.path;
    std::filesystem::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    const std::string content = ContentOf(sample);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    if (!out) throw std::runtime_error("cannot write a sample file");
  }
}

}  // namespace tarsk::samples
