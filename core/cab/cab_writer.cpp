#include "cab_writer.h"

#include <string.h>
#include <zlib.h>

#include "bytes.h"

namespace cab {

using core::Result;

namespace {

struct Folder {
  uint32_t dataOffset = 0;
  uint16_t blocks = 0;
  size_t firstFile = 0, endFile = 0;
};

// Deflate state kept across blocks; each block is compressed on its own.
class Deflater {
 public:
  Deflater() { memset(&stream_, 0, sizeof stream_); }
  ~Deflater() {
    if (ready_) deflateEnd(&stream_);
  }
  bool Init() {
    ready_ = deflateInit2(&stream_, 9, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) == Z_OK;
    return ready_;
  }
  // Fills `out` with "CK" and one complete deflate stream of `in`; false
  // when the result would not fit an MSZIP block.
  bool Block(const uint8_t* in, size_t size, uint8_t* out, size_t* outSize) {
    if (deflateReset(&stream_) != Z_OK) return false;
    memcpy(out, kMszipSignature, kMszipSignatureLength);
    stream_.next_in = const_cast<uint8_t*>(in);
    stream_.avail_in = static_cast<uInt>(size);
    stream_.next_out = out + kMszipSignatureLength;
    stream_.avail_out = static_cast<uInt>(kMaxMszipBlock - kMszipSignatureLength);
    if (deflate(&stream_, Z_FINISH) != Z_STREAM_END) return false;
    *outSize = kMaxMszipBlock - stream_.avail_out;
    return true;
  }

 private:
  z_stream stream_;
  bool ready_ = false;
};

// One stored deflate block: what MSZIP falls back to for bytes that do not
// shrink.
size_t StoredBlock(const uint8_t* in, size_t size, uint8_t* out) {
  memcpy(out, kMszipSignature, kMszipSignatureLength);
  out[2] = 1;  // last block, stored
  bytes::PutLe16(out + 3, static_cast<uint32_t>(size));
  bytes::PutLe16(out + 5, static_cast<uint32_t>(~size & 0xFFFF));
  memcpy(out + 7, in, size);
  return size + 7;
}

// A file's content, from the caller's opener or from memory; closed when
// it goes.
class FileReader {
 public:
  FileReader(const Opener* opener, const FileEntry& file) : opener_(opener) {
    if (!opener) memory_ = io::MemoryData{reinterpret_cast<const uint8_t*>(file.data.data()), file.data.size()};
  }
  ~FileReader() {
    if (open_) opener_->close(opener_->context, &source_);
  }
  FileReader(const FileReader&) = delete;
  FileReader& operator=(const FileReader&) = delete;

  bool Open(size_t index) {
    if (!opener_) {
      source_ = memory_.source();
      return true;
    }
    open_ = opener_->open(opener_->context, index, &source_);
    return open_;
  }
  const io::Source& source() const { return source_; }

 private:
  const Opener* opener_;
  io::MemoryData memory_{nullptr, 0};
  io::Source source_{};
  bool open_ = false;
};

class Writer {
 public:
  Writer(const std::vector<FileEntry>& files, const Opener* opener, const Options& options, const io::Sink& sink,
         std::string* detail)
      : files_(files), opener_(opener), options_(options), sink_(sink), detail_(detail) {}

  Result Run() {
    Result r = Plan();
    if (r != Result::kOk) return r;
    if (options_.compression == Compression::kMszip && !deflater_.Init())
      return Fail(Result::kNoMemory, "cannot start zlib");

    std::vector<uint8_t> tables(dataStart_);
    FillTables(tables.data());
    if (!Emit(tables.data(), tables.size())) return CannotWrite();
    for (Folder& folder : folders_) {
      folder.dataOffset = static_cast<uint32_t>(offset_);
      r = WriteFolder(&folder);
      if (r != Result::kOk) return r;
    }
    if (offset_ > 0xFFFFFFFFu) return Fail(Result::kTooLarge, "the cabinet would be larger than 4 GiB");
    FillTables(tables.data());
    if (!sink_.rewrite(sink_.context, 0, tables.data(), kHeaderSize + kFolderEntrySize * folders_.size()))
      return CannotWrite();
    return Result::kOk;
  }

 private:
  Result Fail(Result r, const std::string& why) {
    if (detail_) *detail_ = why;
    return r;
  }
  Result CannotWrite() { return Fail(Result::kWriteFailed, "cannot write the cabinet"); }

  Result Plan() {
    if (!sink_.rewrite) return Fail(Result::kBadCommand, "the cabinet's sink cannot rewrite its header");
    if (files_.size() > kMaxFiles) return Fail(Result::kTooLarge, "more than 65535 files");
    if (options_.maxFolderBytes == 0 || options_.maxFolderBytes > kMaxFolderBytes)
      return Fail(Result::kBadCommand, "bad folder size limit");
    size_t tableBytes = 0;
    uint64_t folderBytes = 0;
    for (size_t i = 0; i < files_.size(); ++i) {
      const FileEntry& file = files_[i];
      if (file.name.empty() || file.name.size() > kMaxNameLength || file.name.find('\0') != std::string::npos)
        return Fail(Result::kUnsafeName, "unusable name \"" + file.name + "\" (1 to 255 bytes, no NUL)");
      if (file.size > options_.maxFolderBytes)
        return Fail(Result::kTooLarge, file.name + " is too large for a cabinet");
      if (!opener_ && file.data.size() != file.size)
        return Fail(Result::kSizeChanged, file.name + ": size and data differ");
      if (folders_.empty() || folderBytes + file.size > options_.maxFolderBytes) {
        if (folders_.size() == 0xFFFF) return Fail(Result::kTooLarge, "more than 65535 folders");
        if (!folders_.empty()) folders_.back().endFile = i;
        folders_.emplace_back();
        folders_.back().firstFile = i;
        folderBytes = 0;
      }
      folderOf_.push_back(static_cast<uint16_t>(folders_.size() - 1));
      startOf_.push_back(static_cast<uint32_t>(folderBytes));
      folderBytes += file.size;
      tableBytes += kFileEntrySize + file.name.size() + 1;
    }
    if (!folders_.empty()) folders_.back().endFile = files_.size();
    dataStart_ = kHeaderSize + kFolderEntrySize * folders_.size() + tableBytes;
    return Result::kOk;
  }

  void FillTables(uint8_t* p) const {
    memset(p, 0, kHeaderSize);
    memcpy(p, kSignature, kSignatureLength);
    bytes::PutLe32(p + kCabinetSizeAt, static_cast<uint32_t>(offset_));
    bytes::PutLe32(p + kFirstFileAt, static_cast<uint32_t>(kHeaderSize + kFolderEntrySize * folders_.size()));
    p[kVersionMinorAt] = kVersionMinor;
    p[kVersionMajorAt] = kVersionMajor;
    bytes::PutLe16(p + kFolderCountAt, static_cast<uint32_t>(folders_.size()));
    bytes::PutLe16(p + kFileCountAt, static_cast<uint32_t>(files_.size()));
    bytes::PutLe16(p + kSetIdAt, options_.setId);
    p += kHeaderSize;
    for (const Folder& folder : folders_) {
      bytes::PutLe32(p + kFolderDataAt, folder.dataOffset);
      bytes::PutLe16(p + kFolderBlocksAt, folder.blocks);
      bytes::PutLe16(p + kFolderCompressionAt, static_cast<uint32_t>(options_.compression));
      p += kFolderEntrySize;
    }
    for (size_t i = 0; i < files_.size(); ++i) {
      const FileEntry& file = files_[i];
      bytes::PutLe32(p + kFileSizeAt, file.size);
      bytes::PutLe32(p + kFileOffsetAt, startOf_[i]);
      bytes::PutLe16(p + kFileFolderAt, folderOf_[i]);
      bytes::PutLe16(p + kFileDateAt, file.date);
      bytes::PutLe16(p + kFileTimeAt, file.time);
      bytes::PutLe16(p + kFileAttributesAt, file.attributes);
      memcpy(p + kFileNameAt, file.name.data(), file.name.size());
      p[kFileNameAt + file.name.size()] = 0;
      p += kFileEntrySize + file.name.size() + 1;
    }
  }

  bool Emit(const uint8_t* data, size_t size) {
    offset_ += size;
    return sink_.write(sink_.context, data, size);
  }

  // Streams the files of `folder` through 32 KiB blocks.
  Result WriteFolder(Folder* folder) {
    block_.resize(kBlockBytes);
    filled_ = 0;
    for (size_t i = folder->firstFile; i < folder->endFile; ++i) {
      Result r = WriteFile(folder, i);
      if (r != Result::kOk) return r;
    }
    if (filled_ && !WriteBlock(folder, filled_)) return CannotWrite();
    return Result::kOk;
  }

  // Adds file `index` to the blocks of `folder`; a full block goes out.
  Result WriteFile(Folder* folder, size_t index) {
    const FileEntry& file = files_[index];
    FileReader reader(opener_, file);
    if (!reader.Open(index)) return Fail(Result::kCannotOpen, "cannot read " + file.name);
    for (uint32_t done = 0; done < file.size;) {
      size_t want = file.size - done < kBlockBytes - filled_ ? file.size - done : kBlockBytes - filled_;
      Result r = io::ReadExactly(reader.source(), block_.data() + filled_, want);
      if (r == Result::kTruncated) return Fail(Result::kSizeChanged, file.name + " became shorter while it was packed");
      if (r != Result::kOk) return Fail(r, "cannot read " + file.name);
      filled_ += want;
      done += static_cast<uint32_t>(want);
      if (filled_ == kBlockBytes) {
        if (!WriteBlock(folder, filled_)) return CannotWrite();
        filled_ = 0;
      }
    }
    uint8_t extra;
    size_t more = reader.source().read(reader.source().context, &extra, 1);
    if (more == io::Source::kError) return Fail(Result::kReadFailed, "cannot read " + file.name);
    if (more != 0) return Fail(Result::kSizeChanged, file.name + " became longer while it was packed");
    return Result::kOk;
  }

  bool WriteBlock(Folder* folder, size_t size) {
    packed_.resize(kDataHeaderSize + kMaxMszipBlock);
    uint8_t* out = packed_.data() + kDataHeaderSize;
    size_t outSize = size;
    if (options_.compression == Compression::kMszip) {
      if (!deflater_.Block(block_.data(), size, out, &outSize)) outSize = StoredBlock(block_.data(), size, out);
    } else {
      memcpy(out, block_.data(), size);
    }
    uint8_t* header = packed_.data();
    bytes::PutLe16(header + kDataPackedAt, static_cast<uint32_t>(outSize));
    bytes::PutLe16(header + kDataUnpackedAt, static_cast<uint32_t>(size));
    // The checksum covers the two sizes and the data.
    bytes::PutLe32(header + kDataChecksumAt, Checksum(header + kDataPackedAt, 4, Checksum(out, outSize, 0)));
    ++folder->blocks;
    return Emit(packed_.data(), kDataHeaderSize + outSize);
  }

  const std::vector<FileEntry>& files_;
  const Opener* opener_;
  const Options& options_;
  io::Sink sink_;
  std::string* detail_;
  std::vector<Folder> folders_;
  std::vector<uint16_t> folderOf_;
  std::vector<uint32_t> startOf_;
  size_t dataStart_ = 0;
  uint64_t offset_ = 0;
  size_t filled_ = 0;  // bytes of block_ waiting for a full block
  Deflater deflater_;
  std::vector<uint8_t> block_, packed_;
};

}  // namespace

Result Write(const std::vector<FileEntry>& files, const Opener* opener, const Options& options, const io::Sink& sink,
             std::string* detail) {
  return Writer(files, opener, options, sink, detail).Run();
}

uint32_t Checksum(const uint8_t* data, size_t size, uint32_t seed) {
  uint32_t sum = seed;
  for (; size >= 4; size -= 4, data += 4)
    sum ^= bytes::GetLe32(data);
  uint32_t tail = 0;
  for (size_t i = 0; i < size; ++i) tail = tail << 8 | data[i];
  return sum ^ tail;
}

uint16_t DosDate(int year, int month, int day) {
  return static_cast<uint16_t>((year - 1980) << 9 | month << 5 | day);
}

uint16_t DosTime(int hour, int minute, int second) {
  return static_cast<uint16_t>(hour << 11 | minute << 5 | second / 2);
}

}  // namespace cab
