// A private-profile file held in memory, read and edited the way the
// private-profile calls read and write it (the grammar of reader.h), for
// the programs that run on Windows: they read Setup.ini once, look keys up
// here, and write the file back whole (platform/ini_file.h) instead of
// reopening and rewriting it for every key.
//
// An edit touches only the lines it is about; every other byte of the file
// stays as it was. New lines end the way the file's first line ends.
// Nothing here allocates from a C++ runtime: the owner passes the function
// that grows and frees the blocks.
#ifndef SFX_CORE_INI_DOCUMENT_H
#define SFX_CORE_INI_DOCUMENT_H

#include <stddef.h>
#include <stdint.h>

namespace profile {

// Grows or shrinks `block` (null for a new one) to `bytes`, keeping what it
// holds, or frees it when `bytes` is 0; null when the memory cannot be had
// (the block then stays as it was).
using Resize = void* (*)(void* block, size_t bytes);

class Document {
 public:
  explicit Document(Resize resize) : resize_(resize) {}
  ~Document() { Clear(); }
  Document(const Document&) = delete;
  Document& operator=(const Document&) = delete;

  // Takes a copy of a file's bytes (a UTF-8 byte-order mark is passed
  // over, as the reader passes it). False, the document left empty, when
  // the memory cannot be had.
  bool Load(const char* bytes, size_t size);
  // Takes `block` itself, which holds a file's `size` bytes and room for
  // one more and came from this document's block function: a file read
  // straight into it is not copied again. The block is the document's
  // from then on, freed at once when the document cannot be had.
  bool Adopt(char* block, size_t size);
  void Clear();

  const char* bytes() const { return bytes_; }
  size_t size() const { return size_; }
  // Whether an edit has changed the bytes since they were loaded.
  bool changed() const { return changed_; }
  // Once the bytes are on the disk again.
  void MarkUnchanged() { changed_ = false; }
  Resize resizer() const { return resize_; }

  // The first key of that name in the first section of that name, as the
  // calls find it: its value, not NUL-terminated. False when either is
  // missing.
  bool Find(const char* section, const char* key, const char** value, size_t* length) const;
  // As GetPrivateProfileString reads it: the value, or `fallback` when the
  // key is missing, cut to fit `size` bytes with its NUL; its length.
  size_t Read(const char* section, const char* key, char* out, size_t size, const char* fallback = "") const;
  // As GetPrivateProfileInt reads it.
  int Number(const char* section, const char* key, int fallback) const;
  bool HasSection(const char* section) const;

  // As WritePrivateProfileString writes it: a key's value replaced or the
  // key added at the end of its section, which is added at the end of the
  // file when missing. A null `value` removes the key; a null `key`
  // removes every section of that name. False, the document unchanged,
  // when the memory cannot be had. No text may lie in the document's own
  // bytes.
  bool Write(const char* section, const char* key, const char* value);
  // Replaces the lines of the first section of that name, up to the end of
  // its last key, with `lines` (whole lines, ended as LineEnd() ends
  // them); a missing section is added. Each list setup records is written
  // so, in one go. Neither text may lie in the document's own bytes.
  bool ReplaceSection(const char* section, const char* lines);
  // The line end the file's first line has; CR LF for a file without one.
  const char* LineEnd() const { return lineEnd_; }

 private:
  // A header or a key line; other lines are not indexed.
  struct Mark {
    uint32_t start;  // of its line
    uint32_t name;
    uint32_t nameLength;
    uint32_t next;  // a header's: the index of the next header, or the mark count
  };

  bool Reserve(size_t bytes, size_t marks);
  void Index();
  // The index of the first header of that name; the mark count when none.
  size_t FindHeader(const char* section) const;
  size_t FindKey(size_t header, const char* key) const;
  // Where the line after the one starting at `start` starts.
  size_t NextLine(size_t start) const;
  // Replaces the `removed` bytes at `at` with the joined `parts`, none of
  // which may lie in the document's own bytes.
  bool Splice(size_t at, size_t removed, const char* const* parts, int count);

  Resize resize_;
  char* bytes_ = nullptr;
  size_t size_ = 0;
  size_t capacity_ = 0;
  Mark* marks_ = nullptr;
  size_t markCount_ = 0;
  size_t markCapacity_ = 0;
  const char* lineEnd_ = "\r\n";
  bool changed_ = false;
};

}  // namespace profile

#endif  // SFX_CORE_INI_DOCUMENT_H
