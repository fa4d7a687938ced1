// The block function a profile::Document grows its memory with, over the
// C library's heap, for the host tests.
#ifndef SFX_TESTS_COMMON_HEAP_RESIZE_H
#define SFX_TESTS_COMMON_HEAP_RESIZE_H

#include <stdlib.h>

inline void* HeapResize(void* block, size_t bytes) {
  if (bytes) return realloc(block, bytes);
  free(block);
  return nullptr;
}

#endif  // SFX_TESTS_COMMON_HEAP_RESIZE_H
