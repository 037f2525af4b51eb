// Splits a fuzzer's input into fields at a separator byte, so one input can
// carry a message file, level texts and keys.

#ifndef MSGREPORT_FUZZ_FUZZ_INPUT_H_
#define MSGREPORT_FUZZ_FUZZ_INPUT_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace msgreport_fuzz {

inline std::vector<std::string> SplitFields(const std::uint8_t* data,
                                            std::size_t size, char separator) {
  std::vector<std::string> fields(1);
  for (std::size_t i = 0; i < size; ++i) {
    char c = static_cast<char>(data[i]);
    if (c == separator) {
      fields.emplace_back();
    } else {
      fields.back() += c;
    }
  }
  return fields;
}

// Writes `contents` to a file of the process's own, one per `slot`, and
// returns its path.
std::string WriteScratchFile(const std::string& contents, int slot = 0);

}  // namespace msgreport_fuzz

#endif  // MSGREPORT_FUZZ_FUZZ_INPUT_H_
