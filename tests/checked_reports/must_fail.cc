// Reports whose arguments do not fit their key's text, one per CASE, each
// of which must fail to compile with -Werror=format; CASE 0 fits and must
// compile.
#include "checked.h"

void Reports(MessageHandler& handler) {
#if CASE == 0
  CHECKED_REPORT_INFO(handler, COUNT, 3);
  CHECKED_REPORT_WARNING(handler, DONE);
#elif CASE == 1  // a string for %d
  CHECKED_REPORT_INFO(handler, COUNT, "many");
#elif CASE == 2  // an argument too few
  CHECKED_REPORT_ERROR(handler, OPEN_FAILED, "a.txt");
#elif CASE == 3  // an argument too many
  CHECKED_REPORT_WARNING(handler, DONE, 1);
#elif CASE == 4  // an int for %lld
  CHECKED_REPORT_DEBUG(handler, BIG, 1, sizeof(int));
#elif CASE == 5  // a key the catalogue does not hold
  CHECKED_REPORT_INFO(handler, CUONT, 3);
#endif
}
