// MessageMap is a handle: the table it holds is the library's own.

#include "catalogue/message_table.h"
#include "msgreport.h"

MessageMap::MessageMap()
    : table_(std::make_unique<msgreport::MessageTable>()) {}

MessageMap::~MessageMap() = default;
