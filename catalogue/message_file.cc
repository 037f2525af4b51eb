#include "catalogue/internals.h"
#include "catalogue/message_file_reader.h"
#include "msgreport.h"

MessageFile::MessageFile() = default;

MessageFile::~MessageFile() = default;

bool MessageFile::ReadMessageFile(const char* path, MessageMap& map) const {
  using msgreport::Internals;
  return msgreport::ReadMessageLines(path, Internals::Table(snapshotMap),
                                     Internals::Table(map),
                                     {}) == msgreport::ReadResult::kRead;
}
