// The filter: keys whose reports are suppressed at every severity.

#include <cstring>

#include "msgreport.h"

bool MessageHandler::inFilterArray(const char* key) const {
  if (key == nullptr) return false;
  for (const char* filtered : filterArray) {
    if (std::strcmp(key, filtered) == 0) return true;
  }
  return false;
}
