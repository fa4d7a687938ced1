// Packs a folder into an LZH archive with LzhWriter; for the encoder
// benchmark and for trying archives against other tools by hand.
//
//   lzhpack [-5|-6|-7|-0] [-lLEVEL] ARCHIVE FOLDER
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "host_file.h"
#include "lzh/encode.h"

namespace fs = std::filesystem;

namespace {

int Usage() {
  fprintf(stderr, "usage: lzhpack [-0|-5|-6|-7] [-lLEVEL] ARCHIVE FOLDER\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  lzh::PackMethod method = lzh::PackMethod::kLh7;
  int level = lzh::kDefaultLevel;
  int i = 1;
  for (; i < argc && argv[i][0] == '-'; ++i) {
    const char* a = argv[i];
    if (!strcmp(a, "-0")) method = lzh::PackMethod::kStored;
    else if (!strcmp(a, "-5")) method = lzh::PackMethod::kLh5;
    else if (!strcmp(a, "-6")) method = lzh::PackMethod::kLh6;
    else if (!strcmp(a, "-7")) method = lzh::PackMethod::kLh7;
    else if (a[1] == 'l' && a[2] >= '0' && a[2] <= '9' && !a[3]) level = a[2] - '0';
    else return Usage();
  }
  if (argc - i != 2) return Usage();
  const std::string root = argv[i + 1];

  std::vector<fs::path> entries;
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(root, ec); !ec && it != fs::recursive_directory_iterator();
       it.increment(ec))
    if (!it->is_symlink()) entries.push_back(it->path());
  if (ec) {
    fprintf(stderr, "lzhpack: cannot list %s\n", root.c_str());
    return 1;
  }
  std::sort(entries.begin(), entries.end());

  FILE* out = fopen(argv[i], "wb");
  if (!out) {
    fprintf(stderr, "lzhpack: cannot create %s\n", argv[i]);
    return 1;
  }
  lzh::LzhWriter writer(WriteTo(out));
  lzh::Result r = lzh::Result::kOk;
  for (const fs::path& p : entries) {
    std::string name = fs::relative(p, root).string();
    struct stat st;
    if (stat(p.c_str(), &st) != 0) {
      fprintf(stderr, "lzhpack: cannot read %s\n", p.c_str());
      r = lzh::Result::kReadFailed;
      break;
    }
    lzh::EntryInfo info{name.data(), name.size(), static_cast<int64_t>(st.st_mtime),
                        static_cast<uint8_t>((st.st_mode & S_IWUSR) ? 0x20 : 0x21)};
    if (S_ISDIR(st.st_mode)) {
      if (fs::is_empty(p)) r = writer.AddDirectory(info);
    } else if (S_ISREG(st.st_mode)) {
      FILE* f = fopen(p.c_str(), "rb");
      if (!f) {
        r = lzh::Result::kCannotOpen;
      } else {
        r = writer.AddFile(info, ReadFrom(f), static_cast<uint64_t>(st.st_size), method, level);
        fclose(f);
      }
    }
    if (r != lzh::Result::kOk) {
      fprintf(stderr, "lzhpack: %s: %s\n", name.c_str(), lzh::ResultText(r));
      break;
    }
  }
  if (r == lzh::Result::kOk) r = writer.Finish();
  if (fclose(out) != 0 && r == lzh::Result::kOk) r = lzh::Result::kWriteFailed;
  if (r != lzh::Result::kOk) {
    remove(argv[i]);
    if (r == lzh::Result::kWriteFailed) fprintf(stderr, "lzhpack: cannot write %s\n", argv[i]);
    return 1;
  }
  return 0;
}
