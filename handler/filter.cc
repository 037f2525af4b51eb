// The filter: keys whose reports are suppressed at every severity. The
// keys are indexed by hash as they are added (see FilterIndex), so a test
// costs the same for ten keys as for a thousand.

#include "catalogue/internals.h"
#include "catalogue/key_hash.h"
#include "msgreport.h"

bool MessageHandler::inFilterArray(const char* key) const {
  const msgreport::FilterIndex& index =
      msgreport::Internals::Table(messageMap).filter_index();
  // Without filter keys, the key is not even hashed.
  return key != nullptr && !index.empty() &&
         index.Contains(msgreport::HashedKey(key));
}
