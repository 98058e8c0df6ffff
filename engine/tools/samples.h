// A sample tree for the reference engine: one file per test family of the
// shipped pattern, a cookie file with tracking cookies, a file with a
// non-ASCII name, and clean files.
#ifndef TARSK_TOOLS_SAMPLES_H_
#define TARSK_TOOLS_SAMPLES_H_

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace tarsk::samples {

struct Sample {
  std::filesystem::path path;  // relative to the tree's folder
  std::int32_t itemId;         // 0 for clean files
  std::uint32_t kind;          // item kind the engine reports; 0 for clean files
};

// Every sample, detected ones first. Paths use '/' and UTF-8 names.
std::vector<Sample> AllSamples();

// Writes the tree into folder (created if missing). Throws
// std::filesystem::filesystem_error or std::runtime_error.
void WriteSampleTree(const std::filesystem::path& folder);

// The lines of the sample cookie file, tracking ones included.
std::string CookieFileText();

}  // namespace tarsk::samples

#endif  // TARSK_TOOLS_SAMPLES_H_
