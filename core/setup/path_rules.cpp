#include "setup/path_rules.h"

namespace setup {
namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// Whether the part [start, end) is of dots and blanks alone (an empty
// part is not).
bool OnlyDotsAndBlanks(const char* start, const char* end) {
  if (start == end) return false;
  for (const char* p = start; p < end; ++p)
    if (*p != '.' && *p != ' ') return false;
  return true;
}

// The end of the part that starts at `p`.
const char* PartEnd(const char* p, text::LeadByteTest isLead) {
  while (*p && !IsSeparator(*p)) p = text::Next(p, isLead);
  return p;
}

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

}  // namespace

size_t FullPathRoot(const char* path, text::LeadByteTest isLead) {
  if (IsLetter(path[0]) && path[1] == ':' && IsSeparator(path[2])) return 3;
  if (!IsSeparator(path[0]) || !IsSeparator(path[1])) return 0;
  // "\\server\share": a server and a share name, neither empty.
  const char* server = path + 2;
  const char* serverEnd = PartEnd(server, isLead);
  if (serverEnd == server || *serverEnd == '\0') return 0;
  const char* share = serverEnd + 1;
  const char* shareEnd = PartEnd(share, isLead);
  if (shareEnd == share || OnlyDotsAndBlanks(server, serverEnd) || OnlyDotsAndBlanks(share, shareEnd)) return 0;
  return static_cast<size_t>(shareEnd - path) + (*shareEnd ? 1 : 0);
}

bool IsFullPath(const char* path, text::LeadByteTest isLead) {
  size_t root = FullPathRoot(path, isLead);
  if (root == 0) return false;
  for (const char* p = path + root;;) {
    const char* end = PartEnd(p, isLead);
    if (OnlyDotsAndBlanks(p, end)) return false;
    if (*end == '\0') return true;
    p = end + 1;
  }
}

bool StaysBelow(const char* path, text::LeadByteTest isLead) {
  int depth = 0;
  for (const char* p = path;;) {
    const char* end = PartEnd(p, isLead);
    if (!OnlyDotsAndBlanks(p, end)) {
      if (end != p) ++depth;
    } else if (end - p > 1 || *p != '.') {
      // ".." and the like climb; a lone "." stays.
      int dots = 0;
      for (const char* q = p; q < end; ++q) dots += *q == '.';
      if (dots >= 2 && --depth < 0) return false;
    }
    if (*end == '\0') return true;
    p = end + 1;
  }
}

bool IsPlainRelativePath(const char* name, text::LeadByteTest isLead) {
  for (const char* p = name;;) {
    const char* end = PartEnd(p, isLead);
    if (end == p || OnlyDotsAndBlanks(p, end)) return false;
    for (const char* q = p; q < end; q = text::Next(q, isLead))
      if (*q == ':') return false;
    if (*end == '\0') return true;
    p = end + 1;
  }
}

}  // namespace setup
