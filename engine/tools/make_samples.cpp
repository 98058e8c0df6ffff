// tarsk_make_samples <folder>: writes the reference engine's sample tree.
#include <cstdio>
#include <exception>

#include "samples.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: tarsk_make_samples <folder>\n");
    return 2;
  }
  try {
    tarsk::samples::WriteSampleTree(argv[1]);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "tarsk_make_samples: %s\n", e.what());
    return 1;
  }
  std::printf("%zu sample files written to %s\n", tarsk::samples::AllSamples().size(), argv[1]);
  return 0;
}
