#include "catalogue/message_file_reader.h"
#include "msgreport.h"

MessageFile::MessageFile() = default;

MessageFile::MessageFile(const MessageMap& catalogue) {
  // A map is copied only by assignment; it has no copy constructor.
  // cppcheck-suppress useInitializationList
  snapshotMap = catalogue;
}

MessageFile::~MessageFile() = default;

bool MessageFile::ReadMessageFile(const char* path, MessageMap& map) const {
  return msgreport::ReadMessageLines(path, snapshotMap, map, {}) ==
         msgreport::ReadResult::kRead;
}
