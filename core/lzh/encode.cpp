#include "lzh/encode.h"

#include <string.h>

#include <string>

#include "bytes.h"
#include "entry_name.h"
#include "lzh/crc16.h"
#include "lzh/encode_pack.h"
#include "lzh/format.h"
#include "lzh/header.h"
#include "text.h"

namespace lzh {
namespace {

constexpr uint64_t kMaxFileSize = 0xFFFFFFFFu;
constexpr size_t kCopyChunk = 65536;

// Splits a name into its folder (components each followed by 0xFF, as the
// folder extension wants them) and its last component. For a folder entry
// the whole path goes to `folder`. Names the unpackers would refuse are
// refused, and a little more: a "." part, which they would pass over, and
// the byte 0xFF, which separates folders inside the header.
Result SplitName(const EntryInfo& info, bool directory, std::vector<uint8_t>* folder, std::vector<uint8_t>* name) {
  std::string raw(info.name ? info.name : "", info.name ? info.nameLength : 0);
  if (raw.size() > kMaxPath || raw.find(static_cast<char>(kFolderSeparator)) != std::string::npos)
    return Result::kUnsafeName;
  // Readers land an absolute name below their target; the writer is
  // stricter and stores none, so what it writes means one thing everywhere.
  if (!raw.empty() && (raw[0] == '/' || raw[0] == '\\' || raw.find(':') != std::string::npos))
    return Result::kUnsafeName;
  size_t partStart = 0;
  for (const char* p = raw.c_str();; p = text::Next(p)) {
    if (*p && *p != '/' && *p != '\\') continue;
    size_t at = static_cast<size_t>(p - raw.c_str());
    if (at == partStart + 1 && raw[partStart] == '.') return Result::kUnsafeName;
    if (!*p) break;
    partStart = at + 1;
  }
  // A file's name ends with a name, not with a separator.
  if (!directory && !raw.empty() && partStart == raw.size()) return Result::kUnsafeName;
  std::vector<char> clean(raw.size() + 1);
  size_t cleanLength = 0;
  Result r = archive::CleanEntryName(raw.data(), raw.size(), '/', clean.data(), &cleanLength);
  if (r != Result::kOk) return r;

  folder->clear();
  name->clear();
  const char* part = clean.data();
  for (const char* slash; (slash = static_cast<const char*>(memchr(part, '/', clean.data() + cleanLength - part)));
       part = slash + 1) {
    folder->insert(folder->end(), part, slash);
    folder->push_back(kFolderSeparator);
  }
  const char* end = clean.data() + cleanLength;
  if (directory) {
    folder->insert(folder->end(), part, end);
    folder->push_back(kFolderSeparator);
  } else {
    name->assign(part, end);
  }
  return Result::kOk;
}

const char* MethodName(PackMethod method) {
  switch (method) {
    case PackMethod::kLh5: return kMethodLh5;
    case PackMethod::kLh6: return kMethodLh6;
    case PackMethod::kLh7: return kMethodLh7;
    case PackMethod::kStored: break;
  }
  return kMethodStored;
}

int DictBits(PackMethod method) {
  return method == PackMethod::kLh5 ? kLh5DictBits : method == PackMethod::kLh6 ? kLh6DictBits : kLh7DictBits;
}

// Reads exactly `size` bytes; fewer is kSizeChanged.
Result ReadFully(const Source& data, uint8_t* buffer, size_t size) {
  while (size != 0) {
    size_t got = data.read(data.context, buffer, size);
    if (got == Source::kError || got > size) return Result::kReadFailed;
    if (got == 0) return Result::kSizeChanged;
    buffer += got;
    size -= got;
  }
  return Result::kOk;
}

// A source that still has bytes after its declared size has changed.
Result CheckEnd(const Source& data) {
  uint8_t extra;
  size_t got = data.read(data.context, &extra, 1);
  if (got == Source::kError) return Result::kReadFailed;
  return got == 0 ? Result::kOk : Result::kSizeChanged;
}

bool AppendTo(void* context, const uint8_t* data, size_t size) {
  static_cast<std::vector<uint8_t>*>(context)->insert(static_cast<std::vector<uint8_t>*>(context)->end(), data,
                                                      data + size);
  return true;
}
bool Discard(void*, const uint8_t*, size_t) { return true; }

}  // namespace

int64_t UnixTimeFromDos(uint32_t dosTime) {
  uint32_t date = dosTime >> 16, time = dosTime & 0xFFFF;
  int64_t year = 1980 + (date >> 9);
  int64_t month = (date >> 5) & 15, day = date & 31;
  if (month < 1) month = 1;
  if (month > 12) month = 12;
  if (day < 1) day = 1;
  // Days since 1970 of a proleptic Gregorian date, counting years from March.
  int64_t y = month <= 2 ? year - 1 : year;
  int64_t era = y / 400;
  int64_t yearOfEra = y - era * 400;
  int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  int64_t days = era * 146097 + dayOfEra - 719468;
  return days * 86400 + (time >> 11) * 3600 + ((time >> 5) & 63) * 60 + (time & 31) * 2;
}

LzhWriter::LzhWriter(const Sink& sink, const WriterOptions& options) : sink_(sink), options_(options) {}
LzhWriter::~LzhWriter() = default;

Result LzhWriter::Write(const uint8_t* data, size_t size) {
  if (size != 0 && !sink_.write(sink_.context, data, size)) return Result::kWriteFailed;
  written_ += size;
  return Result::kOk;
}

Result LzhWriter::Fail(Result r) {
  if (r != Result::kOk && broken_ == Result::kOk) broken_ = r;
  return r;
}

Packer* LzhWriter::GetPacker() {
  if (!packer_) packer_.reset(new Packer);
  return packer_.get();
}

Result LzhWriter::WriteHeader(const char* method, const std::vector<uint8_t>& folder,
                              const std::vector<uint8_t>& name, uint64_t packed, uint64_t original, uint16_t crc,
                              const EntryInfo& info, uint8_t attributes) {
  int64_t t = info.unixTime < 0 ? 0 : info.unixTime > 0xFFFFFFFFll ? 0xFFFFFFFFll : info.unixTime;
  std::vector<uint8_t> h(kLevel2FixedSize);
  h.reserve(64 + folder.size() + name.size());
  memcpy(h.data() + kMethodAt, method, kMethodLength);
  bytes::PutLe32(h.data() + kPackedSizeAt, static_cast<uint32_t>(packed));
  bytes::PutLe32(h.data() + kOriginalSizeAt, static_cast<uint32_t>(original));
  bytes::PutLe32(h.data() + kTimeAt, static_cast<uint32_t>(t));
  h[kAttributesAt] = kAttributeArchive;
  h[kLevelAt] = 2;  // the header level
  bytes::PutLe16(h.data() + kDataCrcAt, crc);
  h[kOsAt] = options_.os;
  size_t next = kLevel2NextAt;
  // Each extension: its size goes in the previous one's "next" field.
  auto extension = [&](uint8_t type, const uint8_t* data, size_t size) {
    bytes::PutLe16(h.data() + next, static_cast<uint32_t>(1 + size + 2));
    h.push_back(type);
    h.insert(h.end(), data, data + size);
    next = h.size();
    h.resize(next + 2);  // the next one's size, 0 at the end
  };
  const uint8_t zero[2] = {0, 0};
  extension(kExtHeaderCrc, zero, 2);
  size_t crcAt = h.size() - 4;
  if (!name.empty()) extension(kExtName, name.data(), name.size());
  if (!folder.empty()) extension(kExtFolder, folder.data(), folder.size());
  const uint8_t attr[2] = {attributes, 0};
  extension(kExtAttributes, attr, 2);
  // A total whose low byte is zero would start with the end marker.
  if ((h.size() & 0xFF) == 0) h.push_back(0);
  bytes::PutLe16(h.data() + kSizeAt, static_cast<uint32_t>(h.size()));
  bytes::PutLe16(h.data() + crcAt, Crc16(0, h.data(), h.size()));
  memcpy(lastMethod_, method, kMethodLength);
  lastMethod_[kMethodLength] = '\0';
  return Write(h.data(), h.size());
}

Result LzhWriter::AddFile(const EntryInfo& info, const Source& data, uint64_t size, PackMethod method,
                          int level) {
  if (finished_) return Result::kBadCommand;
  if (broken_ != Result::kOk) return broken_;
  std::vector<uint8_t> folder, name;
  Result r = SplitName(info, false, &folder, &name);
  if (r != Result::kOk) return r;
  if (size > kMaxFileSize) return Result::kTooLarge;
  if (method != PackMethod::kStored && method != PackMethod::kLh5 && method != PackMethod::kLh6 &&
      method != PackMethod::kLh7)
    return Result::kBadCommand;
  uint8_t attributes = static_cast<uint8_t>(info.attributes & ~kAttributeFolder);
  bool pack = method != PackMethod::kStored && level > 0 && size != 0;
  if (size > options_.memoryLimit) return AddLarge(info, data, size, pack ? method : PackMethod::kStored, level, folder, name);

  // Small enough to hold: one reading, and the stored form at hand should
  // packing not pay.
  std::vector<uint8_t> input(static_cast<size_t>(size));
  r = ReadFully(data, input.data(), input.size());
  if (r == Result::kOk) r = CheckEnd(data);
  if (r != Result::kOk) return r;
  uint16_t crc = Crc16(0, input.data(), input.size());
  if (pack) {
    std::vector<uint8_t> packed;
    io::MemoryData memory{input.data(), input.size()};
    PackResult result;
    r = GetPacker()->Pack(DictBits(method), level, memory.source(), size, size - 1,
                                                   Sink{&packed, AppendTo}, &result);
    if (r != Result::kOk) return r;
    if (!result.gaveUp) {
      r = WriteHeader(MethodName(method), folder, name, packed.size(), size, crc, info, attributes);
      if (r == Result::kOk) r = Write(packed.data(), packed.size());
      return Fail(r);
    }
  }
  r = WriteHeader(kMethodStored, folder, name, size, size, crc, info, attributes);
  if (r == Result::kOk) r = Write(input.data(), input.size());
  return Fail(r);
}

Result LzhWriter::AddLarge(const EntryInfo& info, const Source& data, uint64_t size, PackMethod method, int level,
                           const std::vector<uint8_t>& folder, const std::vector<uint8_t>& name) {
  if (!data.rewind) return Result::kCannotRewind;
  uint8_t attributes = static_cast<uint8_t>(info.attributes & ~kAttributeFolder);
  Packer* packer = method == PackMethod::kStored ? nullptr : GetPacker();

  // First reading: the CRC, and whether packing pays. Nothing is written yet.
  PackResult first;
  Result r = Result::kOk;
  std::vector<uint8_t> chunk;
  if (packer) {
    r = packer->Pack(DictBits(method), level, data, size, size - 1, Sink{nullptr, Discard}, &first);
  } else {
    chunk.resize(kCopyChunk);
    for (uint64_t left = size; left != 0 && r == Result::kOk;) {
      size_t n = left < kCopyChunk ? static_cast<size_t>(left) : kCopyChunk;
      r = ReadFully(data, chunk.data(), n);
      first.crc = Crc16(first.crc, chunk.data(), n);
      left -= n;
    }
    first.gaveUp = true;
  }
  if (r == Result::kOk) r = CheckEnd(data);
  if (r != Result::kOk) return r;
  if (!data.rewind(data.context)) return Result::kReadFailed;

  // Second reading, into the archive; from here on a failure breaks it.
  if (first.gaveUp) {
    r = WriteHeader(kMethodStored, folder, name, size, size, first.crc, info, attributes);
    chunk.resize(kCopyChunk);
    uint16_t crc = 0;
    for (uint64_t left = size; left != 0 && r == Result::kOk;) {
      size_t n = left < kCopyChunk ? static_cast<size_t>(left) : kCopyChunk;
      r = ReadFully(data, chunk.data(), n);
      if (r == Result::kOk) r = Write(chunk.data(), n);
      crc = Crc16(crc, chunk.data(), n);
      left -= n;
    }
    if (r == Result::kOk) r = CheckEnd(data);
    if (r == Result::kOk && crc != first.crc) r = Result::kSizeChanged;
    return Fail(r);
  }
  r = WriteHeader(MethodName(method), folder, name, first.packedSize, size, first.crc, info, attributes);
  if (r != Result::kOk) return Fail(r);
  auto forward = [](void* context, const uint8_t* bytes, size_t n) {
    return static_cast<LzhWriter*>(context)->Write(bytes, n) == Result::kOk;
  };
  PackResult second;
  r = packer->Pack(DictBits(method), level, data, size, ~uint64_t(0), Sink{this, forward}, &second);
  if (r == Result::kOk) r = CheckEnd(data);
  if (r == Result::kOk && (second.crc != first.crc || second.packedSize != first.packedSize))
    r = Result::kSizeChanged;
  return Fail(r);
}

Result LzhWriter::AddDirectory(const EntryInfo& info) {
  if (finished_) return Result::kBadCommand;
  if (broken_ != Result::kOk) return broken_;
  std::vector<uint8_t> folder, name;
  Result r = SplitName(info, true, &folder, &name);
  if (r != Result::kOk) return r;
  uint8_t attributes = static_cast<uint8_t>(info.attributes | kAttributeFolder);
  return Fail(WriteHeader(kMethodFolder, folder, name, 0, 0, 0, info, attributes));
}

Result LzhWriter::Finish() {
  if (finished_) return Result::kBadCommand;
  if (broken_ != Result::kOk) return broken_;
  const uint8_t end = 0;
  Result r = Fail(Write(&end, 1));
  if (r == Result::kOk) finished_ = true;
  return r;
}

}  // namespace lzh
