#include "setup/span.h"

#include <string.h>

namespace setup {

bool CopySpan(char* to, size_t size, const char* text, Span span) {
  if (span.length >= size) {
    if (size) to[0] = '\0';
    return false;
  }
  memcpy(to, text + span.offset, span.length);
  to[span.length] = '\0';
  return true;
}

}  // namespace setup
