// Times the stub's payload split against a plain copy of the same file, in
// one process: reading a built file, finding its payload block, summing the
// columns and writing the archive behind the block, against reading the
// same file and writing every byte. Both read and write 64 KiB at a time,
// as the stub reads its own file, into OUT, which is left behind.
//
//   splitbench BUILT OUT [RUNS]
//
// Runs them in turns, RUNS (default 20) times each, and prints the best
// time of each and the median of the ratios of the turns, split over the
// copy right after it (the machine's state drifts between turns; two
// neighbouring passes share it):
//   split SECONDS ARCHIVE_BYTES
//   copy SECONDS FILE_BYTES
//   ratio MEDIAN
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <vector>

#include "payload.h"

namespace {

constexpr size_t kChunk = 64 * 1024;

bool WriteAll(void* context, const uint8_t* data, size_t size) {
  int fd = *static_cast<int*>(context);
  while (size != 0) {
    ssize_t written = write(fd, data, size);
    if (written <= 0) return false;
    data += written;
    size -= static_cast<size_t>(written);
  }
  return true;
}

// One pass; returns the bytes written, or -1 on failure. `split` runs the
// stub's reading rule, otherwise every byte goes through unchanged.
long long Pass(const char* in, const char* out, bool split, std::vector<uint8_t>& buffer) {
  int source = open(in, O_RDONLY);
  int target = open(out, O_WRONLY | O_CREAT | O_TRUNC, 0644);
  long long written = -1;
  if (source >= 0 && target >= 0) {
    payload::Splitter splitter(io::Sink{&target, WriteAll});
    long long total = 0;
    bool ok = true;
    ssize_t got;
    while (ok && (got = read(source, buffer.data(), buffer.size())) > 0) {
      ok = split ? splitter.Feed(buffer.data(), static_cast<size_t>(got))
                 : WriteAll(&target, buffer.data(), static_cast<size_t>(got));
      total += got;
    }
    if (ok && got == 0) {
      if (!split) written = total;
      else if (splitter.Finish() == payload::Splitter::Verdict::kIntact) written = static_cast<long long>(splitter.archiveSize());
    }
  }
  if (source >= 0) close(source);
  if (target >= 0 && close(target) != 0) written = -1;
  return written;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3 || argc > 4) {
    fprintf(stderr, "usage: splitbench BUILT OUT [RUNS]\n");
    return 2;
  }
  int runs = argc == 4 ? atoi(argv[3]) : 20;
  if (runs < 1) runs = 1;
  std::vector<uint8_t> buffer(kChunk);
  double best[2] = {1e9, 1e9};
  long long bytes[2] = {0, 0};
  std::vector<double> ratios;
  for (int run = 0; run < runs; ++run) {
    double took[2];
    for (int split = 1; split >= 0; --split) {
      auto start = std::chrono::steady_clock::now();
      long long written = Pass(argv[1], argv[2], split != 0, buffer);
      took[split] = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
      if (written < 0) {
        fprintf(stderr, "splitbench: %s %s\n", argv[1], split ? "does not split into an intact archive" : "cannot be copied");
        return 1;
      }
      bytes[split] = written;
      if (took[split] < best[split]) best[split] = took[split];
    }
    ratios.push_back(took[1] / took[0]);
  }
  std::sort(ratios.begin(), ratios.end());
  size_t middle = ratios.size() / 2;
  double median = ratios.size() % 2 ? ratios[middle] : (ratios[middle - 1] + ratios[middle]) / 2;
  printf("split %.4f %lld\ncopy %.4f %lld\nratio %.3f\n", best[1], bytes[1], best[0], bytes[0], median);
  return 0;
}
