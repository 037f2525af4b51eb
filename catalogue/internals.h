// How the library reaches what the public classes hold privately. The
// public header declares Internals a friend of MessageMap and MessageFile
// and nothing more, so an application sees only what it may call.

#ifndef MSGREPORT_CATALOGUE_INTERNALS_H_
#define MSGREPORT_CATALOGUE_INTERNALS_H_

#include "catalogue/message_table.h"
#include "msgreport.h"

namespace msgreport {

struct Internals {
  // cppcheck-suppress constParameter ; the table is changed through it
  static MessageTable& Table(MessageMap& map) { return *map.table_; }
  static const MessageTable& Table(const MessageMap& map) {
    return *map.table_;
  }
  // Makes `reader` check file entries against a copy of `catalogue`.
  static void TakeSnapshot(MessageFile& reader, const MessageMap& catalogue) {
    Table(reader.snapshotMap) = Table(catalogue);
  }
  static const MessageTable& Snapshot(const MessageFile& reader) {
    return Table(reader.snapshotMap);
  }
};

}  // namespace msgreport

#endif  // MSGREPORT_CATALOGUE_INTERNALS_H_
