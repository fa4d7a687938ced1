// A piece of a caller's text, by offset and length. The setup rules cut
// lines without copying them, so what they find is a span of the line.
#ifndef SFX_CORE_SETUP_SPAN_H
#define SFX_CORE_SETUP_SPAN_H

#include <stddef.h>

namespace setup {

struct Span {
  size_t offset;
  size_t length;
};

// Copies `span` of `text` into `to` (a buffer of `size` bytes) and ends it
// with a NUL. When it would not fit, `to` is emptied and false returned: a
// cut key or value name would name something else.
bool CopySpan(char* to, size_t size, const char* text, Span span);

}  // namespace setup

#endif  // SFX_CORE_SETUP_SPAN_H
