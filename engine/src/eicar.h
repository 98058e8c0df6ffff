// The industry-standard anti-malware test string, assembled at run time so
// that neither the sources nor the binaries hold it in one piece.
#ifndef TARSK_EICAR_H_
#define TARSK_EICAR_H_

#include <string>

namespace tarsk {

inline std::string EicarTestString() {
  // Each byte is stored plus one; the string is the bytes minus one.
  static constexpr char kShifted[] = "Y6P\"Q&ABQ\\5]Q[Y65)Q_*8DD*8~%FJDBS.TUBOEBSE.BOUJWJSVT.UFTU.GJMF\"%I,I+";
  std::string text;
  for (const char c : kShifted) {
    if (c != '\0') text.push_back(static_cast<char>(c - 1));
  }
  return text;
}

}  // namespace tarsk

#endif  // TARSK_EICAR_H_
