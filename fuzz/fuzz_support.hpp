// Shared pieces of the libFuzzer harnesses: caller fields placed against an
// inaccessible page (so that a write past a hidden length or an array count
// faults at once), the fuzz input written to a file the loader can open, and
// a load through the exported routines as a caller does it.
#pragma once

#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "flowsum.h"

namespace flowsum::fuzz {

// Every load allocates a few 2 MiB index arrays and frees them at TKCLOS.
// glibc serves such blocks with fresh mappings each time, and faulting in
// zeroed huge pages then costs more than the whole load of a small input.
// Keeping them in the heap lets one input reuse the pages of the last.
// (Under AddressSanitizer its own allocator is used and this has no effect.)
inline const bool kAllocatorTuned = [] {
  mallopt(M_MMAP_THRESHOLD, 256 << 20);
  mallopt(M_TRIM_THRESHOLD, 512 << 20);
  return true;
}();

// Stop the run with a message: libFuzzer reports the abort as a finding and
// keeps the input that caused it.
[[noreturn]] inline void fail(const char* what) {
  std::fprintf(stderr, "flowsum fuzz check failed: %s\n", what);
  std::abort();
}

// A mapping whose last page is PROT_NONE. tail(n) hands out the last n bytes
// before that page: a routine that writes one byte past a field of length n
// (or one word past an array of n words) touches the guard page.
class GuardedArena {
 public:
  explicit GuardedArena(size_t capacity) {
    size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
    size_t usable = (capacity + page - 1) / page * page;
    void* p = mmap(nullptr, usable + page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED) fail("mmap of a guarded arena");
    base_ = static_cast<char*>(p);
    if (mprotect(base_ + usable, page, PROT_NONE) != 0) fail("mprotect of a guard page");
    capacity_ = usable;
  }
  GuardedArena(const GuardedArena&) = delete;
  GuardedArena& operator=(const GuardedArena&) = delete;

  size_t capacity() const { return capacity_; }

  // The last n bytes before the guard page, filled with fill.
  char* tail(size_t n, char fill = '#') {
    if (n > capacity_) fail("guarded field larger than its arena");
    char* p = base_ + capacity_ - n;
    std::memset(p, fill, n);
    return p;
  }
  // The last n words before the guard page, each set to fill.
  int64_t* words(size_t n, int64_t fill = -7) {
    char* p = tail(n * sizeof(int64_t));
    auto* w = reinterpret_cast<int64_t*>(p);
    for (size_t i = 0; i < n; ++i) w[i] = fill;
    return w;
  }
  double* reals(size_t n) { return reinterpret_cast<double*>(words(n, 0)); }
  // A caller's text of length n holding s, blank-padded or cut.
  char* text(std::string_view s, size_t n) {
    char* p = tail(n, ' ');
    std::memcpy(p, s.data(), s.size() < n ? s.size() : n);
    return p;
  }

 private:
  char* base_ = nullptr;
  size_t capacity_ = 0;
};

// A file of this process in /dev/shm (or /tmp) that holds one input at a time.
class InputFile {
 public:
  explicit InputFile(const char* suffix) {
    const char* dir = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    path_ = std::string(dir) + "/flowsum-fuzz-" + std::to_string(getpid()) + suffix;
  }
  ~InputFile() { std::remove(path_.c_str()); }
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  void write(const uint8_t* data, size_t size) {
    FILE* f = std::fopen(path_.c_str(), "wb");
    if (f == nullptr) fail("cannot write the input file");
    if (size > 0 && std::fwrite(data, 1, size, f) != size) fail("short write of the input file");
    std::fclose(f);
  }
  void write(std::string_view s) { write(reinterpret_cast<const uint8_t*>(s.data()), s.size()); }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

inline std::string bundled_reference(const char* name) {
  return std::string(FLOWSUM_SOURCE_DATA_DIR) + "/" + name;
}

// Units of a harness load: summary, scratch, property-number file, unit table.
inline constexpr int64_t kSummaryUnit = 71, kScratchUnit = 72, kPropertyUnit = 73,
                         kUnitTableUnit = 74;

// Open the summary file and load it without messages; IERR of the load, or
// -100 when the file could not be opened.
inline int64_t load_summary(const std::string& summary, const std::string& property_file,
                            const std::string& unit_file, const char* unitset = "SI",
                            double rmiss = 1.0e35) {
  int64_t unit = kSummaryUnit, recl = 0, ierr = 0;
  std::string file = summary, access = "SEQUENTIAL", form = "FORMATTED", status = "OLD",
              action = "READ";
  tkopen_(&unit, file.data(), access.data(), form.data(), &recl, status.data(), action.data(),
          &ierr, file.size(), access.size(), form.size(), status.size(), action.size());
  if (ierr != 0) return -100;
  int64_t scr = kScratchUnit, prp = kPropertyUnit, unt = kUnitTableUnit, msg = 0;
  std::string set = unitset, prpfile = property_file, untfile = unit_file;
  tkini2_(set.data(), &scr, &unit, &prp, prpfile.data(), &unt, untfile.data(), &rmiss, &ierr, &msg,
          set.size(), prpfile.size(), untfile.size());
  return ierr;
}

// End a load: TKCLOS and the summary unit closed.
inline void unload_summary() {
  int64_t sum = kSummaryUnit, scr = kScratchUnit, prp = kPropertyUnit, unt = kUnitTableUnit;
  tkclos_(&sum, &scr, &prp, &unt);
  int64_t ierr = 0;
  tkclfl_(&sum, &ierr);
}

// The free-word pointer must come back from every query as it went in.
inline void check_free_pointer(int64_t before, const char* routine) {
  if (tklocs_[24] != before) fail(routine);
}

}  // namespace flowsum::fuzz
