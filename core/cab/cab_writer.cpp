#include "cab_writer.h"

#include <stdio.h>
#include <string.h>
#include <zlib.h>

#include "bytes.h"

namespace cab {

namespace {

constexpr size_t kHeaderSize = 36;
constexpr size_t kFolderEntrySize = 8;
constexpr size_t kFileEntrySize = 16;
constexpr size_t kDataHeaderSize = 8;
// Readers take at most this many compressed bytes in an MSZIP block.
constexpr size_t kMaxMszipBlock = kBlockBytes + 12;


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
    out[0] = 'C';
    out[1] = 'K';
    stream_.next_in = const_cast<uint8_t*>(in);
    stream_.avail_in = static_cast<uInt>(size);
    stream_.next_out = out + 2;
    stream_.avail_out = static_cast<uInt>(kMaxMszipBlock - 2);
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
  out[0] = 'C';
  out[1] = 'K';
  out[2] = 1;  // last block, stored
  bytes::PutLe16(out + 3, static_cast<uint32_t>(size));
  bytes::PutLe16(out + 5, static_cast<uint32_t>(~size & 0xFFFF));
  memcpy(out + 7, in, size);
  return size + 7;
}

class Writer {
 public:
  Writer(const std::vector<FileEntry>& files, const Options& options, Sink* sink)
      : files_(files), options_(options), sink_(sink) {}

  std::string Run() {
    std::string error = Plan();
    if (!error.empty()) return error;
    if (options_.compression == Compression::kMszip && !deflater_.Init()) return "cannot start zlib";

    std::vector<uint8_t> tables(dataStart_);
    FillTables(tables.data());
    if (!Emit(tables.data(), tables.size())) return "cannot write the cabinet";
    for (Folder& folder : folders_) {
      folder.dataOffset = static_cast<uint32_t>(offset_);
      error = WriteFolder(&folder);
      if (!error.empty()) return error;
    }
    if (offset_ > 0xFFFFFFFFu) return "the cabinet would be larger than 4 GiB";
    FillTables(tables.data());
    if (!sink_->Rewrite(0, tables.data(), kHeaderSize + kFolderEntrySize * folders_.size()))
      return "cannot write the cabinet";
    return std::string();
  }

 private:
  std::string Plan() {
    if (files_.size() > kMaxFiles) return "more than 65535 files";
    if (options_.maxFolderBytes == 0 || options_.maxFolderBytes > kMaxFolderBytes)
      return "bad folder size limit";
    size_t tableBytes = 0;
    uint64_t folderBytes = 0;
    for (size_t i = 0; i < files_.size(); ++i) {
      const FileEntry& file = files_[i];
      if (file.name.empty() || file.name.size() > kMaxNameLength || file.name.find('\0') != std::string::npos)
        return "unusable name \"" + file.name + "\" (1 to 255 bytes, no NUL)";
      if (file.size > options_.maxFolderBytes) return file.name + " is too large for a cabinet";
      if (file.sourcePath.empty() && file.data.size() != file.size) return file.name + ": size and data differ";
      if (folders_.empty() || folderBytes + file.size > options_.maxFolderBytes) {
        if (folders_.size() == 0xFFFF) return "more than 65535 folders";
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
    return std::string();
  }

  void FillTables(uint8_t* p) const {
    memset(p, 0, kHeaderSize);
    memcpy(p, "MSCF", 4);
    bytes::PutLe32(p + 8, static_cast<uint32_t>(offset_));
    bytes::PutLe32(p + 16, static_cast<uint32_t>(kHeaderSize + kFolderEntrySize * folders_.size()));
    p[24] = 3;  // version 1.3
    p[25] = 1;
    bytes::PutLe16(p + 26, static_cast<uint32_t>(folders_.size()));
    bytes::PutLe16(p + 28, static_cast<uint32_t>(files_.size()));
    bytes::PutLe16(p + 32, options_.setId);
    p += kHeaderSize;
    for (const Folder& folder : folders_) {
      bytes::PutLe32(p, folder.dataOffset);
      bytes::PutLe16(p + 4, folder.blocks);
      bytes::PutLe16(p + 6, static_cast<uint32_t>(options_.compression));
      p += kFolderEntrySize;
    }
    for (size_t i = 0; i < files_.size(); ++i) {
      const FileEntry& file = files_[i];
      bytes::PutLe32(p, file.size);
      bytes::PutLe32(p + 4, startOf_[i]);
      bytes::PutLe16(p + 8, folderOf_[i]);
      bytes::PutLe16(p + 10, file.date);
      bytes::PutLe16(p + 12, file.time);
      bytes::PutLe16(p + 14, file.attributes);
      memcpy(p + 16, file.name.data(), file.name.size());
      p[16 + file.name.size()] = 0;
      p += kFileEntrySize + file.name.size() + 1;
    }
  }

  bool Emit(const uint8_t* data, size_t size) {
    offset_ += size;
    return sink_->Write(data, size);
  }

  // Streams the files of `folder` through 32 KiB blocks.
  std::string WriteFolder(Folder* folder) {
    block_.resize(kBlockBytes);
    size_t filled = 0;
    for (size_t i = folder->firstFile; i < folder->endFile; ++i) {
      const FileEntry& file = files_[i];
      FILE* in = nullptr;
      if (!file.sourcePath.empty()) {
        in = fopen(file.sourcePath.c_str(), "rb");
        if (!in) return "cannot read " + file.sourcePath;
      }
      uint32_t done = 0;
      while (done < file.size) {
        size_t want = file.size - done < kBlockBytes - filled ? file.size - done : kBlockBytes - filled;
        if (in) {
          if (fread(block_.data() + filled, 1, want, in) != want) {
            fclose(in);
            return file.sourcePath + " became shorter while it was packed";
          }
        } else {
          memcpy(block_.data() + filled, file.data.data() + done, want);
        }
        filled += want;
        done += static_cast<uint32_t>(want);
        if (filled == kBlockBytes) {
          if (!WriteBlock(folder, filled)) {
            if (in) fclose(in);
            return "cannot write the cabinet";
          }
          filled = 0;
        }
      }
      if (in) {
        bool longer = fgetc(in) != EOF;
        fclose(in);
        if (longer) return file.sourcePath + " became longer while it was packed";
      }
    }
    if (filled && !WriteBlock(folder, filled)) return "cannot write the cabinet";
    return std::string();
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
    bytes::PutLe16(header + 4, static_cast<uint32_t>(outSize));
    bytes::PutLe16(header + 6, static_cast<uint32_t>(size));
    bytes::PutLe32(header, Checksum(header + 4, 4, Checksum(out, outSize, 0)));
    ++folder->blocks;
    return Emit(packed_.data(), kDataHeaderSize + outSize);
  }

  const std::vector<FileEntry>& files_;
  const Options& options_;
  Sink* sink_;
  std::vector<Folder> folders_;
  std::vector<uint16_t> folderOf_;
  std::vector<uint32_t> startOf_;
  size_t dataStart_ = 0;
  uint64_t offset_ = 0;
  Deflater deflater_;
  std::vector<uint8_t> block_, packed_;
};

}  // namespace

bool MemorySink::Write(const uint8_t* data, size_t size) {
  bytes.append(reinterpret_cast<const char*>(data), size);
  return true;
}

bool MemorySink::Rewrite(uint64_t offset, const uint8_t* data, size_t size) {
  if (offset + size > bytes.size()) return false;
  memcpy(&bytes[offset], data, size);
  return true;
}

std::string Write(const std::vector<FileEntry>& files, const Options& options, Sink* sink) {
  return Writer(files, options, sink).Run();
}

uint32_t Checksum(const uint8_t* data, size_t size, uint32_t seed) {
  uint32_t sum = seed;
  for (; size >= 4; size -= 4, data += 4)
    sum ^= data[0] | data[1] << 8 | data[2] << 16 | static_cast<uint32_t>(data[3]) << 24;
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
