#include "lzh/header.h"

#include <string.h>

#include "bytes.h"
#include "lzh/crc16.h"
#include "lzh/format.h"
#include "text.h"

namespace lzh {
namespace {

// A name or folder field, kept until both are known.
struct Field {
  uint8_t bytes[kMaxPath];
  size_t length = 0;
  bool cut = false;
  void Set(const uint8_t* data, size_t size) {
    cut = size > kMaxPath;
    length = cut ? kMaxPath : size;
    memcpy(bytes, data, length);
  }
};

struct Parse {
  EntryHeader* header;
  Field name, folder;
  bool hasHeaderCrc = false;
  uint16_t headerCrc = 0;
  size_t headerCrcAt = 0;  // offset of the stored CRC inside the header buffer
};

// Takes one extended header; `at` is the offset of its data in the buffer
// that holds the whole header (levels 2 and 3).
void TakeExtension(Parse* parse, uint8_t type, const uint8_t* data, size_t size, size_t at) {
  EntryHeader* h = parse->header;
  switch (type) {
    case kExtHeaderCrc:
      if (size >= 2) {
        parse->hasHeaderCrc = true;
        parse->headerCrc = bytes::GetLe16(data);
        parse->headerCrcAt = at;
      }
      break;
    case kExtName: parse->name.Set(data, size); break;
    case kExtFolder: parse->folder.Set(data, size); break;
    case kExtAttributes:
      if (size >= 1) h->attributes = data[0];
      break;
    case kExtSizes64:
      if (size >= 16) {
        h->packedSize = bytes::GetLe64(data);
        h->originalSize = bytes::GetLe64(data + 8);
      }
      break;
    case kExtUnixMode:
      if (size >= 2) {
        h->unixMode = bytes::GetLe16(data);
        h->hasUnixMode = true;
      }
      break;
    case kExtUnixTime:
      if (size >= 4) {
        h->unixTime = bytes::GetLe32(data);
        h->hasUnixTime = true;
      }
      break;
    default: break;  // comments, owners, OS/2 attributes: not needed to extract
  }
}

// Appends a field to the path with every separator turned into '/'.
void AppendField(EntryHeader* h, const Field& field) {
  if (field.cut) h->nameTooLong = true;
  for (size_t i = 0; i < field.length; ++i) {
    uint8_t b = field.bytes[i];
    char out = static_cast<char>(b);
    if (b == kFolderSeparator || b == '/' || b == '\\') out = '/';
    if (text::IsCp932LeadByte(b) && i + 1 < field.length) {
      // A double-byte character: its second byte may be 0x5C and is no separator.
      if (h->pathLength + 2 > kMaxPath) { h->nameTooLong = true; break; }
      h->path[h->pathLength++] = out;
      h->path[h->pathLength++] = static_cast<char>(field.bytes[++i]);
      continue;
    }
    if (h->pathLength + 1 > kMaxPath) { h->nameTooLong = true; break; }
    h->path[h->pathLength++] = out;
  }
}

void BuildPath(Parse* parse) {
  EntryHeader* h = parse->header;
  h->pathLength = 0;
  AppendField(h, parse->folder);
  if (h->pathLength != 0 && h->path[h->pathLength - 1] != '/' && parse->name.length != 0) {
    if (h->pathLength < kMaxPath) h->path[h->pathLength++] = '/';
    else h->nameTooLong = true;
  }
  AppendField(h, parse->name);
  h->path[h->pathLength] = '\0';

  // Unix archivers store a link as a directory entry named "name|target"
  // (the '|' may even fall in the folder field, hence the joined path).
  bool linkMode = h->hasUnixMode && (h->unixMode & kUnixTypeMask) == kUnixTypeLink;
  if (linkMode || strcmp(h->method, kMethodFolder) == 0) {
    const char* bar = static_cast<const char*>(memchr(h->path, '|', h->pathLength));
    if (bar) {
      h->isLink = true;
      h->linkAt = static_cast<size_t>(bar - h->path);
    }
  }
}

Result Fail(Result r) { return r == Result::kOk ? Result::kBadHeader : r; }

Result ReadLevel01(const Source& source, uint8_t* buf, Parse* parse) {
  EntryHeader* h = parse->header;
  size_t total = static_cast<size_t>(buf[kSizeAt]) + 2;
  if (total < kLevel01MinSize) return Result::kBadHeader;
  Result r = io::ReadExactly(source, buf + kCommonSize, total - kCommonSize);
  if (r != Result::kOk) return r;
  if (Level01Sum(buf, total) != buf[kSumAt]) return Result::kBadHeader;

  h->packedSize = bytes::GetLe32(buf + kPackedSizeAt);
  h->originalSize = bytes::GetLe32(buf + kOriginalSizeAt);
  h->dosTime = bytes::GetLe32(buf + kTimeAt);
  h->attributes = buf[kAttributesAt];
  size_t nameLength = buf[kNameLengthAt];
  size_t at = kNameAt + nameLength;
  if (at > total) return Result::kBadHeader;
  // Amiga archivers keep a file's comment behind a NUL in the name field.
  const uint8_t* name = buf + kNameAt;
  const void* nul = memchr(name, 0, nameLength);
  parse->name.Set(name, nul ? static_cast<const uint8_t*>(nul) - name : nameLength);
  h->headerSize = total;

  if (h->level == 0) {
    if (at + kLevel0Tail <= total) h->crc = bytes::GetLe16(buf + at);  // the oldest archivers may leave it out
    if (at + 3 <= total) h->os = buf[at + 2];
    return Result::kOk;
  }

  if (at + kLevel1Tail > total) return Result::kBadHeader;
  h->crc = bytes::GetLe16(buf + at);
  h->os = buf[at + 2];
  // Level 1 counts its extended headers as part of the packed size.
  uint64_t extended = 0;
  size_t next = bytes::GetLe16(buf + total - 2);
  while (next != 0) {
    if (next < 3) return Result::kBadHeader;
    extended += next;
    if (extended > h->packedSize || h->headerSize + next > kMaxHeader) return Result::kBadHeader;
    r = io::ReadExactly(source, buf, next);
    if (r != Result::kOk) return r;
    h->headerSize += next;
    TakeExtension(parse, buf[0], buf + 1, next - 3, 0);
    next = bytes::GetLe16(buf + next - 2);
  }
  h->packedSize -= extended;
  parse->hasHeaderCrc = false;  // covered by the checksum and the entry CRC
  return Result::kOk;
}

// Levels 2 and 3 give the whole header's size up front; extended headers
// follow the fixed part inside it.
Result ReadLevel23(const Source& source, uint8_t* buf, Parse* parse) {
  EntryHeader* h = parse->header;
  bool three = h->level == 3;
  size_t fixed = three ? kLevel3FixedSize : kLevel2FixedSize;
  Result r = io::ReadExactly(source, buf + kCommonSize, fixed - kCommonSize);
  if (r != Result::kOk) return r;
  size_t total;
  if (three) {
    if (bytes::GetLe16(buf + kSizeAt) != kLevel3WordSize) return Result::kBadHeader;
    uint32_t declared = bytes::GetLe32(buf + kLevel3HeaderSizeAt);
    if (declared > kMaxHeader) return Result::kBadHeader;
    total = declared;
  } else {
    total = bytes::GetLe16(buf + kSizeAt);
  }
  if (total < fixed) return Result::kBadHeader;
  r = io::ReadExactly(source, buf + fixed, total - fixed);
  if (r != Result::kOk) return r;

  h->packedSize = bytes::GetLe32(buf + kPackedSizeAt);
  h->originalSize = bytes::GetLe32(buf + kOriginalSizeAt);
  h->unixTime = bytes::GetLe32(buf + kTimeAt);
  h->hasUnixTime = true;
  h->crc = bytes::GetLe16(buf + kDataCrcAt);
  h->os = buf[kOsAt];
  h->headerSize = total;

  size_t sizeBytes = three ? 4 : 2;
  size_t at = fixed;
  size_t next = three ? bytes::GetLe32(buf + kLevel3NextAt) : bytes::GetLe16(buf + kLevel2NextAt);
  bool os9Mended = false;
  while (next != 0) {
    // The OS-9/68k archiver leaves the header's own size field out of the
    // level 2 header size, so its last extended header runs two bytes past it.
    if (!three && h->os == 'K' && !os9Mended && next == total - at + 2) {
      r = io::ReadExactly(source, buf + total, 2);
      if (r != Result::kOk) return r;
      total += 2;
      h->headerSize = total;
      os9Mended = true;
    }
    if (next < 1 + sizeBytes || next > total - at) return Result::kBadHeader;
    TakeExtension(parse, buf[at], buf + at + 1, next - 1 - sizeBytes, at + 1);
    size_t end = at + next;
    next = three ? bytes::GetLe32(buf + end - 4) : bytes::GetLe16(buf + end - 2);
    at = end;
  }
  if (parse->hasHeaderCrc) {
    buf[parse->headerCrcAt] = 0;
    buf[parse->headerCrcAt + 1] = 0;
    if (Crc16(0, buf, total) != parse->headerCrc) return Result::kBadHeader;
  }
  return Result::kOk;
}

}  // namespace

bool EntryHeader::IsDirectory() const { return !isLink && strcmp(method, kMethodFolder) == 0; }

Result ReadHeader(const Source& source, uint8_t* buf, EntryHeader* header) {
  memset(header, 0, sizeof *header);
  size_t got = source.read(source.context, buf, 1);
  if (got == Source::kError) return Result::kReadFailed;
  if (got == 0 || buf[0] == 0) return Result::kEndOfArchive;
  Result r = io::ReadExactly(source, buf + 1, kCommonSize - 1);
  if (r != Result::kOk) return r;
  const uint8_t* method = buf + kMethodAt;
  if (method[0] != '-' || method[kMethodLength - 1] != '-') return Result::kBadHeader;
  memcpy(header->method, method, kMethodLength);
  header->method[kMethodLength] = '\0';
  header->level = buf[kLevelAt];

  Parse parse;
  parse.header = header;
  switch (header->level) {
    case 0:
    case 1: r = ReadLevel01(source, buf, &parse); break;
    case 2:
    case 3: r = ReadLevel23(source, buf, &parse); break;
    default: return Result::kBadHeader;
  }
  if (r != Result::kOk) return Fail(r);
  BuildPath(&parse);
  // An Amiga archiver stores its folders as empty stored files without a
  // name, only a folder.
  bool nameless = parse.name.length == 0 || (header->pathLength != 0 && header->path[header->pathLength - 1] == '/');
  if (header->os == 'A' && nameless && header->pathLength != 0 && header->originalSize == 0 &&
      strcmp(header->method, kMethodStored) == 0)
    memcpy(header->method, kMethodFolder, kMethodLength);
  return Result::kOk;
}

}  // namespace lzh
