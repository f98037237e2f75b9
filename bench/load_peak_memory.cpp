// Loads one summary file once and reports the process's peak resident set
// size, so that the memory a load takes can be compared with the file size.
//
//   load_peak_memory FILE
// prints  FLOWSUM_PEAK_RSS_KB=<kB> FLOWSUM_LOAD_IERR=<ierr>
#include <sys/resource.h>

#include <cstdio>

#include "load_common.hpp"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: load_peak_memory SUMMARY-FILE\n");
    return 2;
  }
  int64_t ierr = flowsum::bench::load_file_once(argv[1]);
  struct rusage ru {};
  getrusage(RUSAGE_SELF, &ru);
  std::printf("FLOWSUM_PEAK_RSS_KB=%ld FLOWSUM_LOAD_IERR=%lld\n", ru.ru_maxrss,
              static_cast<long long>(ierr));
  return ierr == 0 ? 0 : 1;
}
