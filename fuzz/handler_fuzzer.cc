// The handler's whole road: a message file, level texts, filter keys and
// report keys from the input; reports go to callbacks, which check what
// they receive. The reports pass a string and an int, which every built-in
// text below accepts, so whatever the file brings in must accept them too.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz_input.h"
#include "msgreport.h"

namespace {

// clang-format off
const char* kPairs[] = {
    "OPEN",  "Cannot open %s (error %d)",
    "PLAIN", "Nothing to format",
    "WIDE",  "%-40s|%8d",
    "EMPTY", "",
    "LONG",  "%s|%d",
    "CHAR",  "%.3s %c",
    // Plural messages, whose forms a file may give in its own language.
    "@language",   "en",
    "OPEN[one]",   "Cannot open %s (one error)",
    "LONG[count]", "2",
    "LONG[one]",   "%s|one",
};
// clang-format on
constexpr int kPairCount = sizeof kPairs / sizeof kPairs[0] / 2;

std::size_t delivered = 0;

void Receive(char* message) {
  std::size_t length = std::strlen(message);
  if (length > 1023) std::abort();
  // The buffer is the callback's to change, within its length.
  if (length > 0) message[0] = '#';
  ++delivered;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  // Fields: message file, console levels, log levels, filter keys (space
  // separated), then one report key per field.
  std::vector<std::string> fields =
      msgreport_fuzz::SplitFields(data, size, '\x1e');
  fields.resize(fields.size() < 4 ? 4 : fields.size());
  std::string path = msgreport_fuzz::WriteScratchFile(fields[0]);

  std::vector<std::string> filter_keys = msgreport_fuzz::SplitFields(
      reinterpret_cast<const std::uint8_t*>(fields[3].data()), fields[3].size(),
      ' ');
  std::vector<const char*> filters;
  for (const std::string& key : filter_keys) filters.push_back(key.c_str());
  filters.push_back(nullptr);  // null entries are skipped

  MessageHandler handler(kPairs, kPairCount, filters.data(),
                         static_cast<int>(filters.size()), path.c_str());
  handler.SetConsoleReporting(fields[1].c_str());
  handler.SetLogReporting(fields[2].c_str());
  handler.RegisterErrorCallback(Receive);
  handler.RegisterWarningCallback(Receive);
  handler.RegisterInfoCallback(Receive);
  handler.RegisterDebugCallback(Receive);

  const std::string long_value(1500, 'v');
  for (std::size_t i = 4; i < fields.size(); ++i) {
    const char* key = fields[i].c_str();
    const char* value = (i % 2 == 0) ? long_value.c_str() : key;
    handler.ReportError2(key, value, static_cast<int>(i));
    handler.ReportWarning2(key, value, -1);
    handler.ReportInfo2(key, key, 0);
    handler.ReportDebug2(key, value, 1 << 30);
    // The filter answers for the keys as C strings, as the handler holds.
    bool listed = false;
    for (const std::string& filter : filter_keys) {
      listed |= std::strcmp(filter.c_str(), key) == 0;
    }
    if (handler.inFilterArray(key) != listed) std::abort();
  }
  handler.ReportInfo2(nullptr, "x", 1);
  return 0;
}
