#include "reader.h"

#include "text.h"

namespace profile {
namespace {

const Entry* FindEntry(const Section& section, const char* name) {
  for (const Entry& entry : section.entries)
    if (text::EqualNoCase(entry.name.c_str(), name)) return &entry;
  return nullptr;
}

}  // namespace

Profile::Profile(const char* bytes, size_t size) {
  // The mark is passed over, so that the first section is read; the
  // builder warns about it on its own.
  size_t mark = ByteOrderMarkLength(bytes, size);
  bytes += mark, size -= mark;
  LineReader reader(bytes, size);
  Line line;
  while (reader.Next(&line)) {
    LineParts parts = ParseLine(line);
    if (parts.kind == LineParts::kNothing) continue;
    if (parts.kind == LineParts::kHeader) {
      sections_.push_back(Section{std::string(parts.name, parts.nameLength), line.number, {}});
    } else if (sections_.empty()) {
      strays_.push_back(Stray{Stray::kOutsideSection, line.number});
    } else if (parts.kind == LineParts::kUnclosedHeader) {
      strays_.push_back(Stray{Stray::kUnclosedHeader, line.number});
    } else if (parts.kind == LineParts::kNoEquals) {
      strays_.push_back(Stray{Stray::kNoEquals, line.number});
    } else {
      sections_.back().entries.push_back(Entry{std::string(parts.name, parts.nameLength),
                                               std::string(parts.written, parts.writtenLength),
                                               std::string(parts.value, parts.valueLength), line.number});
    }
  }
}

const Section* Profile::FindSection(const char* name) const {
  for (const Section& section : sections_)
    if (text::EqualNoCase(section.name.c_str(), name)) return &section;
  return nullptr;
}

const Entry* Profile::Find(const char* section, const char* key) const {
  const Section* found = FindSection(section);
  return found ? FindEntry(*found, key) : nullptr;
}

std::string Profile::String(const char* section, const char* key) const {
  const Entry* entry = Find(section, key);
  return entry ? entry->value : std::string();
}

int Profile::Int(const char* section, const char* key, int fallback) const {
  const Entry* entry = Find(section, key);
  return entry ? ReadProfileInt(entry->value, fallback) : fallback;
}

}  // namespace profile
