// The filter: keys whose reports are suppressed at every severity.

#include <algorithm>
#include <cstring>

#include "msgreport.h"

namespace {

// strcmp(a, b) == 0. Most keys differ from a filter key in their first
// byte, which is cheaper to compare here than in a call to the C library.
// The filter keys are read anew on every test, since the handler holds the
// caller's strings, which the caller may change.
bool SameKey(const char* a, const char* b) {
  return a[0] == b[0] && std::strcmp(a, b) == 0;
}

}  // namespace

bool MessageHandler::inFilterArray(const char* key) const {
  if (key == nullptr) return false;
  // In list order, stopping at the first match.
  return std::any_of(
      filterArray.begin(), filterArray.end(),
      [key](const char* filtered) { return SameKey(key, filtered); });
}
