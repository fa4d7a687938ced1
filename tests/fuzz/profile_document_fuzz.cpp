// Setup.ini edited in memory from any bytes: an edit never reads or writes
// outside the document, a written key reads back as written, a removed one
// as missing, and the builder's reader finds in the edited bytes what the
// document finds.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "ini/document.h"
#include "ini/lists.h"
#include "ini/reader.h"

namespace {

void* Resize(void* block, size_t bytes) {
  if (bytes) return realloc(block, bytes);
  free(block);
  return nullptr;
}

// Names and values the calls read back unchanged: no blanks at the ends,
// no quotes, no line ends, no '=' in a name, no ']' or ';' at its start.
std::string Word(const uint8_t*& p, const uint8_t* end) {
  static const char kAlphabet[] = "aAbB0129\x95\x5C\\.%";
  std::string word;
  size_t length = p < end ? *p++ % 6 + 1 : 1;
  for (size_t i = 0; i < length && p < end; ++i) word += kAlphabet[*p++ % (sizeof kAlphabet - 1)];
  return word.empty() ? "k" : word;
}

void Agree(const profile::Document& d, const std::string& section, const std::string& key) {
  profile::Profile reader(d.bytes(), d.size());
  const profile::Entry* entry = reader.Find(section.c_str(), key.c_str());
  const char* value;
  size_t length;
  bool found = d.Find(section.c_str(), key.c_str(), &value, &length);
  if (found != (entry != nullptr) || (found && entry->value != std::string(value, length))) abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  size_t split = size ? data[0] : 0;
  if (split > size - (size ? 1 : 0)) split = size ? size - 1 : 0;
  const uint8_t* p = data + (size ? 1 : 0);
  const uint8_t* end = data + size;
  profile::Document d(Resize);
  if (!d.Load(reinterpret_cast<const char*>(p), split)) return 0;
  p += split;
  for (int edits = 0; p < end && edits < 16; ++edits) {
    uint8_t op = *p++;
    std::string section = Word(p, end), key = Word(p, end), value = Word(p, end);
    switch (op % 4) {
      case 0:
        if (!d.Write(section.c_str(), key.c_str(), value.c_str())) abort();
        {
          char out[64];
          d.Read(section.c_str(), key.c_str(), out, sizeof out, "-");
          if (value != out) abort();
        }
        break;
      case 1:
        d.Write(section.c_str(), key.c_str(), nullptr);
        break;
      case 2:
        d.Write(section.c_str(), nullptr, nullptr);
        if (d.HasSection(section.c_str())) abort();
        break;
      default:
        if (!profile::Append(&d, section.c_str(), value.c_str())) abort();
        if (!profile::IsListed(d, section.c_str(), value.c_str(), profile::Compare::kExact)) abort();
        break;
    }
    Agree(d, section, key);
  }
  return 0;
}
