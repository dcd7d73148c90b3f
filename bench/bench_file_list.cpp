// Lists a directory of 10,000 files as the file selector does, against a
// floor that only reads the directory and looks at each entry (what any
// listing must do), and times the control showing it, so that a stall a
// user would notice shows up here.
//
//   bench_file_list [DIRECTORY]   (offscreen unless QT_QPA_PLATFORM says otherwise)
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <QApplication>
#include <cstdio>
#include <filesystem>

#include "bench/BenchSupport.h"
#include "shell/FileListing.h"
#include "widgets/FileList.h"

namespace {

constexpr int kFiles = 10000;

// Reads the names and looks at each entry: the least a listing does.
size_t Floor(const std::string& directory) {
  DIR* dir = opendir(directory.c_str());
  size_t seen = 0;
  while (const dirent* entry = readdir(dir)) {
    struct stat st {};
    if (fstatat(dirfd(dir), entry->d_name, &st, 0) == 0) seen += static_cast<size_t>(st.st_size) + 1;
  }
  closedir(dir);
  return seen;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  const std::string root = bench::WorkDirectory(argc, argv);
  const std::string dir = root + "/ten-thousand";
  std::filesystem::create_directories(dir);
  for (int i = 0; i < kFiles; ++i) {
    char name[64];
    std::snprintf(name, sizeof name, "/Report %05d.%s", (i * 7919) % kFiles, i % 3 == 0 ? "txt" : "doc");
    bench::WriteText(dir + name, "x");
  }
  for (int i = 0; i < 50; ++i) std::filesystem::create_directories(dir + "/folder " + std::to_string(i));
  QApplication app(argc, argv);
  std::printf("in %s; times per listing, medians of alternating rounds, ratio (lowest-highest round)\n", root.c_str());

  shell::FileListing listing;
  volatile size_t sink = 0;
  bench::Compare("list 10,000 files, sorted, vs reading the directory", 9, 1, [] {}, [&] { listing.List(dir); },
                 [] {}, [&] { sink = sink + Floor(dir); });
  listing.fileMask = "*.txt *.doc";
  bench::Compare("list 10,000 files with two patterns vs reading it", 9, 1, [] {}, [&] { listing.List(dir); }, [] {},
                 [&] { sink = sink + Floor(dir); });

  widgets::TFileList list;
  list.resize(400, 300);
  list.show();
  bench::Compare("the file list control showing them vs reading it", 9, 1, [&] { list.SetDirectory("/"); },
                 [&] {
                   list.SetDirectory(QString::fromStdString(dir));
                   list.viewport()->repaint();
                 },
                 [] {}, [&] { sink = sink + Floor(dir); });
  std::vector<double> shown;
  for (int i = 0; i < 9; ++i) {
    list.SetDirectory("/");
    shown.push_back(bench::Seconds([&] {
      list.SetDirectory(QString::fromStdString(dir));
      list.viewport()->repaint();
    }));
  }
  std::printf("%-58s %9.1f ms (a user notices 100 ms)\n", "the file list control, 10,000 files, listed and drawn",
              bench::Median(shown) * 1000);
  if (argc == 1) std::filesystem::remove_all(root);
  return 0;
}
