#include "catalogue/message_file_reader.h"
#include "msgreport.h"

MessageFile::MessageFile() = default;

MessageFile::MessageFile(const MessageMap& catalogue) {
  snapshotMap = catalogue;
}

MessageFile::~MessageFile() = default;

bool MessageFile::ReadMessageFile(const char* path, MessageMap& map) const {
  return msgreport::ReadMessageLines(path, snapshotMap, map, {}) ==
         msgreport::ReadResult::kRead;
}
