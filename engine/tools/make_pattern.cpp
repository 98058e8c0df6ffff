// tarsk_make_pattern [--version TEXT] <file> [items] [companies] [threat types]:
// writes a large pattern for benchmarks (default 1000000 product items,
// 100000 companies, 10000 threat types) with one byte signature per threat
// type, under the version text TEXT (default 9999.1.1.1).
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

long Count(int argc, char** argv, int index, long fallback) {
  return argc > index ? std::strtol(argv[index], nullptr, 10) : fallback;
}

}  // namespace

int main(int argc, char** argv) {
  std::string version = "9999.1.1.1";
  if (argc > 2 && std::string(argv[1]) == "--version") {
    version = argv[2];
    argv += 2;
    argc -= 2;
  }
  if (argc < 2 || argc > 5 || version.empty() || version.find_first_of("\t\r\n") != std::string::npos) {
    std::fprintf(stderr, "usage: tarsk_make_pattern [--version TEXT] <file> [items] [companies] [threats]\n");
    return 2;
  }
  const long items = Count(argc, argv, 2, 1000000);
  const long companies = Count(argc, argv, 3, 100000);
  const long threats = Count(argc, argv, 4, 10000);
  if (items <= 0 || companies <= 0 || threats <= 0) {
    std::fprintf(stderr, "tarsk_make_pattern: counts must be positive\n");
    return 2;
  }
  std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
  out << "# Generated large pattern\nversion\t" << version << "\n";
  for (long c = 1; c <= companies; ++c) {
    out << "company\t" << c << "\tCompany " << c << "\tcompany" << c << ".example\n";
  }
  for (long t = 1; t <= threats; ++t) {
    out << "threat\t" << t << "\tThreat " << t << "\tGenerated threat type\tgenerated\t" << (t % 100) << "\n";
  }
  for (long i = 1; i <= items; ++i) {
    out << "item\t" << i << "\t" << (i % companies) + 1 << "\tItem." << i << "\t" << (i % threats) + 1 << "\n";
  }
  for (long t = 1; t <= threats; ++t) {
    out << "sig\tbytes\t" << t << "\t" << t << "\ttext:GENERATED-SIGNATURE-" << t << "-END\n";
  }
  out.close();
  if (!out) {
    std::fprintf(stderr, "tarsk_make_pattern: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
