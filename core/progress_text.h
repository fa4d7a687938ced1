// Texts of the stub's progress window that carry numbers.
#ifndef SFX_CORE_PROGRESS_TEXT_H
#define SFX_CORE_PROGRESS_TEXT_H

#include <stddef.h>
#include <stdint.h>

namespace progress {

// Room for the longest grouped number, "-2,147,483,648" or
// "4,294,967,295", with its NUL.
constexpr size_t kThousandsSize = 16;
// Room for the transport and leftover texts.
constexpr size_t kCountTextSize = 128;

// Decimal text of `value` with ',' between groups of three digits:
// 1234567 gives "1,234,567". The sign never stands apart from its digits:
// -123 gives "-123".
void FormatThousands(char* buffer, int32_t value);

// The same for the unsigned 32-bit counters of the file and byte counts,
// so that totals of 2 GiB and more do not read as negative.
void FormatThousandsUnsigned(char* buffer, uint32_t value);

// "Transport...\n\n<files> File(s)\n<bytes> Byte(s)": what the stub is
// about to move. 0 and 1 take the singular.
void TransportText(char* buffer, uint32_t files, uint32_t bytes);

// What the distribution left behind, shown before the workspace goes:
// "<files> File(s)\n<bytes> Byte(s)\n...failure at copy.\n\nDeleting
// workspace..." when anything is left, otherwise "Deleting workspace...".
void LeftoverText(char* buffer, uint32_t files, uint32_t bytes);

}  // namespace progress

#endif  // SFX_CORE_PROGRESS_TEXT_H
