// The message-file reader on arbitrary bytes. Afterwards the catalogue must
// hold exactly the keys it had, each with its own text or one whose
// conversions are compatible with it.

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "catalogue/format_check.h"
#include "catalogue/internals.h"
#include "fuzz_input.h"
#include "msgreport.h"

namespace {

const char* const kCatalogue[][2] = {
    {"FILE_NOT_FOUND", "Cannot open %s (error %d)"},
    {"DISK_FULL", "Disk full"},
    {"PROGRESS", "%5.1f%% of %lu bytes"},
    {"WIDTH", "%*d|%-*s"},
    {"POINTER", "object at %p, %c"},
    {"LONG", "%lld %hhx %zu %Lg %ls"},
    {"EMPTY", ""},
    {"POSITIONAL", "%2$s %1$d"},
    {"NAME", "Name: %.*s, code %.3s"},
};
constexpr std::size_t kKeys = sizeof kCatalogue / sizeof kCatalogue[0];

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  MessageMap catalogue;
  msgreport::MessageTable& table = msgreport::Internals::Table(catalogue);
  for (const auto& pair : kCatalogue) table.AddMessage(pair[0], pair[1]);
  std::string path = msgreport_fuzz::WriteScratchFile(
      std::string(reinterpret_cast<const char*>(data), size));

  MessageFile reader;
  msgreport::Internals::TakeSnapshot(reader, catalogue);
  if (!reader.ReadMessageFile(path.c_str(), catalogue)) std::abort();

  if (table.size() != kKeys) std::abort();
  for (const auto& pair : kCatalogue) {
    const char* text = table.FindMessage(pair[0]);
    if (text == nullptr) std::abort();
    if (std::strcmp(text, pair[1]) == 0) continue;
    msgreport::CompatibilityVerdict verdict =
        msgreport::CheckCompatibility(pair[1], text, std::strlen(text));
    if (!verdict.accepted()) std::abort();
    if (std::strstr(text, "//") != nullptr) std::abort();
  }
  return 0;
}
