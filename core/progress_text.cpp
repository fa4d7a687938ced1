#include "progress_text.h"

#include <string.h>

#include "thousands.h"

namespace progress {
namespace {

char* Append(char* out, const char* text) {
  size_t length = strlen(text);
  memcpy(out, text, length + 1);
  return out + length;
}

// "<n> <noun>" with the plural 's' for counts above one.
char* AppendCount(char* out, uint32_t count, const char* noun) {
  out = thousands::Group(out, count, false);
  *out++ = ' ';
  out = Append(out, noun);
  if (count > 1) out = Append(out, "s");
  return out;
}

char* AppendCounts(char* out, uint32_t files, uint32_t bytes) {
  out = AppendCount(out, files, "File");
  out = Append(out, "\n");
  return AppendCount(out, bytes, "Byte");
}

}  // namespace

void FormatThousands(char* buffer, int32_t value) {
  // The magnitude of INT32_MIN only fits the unsigned type.
  uint32_t magnitude = value < 0 ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
  thousands::Group(buffer, magnitude, value < 0);
}

void FormatThousandsUnsigned(char* buffer, uint32_t value) { thousands::Group(buffer, value, false); }

void TransportText(char* buffer, uint32_t files, uint32_t bytes) {
  AppendCounts(Append(buffer, "Transport...\n\n"), files, bytes);
}

void LeftoverText(char* buffer, uint32_t files, uint32_t bytes) {
  char* out = buffer;
  if (files != 0 || bytes != 0) {
    out = AppendCounts(out, files, bytes);
    out = Append(out, "\n...failure at copy.\n\n");
  }
  Append(out, "Deleting workspace...");
}

}  // namespace progress
