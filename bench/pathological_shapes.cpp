// Files of pathological shapes, and one load of a file with its costs.
//
//   pathological_shapes write SHAPE FILE MB
//     writes about MB megabytes of SHAPE to FILE:
//       empty-lines    a header, then nothing but empty lines
//       blank-lines    a header, then lines of three blanks
//       no-header      empty lines only (the load ends with "no results")
//       long-line      a header and one data set on a single line of MB
//       tiny-datasets  a header and data sets of one value each, one a line,
//                      filed under paths of six keywords of ten choices each
//                      (no sibling chain longer than ten); the work area
//                      fills after some hundred thousand of them, and the load
//                      ends there with IERR 4
//   pathological_shapes load FILE [--pipe]
//     loads FILE once (TKOPEN, TKINI2 without messages, TKCLOS); with --pipe
//     a child process writes the file into a pipe and the load reads
//     /dev/fd/N. Prints the CPU time and wall time of the load, the peak
//     resident memory of the process, IERR and the warning count:
//       FLOWSUM_SHAPE_CPU_S=... FLOWSUM_SHAPE_WALL_S=... FLOWSUM_SHAPE_PEAK_RSS_KB=...
//       FLOWSUM_SHAPE_IERR=... FLOWSUM_SHAPE_WARNINGS=...
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "load_common.hpp"

namespace {

double cpu_seconds() {
  struct rusage ru {};
  getrusage(RUSAGE_SELF, &ru);
  return static_cast<double>(ru.ru_utime.tv_sec + ru.ru_stime.tv_sec) +
         static_cast<double>(ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) / 1e6;
}

int write_shape(const std::string& shape, const char* path, long long mb) {
  std::ofstream out(path, std::ios::binary);
  const long long bytes = mb * 1000000;
  std::string chunk;
  auto repeat = [&](const std::string& unit) {
    chunk.clear();
    while (chunk.size() < (1u << 20)) chunk += unit;
    for (long long done = 0; done < bytes; done += static_cast<long long>(chunk.size()))
      out.write(chunk.data(), static_cast<std::streamsize>(chunk.size()));
  };
  if (shape != "no-header") out << " IWPSUMMARY8.0\n";
  if (shape == "empty-lines" || shape == "no-header") {
    repeat("\n");
  } else if (shape == "blank-lines") {
    repeat("   \n");
  } else if (shape == "long-line") {
    out << " DSET A B @Q (";
    repeat("1.5 ");
    out << ")\n";
  } else if (shape == "tiny-datasets") {
    out << " IDSET Q (ITEM) (V *1)\n LSET Q (%Q)\n";
    char line[96];
    long long written = 0;
    for (long long i = 0; written < bytes; ++i) {
      long long k = i;
      int n = std::snprintf(line, sizeof line, " DSET");
      for (int level = 0; level < 6; ++level, k /= 10)
        n += std::snprintf(line + n, sizeof line - static_cast<size_t>(n), " %c%lld", 'A' + level, k % 10);
      n += std::snprintf(line + n, sizeof line - static_cast<size_t>(n), " @Q (%lld)\n", i);
      out.write(line, n);
      written += n;
    }
  } else {
    std::fprintf(stderr, "unknown shape %s\n", shape.c_str());
    return 2;
  }
  return out ? 0 : 1;
}

int load(const std::string& file, bool pipe_it) {
  std::string path = file;
  pid_t child = -1;
  if (pipe_it) {
    int fds[2];
    if (::pipe(fds) != 0) return 1;
    child = ::fork();
    if (child == 0) {
      ::close(fds[0]);
      const int in = ::open(file.c_str(), O_RDONLY);
      static char buf[1 << 16];
      ssize_t r;
      while (in >= 0 && (r = ::read(in, buf, sizeof buf)) > 0)
        for (ssize_t done = 0; done < r;) {
          const ssize_t w = ::write(fds[1], buf + done, static_cast<size_t>(r - done));
          if (w <= 0) ::_exit(1);
          done += w;
        }
      ::_exit(0);
    }
    ::close(fds[1]);
    path = "/dev/fd/" + std::to_string(fds[0]);
  }
  const double cpu0 = cpu_seconds();
  const auto wall0 = std::chrono::steady_clock::now();
  const int64_t ierr = flowsum::bench::load_file_once(path);
  const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wall0).count();
  const double cpu = cpu_seconds() - cpu0;
  int64_t warnings = 0;
  tknwrn_(&warnings);
  if (child > 0) ::waitpid(child, nullptr, 0);
  struct rusage ru {};
  getrusage(RUSAGE_SELF, &ru);
  std::printf("FLOWSUM_SHAPE_CPU_S=%.4f FLOWSUM_SHAPE_WALL_S=%.4f FLOWSUM_SHAPE_PEAK_RSS_KB=%ld "
              "FLOWSUM_SHAPE_IERR=%lld FLOWSUM_SHAPE_WARNINGS=%lld\n",
              cpu, wall, ru.ru_maxrss, static_cast<long long>(ierr), static_cast<long long>(warnings));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 5 && std::strcmp(argv[1], "write") == 0) return write_shape(argv[2], argv[3], std::atoll(argv[4]));
  if ((argc == 3 || argc == 4) && std::strcmp(argv[1], "load") == 0)
    return load(argv[2], argc == 4 && std::strcmp(argv[3], "--pipe") == 0);
  std::fprintf(stderr, "usage: pathological_shapes write SHAPE FILE MB | load FILE [--pipe]\n");
  return 2;
}
