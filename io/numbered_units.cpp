// Numbered units: a small table from the caller's unit numbers to file
// objects. The loader reads summary files of 100 MB and more line by line and
// copies every line into a direct-access scratch unit, so both the line read
// and the record append are written to run without a heap allocation per
// line.
#include "io/numbered_units.hpp"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <new>
#include <string>
#include <typeinfo>
#include <utility>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "io/large_array.hpp"
#include "store/text_field.hpp"

namespace flowsum::io {
namespace {

constexpr size_t kReadBufferBytes = size_t{1} << 20;

// Drop the line end's '\r' and keep at most max_chars characters.
std::string_view finish_line(const char* p, size_t n, size_t max_chars) {
  if (n > 0 && p[n - 1] == '\r') --n;
  return {p, std::min(n, max_chars)};
}

int write_all(int fd, const char* p, size_t n) {
  while (n > 0) {
    ssize_t w = ::write(fd, p, n);
    if (w < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    p += w;
    n -= static_cast<size_t>(w);
  }
  return 0;
}

class Unit {
 public:
  virtual ~Unit() = default;
  virtual int read_line(std::string_view&, size_t) { return EINVAL; }
  virtual int write_line(std::string_view) { return EINVAL; }
  virtual int read_record(int64_t, std::string_view&) { return EINVAL; }
  virtual int write_record(int64_t, std::string_view) { return EINVAL; }
  virtual void rewind() {}
  // The first record of the run of blank records that holds record n when
  // the unit knows one without reading them, else n + 1.
  virtual int64_t blank_run_start(int64_t n) { return n + 1; }
  // Release the unit's file; 0 or an errno.
  virtual int close() { return 0; }
};

// ---- Sequential units on a file descriptor ------------------------------

// Lines are cut out of a 1 MiB buffer. The buffer is scanned for line ends
// 64 bytes at a time and the bits of the block kept, so that short lines
// cost no search call each. A line longer than the buffer keeps its first
// characters at the buffer's front while the rest of it is read and thrown
// away.
class SequentialFile final : public Unit {
 public:
  SequentialFile(int fd, bool owns_fd, bool writable)
      : fd_(fd), owns_fd_(owns_fd), writable_(writable) {
    struct stat st;
    regular_ = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    if (regular_) {
      ino_ = st.st_ino;
      dev_ = st.st_dev;
    }
  }
  ~SequentialFile() override { close(); }

  int read_line(std::string_view& line, size_t max_chars) override {
    if (fd_ < 0) return EBADF;
    if (writing_) return kEndOfFile;  // a sequential write ends the file
    // Not zero-filled: only bytes read into it are ever looked at, and
    // clearing 1 MiB for every opened file dominated the load of small files.
    if (!buf_) buf_ = std::make_unique_for_overwrite<char[]>(kReadBufferBytes);
    for (;;) {
      if (take_buffered_lines(max_chars, [&](uint64_t, std::string_view l) {
            line = l;
            return true;
          }))
        return 0;
      const char* start = buf_.get() + begin_;
      if (eof_) {
        if (begin_ == end_) return kEndOfFile;
        size_t n = end_ - begin_;
        begin_ = end_;
        line = finish_line(start, n, max_chars);
        return 0;
      }
      // No line end in the buffer: move the partial line to the front and
      // read more behind it.
      if (begin_ > 0) {
        std::memmove(buf_.get(), start, end_ - begin_);
        end_ -= begin_;
        begin_ = 0;
        scanned_ = end_;
      }
      if (end_ == kReadBufferBytes) {
        int st = read_long_line(line, max_chars);
        forget_scan();
        return st;
      }
      int st = fill();
      if (st != 0) return st;
    }
  }

  int write_line(std::string_view text) override {
    if (fd_ < 0) return EBADF;
    if (!writable_) return EBADF;
    if (!writing_ && regular_) {
      // The written line becomes the last one: cut the file after the line
      // the unit stands on. Devices and pipes are simply written to.
      off_t here = file_pos_ - static_cast<off_t>(end_ - begin_);
      if (::lseek(fd_, here, SEEK_SET) < 0) return errno;
      if (::ftruncate(fd_, here) != 0) return errno;
      file_pos_ = here;
    }
    begin_ = end_ = 0;
    forget_scan();
    eof_ = true;
    writing_ = true;
    char nl = '\n';
    iovec iov[2] = {{const_cast<char*>(text.data()), text.size()}, {&nl, 1}};
    size_t total = text.size() + 1;
    ssize_t w;
    do {
      w = ::writev(fd_, iov, 2);
    } while (w < 0 && errno == EINTR);
    if (w < 0) return errno;
    size_t done = static_cast<size_t>(w);
    file_pos_ += static_cast<off_t>(done);
    if (done < total) {
      // Short write: finish the rest plainly.
      int st = done < text.size()
                   ? write_all(fd_, text.data() + done, text.size() - done)
                   : 0;
      if (st == 0) st = write_all(fd_, "\n", 1);
      if (st != 0) return st;
      file_pos_ += static_cast<off_t>(total - done);
    }
    return 0;
  }

  void rewind() override {
    if (fd_ < 0) return;
    if (::lseek(fd_, 0, SEEK_SET) < 0) return;  // a pipe cannot go back
    file_pos_ = 0;
    begin_ = end_ = 0;
    forget_scan();
    eof_ = false;
    writing_ = false;
  }

  int close() override {
    int st = 0;
    if (fd_ >= 0 && owns_fd_ && ::close(fd_) != 0) st = errno;
    fd_ = -1;
    if (spool_fd_ >= 0) ::close(spool_fd_);
    spool_fd_ = -1;
    return st;
  }

  // Hands every line whose end is already in the buffer to
  // take(offset, line), offset being the file offset of its first byte,
  // until take returns true (then true) or no such line is left (false: the
  // next line needs read_line, which reads more). read_line takes one line
  // with it, copy_lines all the lines of a buffer in one loop; the scan
  // stays in registers meanwhile and is stored back when the loop ends,
  // also by an exception from take. take must not use this unit.
  //
  // The buffer is examined once: ends_ holds the line ends not yet taken of
  // the 64-byte block that starts at block_, and every byte before scanned_
  // has been examined.
  //
  // With empty_runs, blank lines go to take_empty(offset, count) instead,
  // empty lines next to each other in one 64-byte block at once: files of
  // millions of empty or blank lines cost little more than the scan for
  // their line ends. (For the caller a blank line is an empty one.)
  template <class Take>
  bool take_buffered_lines(size_t max_chars, Take&& take) {
    return take_buffered_lines(max_chars, take, [](uint64_t, uint64_t) {}, false);
  }
  template <class Take, class TakeEmpty>
  bool take_buffered_lines(size_t max_chars, Take&& take, TakeEmpty&& take_empty, bool empty_runs) {
    if (fd_ < 0 || writing_ || !buf_) return false;
    struct Loop {
      SequentialFile& f;
      Scan s;
      size_t begin;
      ~Loop() {
        f.begin_ = begin;
        f.block_ = s.block;
        f.scanned_ = s.scanned;
        f.ends_ = s.ends;
      }
    } loop{*this, {block_, scanned_, ends_}, begin_};
    const char* b = buf_.get();
    const size_t end = end_;
    const uint64_t base = static_cast<uint64_t>(file_pos_) - end;  // offset of b[0]
    for (;;) {
      const size_t nl = loop.s.next(b, end);
      if (nl == kNoLineEnd) return false;
      const size_t start = loop.begin;
      if (empty_runs) {
        // A line of blanks (or nothing, or a '\r' before its end) reads as
        // an empty record. Empty lines next to each other go together.
        size_t i = start;
        while (i < nl && b[i] == ' ') ++i;
        if (i == nl || (i + 1 == nl && b[i] == '\r')) {
          // The lines that end later in this block and hold nothing but
          // blanks go with it: those before the block's first other byte.
          loop.s.ends &= loop.s.ends - 1;
          uint64_t blank_ends = 0;
          if (loop.s.ends != 0) {
            const size_t n = std::min<size_t>(64, end - loop.s.block);
            const uint64_t other = not_blank_bits(b + loop.s.block, n) & ~uint64_t{0} << (nl - loop.s.block);
            const uint64_t before_other = other == 0 ? ~uint64_t{0} : (other & -other) - 1;
            blank_ends = loop.s.ends & before_other;
          }
          unsigned count = 1;
          loop.begin = nl + 1;
          if (blank_ends != 0) {
            count += static_cast<unsigned>(std::popcount(blank_ends));
            loop.begin = loop.s.block + (63 - static_cast<size_t>(std::countl_zero(blank_ends))) + 1;
            loop.s.ends &= ~blank_ends;
          }
          take_empty(base + start, count);
          continue;
        }
      }
      loop.s.ends &= loop.s.ends - 1;
      loop.begin = nl + 1;
      if (take(base + start, finish_line(b + start, nl - start, max_chars))) return true;
    }
  }

  // File offset of the next line's first byte.
  uint64_t next_line_offset() const {
    return static_cast<uint64_t>(file_pos_) - (end_ - begin_);
  }
  // A new descriptor of a file that holds the unit's bytes at their offsets
  // from here on, or -1: the file itself when it is a regular file; for a
  // source that cannot be read twice (pipe, FIFO, terminal, socket) the
  // spool, which is started here. Records of a scratch copy point into it.
  int duplicate_source() {
    if (fd_ < 0 || writing_) return -1;
    if (regular_) return ::fcntl(fd_, F_DUPFD_CLOEXEC, 0);
    if (spool_fd_ < 0 && !start_spool()) return -1;
    return ::fcntl(spool_fd_, F_DUPFD_CLOEXEC, 0);
  }
  // True when the bytes come from the spool rather than the file itself.
  bool spooled() const { return !regular_ && spool_fd_ >= 0; }
  bool same_file(ino_t ino, dev_t dev) const {
    if (fd_ < 0 || writing_) return false;
    if (regular_) return ino_ == ino && dev_ == dev;
    return spool_fd_ >= 0 && spool_ino_ == ino && spool_dev_ == dev;
  }

 private:
  static constexpr size_t kNoLineEnd = SIZE_MAX;

  // The scan for line ends (ends_, block_, scanned_) as values.
  struct Scan {
    size_t block;
    size_t scanned;
    uint64_t ends;

    // Position in b of the first line end not yet taken, kNoLineEnd when
    // there is none before `end`. Taking it clears its bit.
    size_t next(const char* b, size_t end) {
      while (ends == 0) {
        if (scanned >= end) return kNoLineEnd;
        block = scanned;
        const size_t n = std::min<size_t>(64, end - scanned);
        scanned += n;
        ends = line_end_bits(b + block, n);
      }
      return block + static_cast<size_t>(std::countr_zero(ends));
    }
  };

  // Bit i set for every '\n' at p[i], i < n <= 64.
  static uint64_t line_end_bits(const char* p, size_t n) {
    uint64_t bits = 0;
#if defined(__SSE2__)
    if (n == 64) {
      const __m128i eol = _mm_set1_epi8('\n');
      for (int i = 0; i < 4; ++i) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * i));
        bits |= static_cast<uint64_t>(static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, eol))))
                << (16 * i);
      }
      return bits;
    }
#endif
    for (size_t i = 0; i < n; ++i) bits |= static_cast<uint64_t>(p[i] == '\n') << i;
    return bits;
  }
  // Bit i set for every byte p[i], i < n <= 64, that is neither a blank nor
  // a line end.
  static uint64_t not_blank_bits(const char* p, size_t n) {
    uint64_t bits = 0;
#if defined(__SSE2__)
    if (n == 64) {
      const __m128i eol = _mm_set1_epi8('\n'), blank = _mm_set1_epi8(' ');
      for (int i = 0; i < 4; ++i) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * i));
        const __m128i either = _mm_or_si128(_mm_cmpeq_epi8(v, eol), _mm_cmpeq_epi8(v, blank));
        bits |= static_cast<uint64_t>(static_cast<uint32_t>(_mm_movemask_epi8(either))) << (16 * i);
      }
      return ~bits;
    }
#endif
    for (size_t i = 0; i < n; ++i) bits |= static_cast<uint64_t>(p[i] != '\n' && p[i] != ' ') << i;
    return bits;
  }
  // The buffer's bytes moved or were replaced: examine them afresh from
  // begin_.
  void forget_scan() {
    ends_ = 0;
    scanned_ = begin_;
  }

  // Read more bytes behind end_. 0, or an errno; sets eof_ at the end.
  int fill() {
    for (;;) {
      ssize_t r = ::read(fd_, buf_.get() + end_, kReadBufferBytes - end_);
      if (r < 0) {
        if (errno == EINTR) continue;
        return errno;
      }
      if (r == 0) eof_ = true;
      if (spool_fd_ >= 0 && r > 0) {
        // Lines are handed out only after this; a spool that cannot take
        // them is a failed read, not records that silently read as missing.
        int st = pwrite_all(spool_fd_, buf_.get() + end_, static_cast<size_t>(r), file_pos_);
        if (st != 0) return st;
      }
      end_ += static_cast<size_t>(r);
      file_pos_ += r;
      return 0;
    }
  }

  // The spool: an unlinked file in $TMPDIR (else /tmp) that receives every
  // byte read from now on, and at once the bytes read ahead in the buffer,
  // each at its offset in the stream. It lives on disk so that a source read
  // through a pipe takes the memory of a regular file of the same size.
  bool start_spool() {
    const char* env = std::getenv("TMPDIR");
    std::string dir = env && *env ? env : "/tmp";
    int fd = ::open(dir.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (fd < 0) {
      std::string name = dir + "/flowsum-spool-XXXXXX";
      fd = ::mkostemp(name.data(), O_CLOEXEC);
      if (fd < 0) return false;
      ::unlink(name.c_str());
    }
    struct stat st;
    if (::fstat(fd, &st) != 0 ||
        pwrite_all(fd, buf_ ? buf_.get() + begin_ : nullptr, end_ - begin_,
                   static_cast<off_t>(next_line_offset())) != 0) {
      ::close(fd);
      return false;
    }
    spool_fd_ = fd;
    spool_ino_ = st.st_ino;
    spool_dev_ = st.st_dev;
    return true;
  }

  static int pwrite_all(int fd, const char* p, size_t n, off_t off) {
    while (n > 0) {
      ssize_t w = ::pwrite(fd, p, n, off);
      if (w < 0) {
        if (errno == EINTR) continue;
        return errno;
      }
      p += w;
      n -= static_cast<size_t>(w);
      off += w;
    }
    return 0;
  }

  // The buffer is full and holds no line end: keep the line's first
  // characters at the front, discard the rest of it as it is read.
  int read_long_line(std::string_view& line, size_t max_chars) {
    size_t keep = std::min(max_chars, kReadBufferBytes / 2);
    end_ = keep;
    for (;;) {
      int st = fill();
      if (st != 0) return st;
      char* tail = buf_.get() + keep;
      if (const void* nl = std::memchr(tail, '\n', end_ - keep)) {
        begin_ = static_cast<size_t>(static_cast<const char*>(nl) - buf_.get()) + 1;
        line = {buf_.get(), keep};
        return 0;
      }
      if (eof_) {
        begin_ = end_;
        line = {buf_.get(), keep};
        return 0;
      }
      end_ = keep;
    }
  }

  int fd_;
  bool owns_fd_;
  bool writable_;
  bool regular_ = false;
  ino_t ino_ = 0;  // identity of a regular file
  dev_t dev_ = 0;
  std::unique_ptr<char[]> buf_;
  size_t begin_ = 0;  // first unread byte in buf_
  size_t end_ = 0;    // end of the bytes read into buf_
  size_t scanned_ = 0;  // bytes before it were examined for line ends
  size_t block_ = 0;    // first byte of the block ends_ describes
  uint64_t ends_ = 0;   // line ends not yet taken, bit i for buf_[block_ + i]
  off_t file_pos_ = 0;  // file offset just after buf_[end_ - 1]
  bool eof_ = false;
  bool writing_ = false;
  int spool_fd_ = -1;   // copy of a non-regular source (start_spool)
  ino_t spool_ino_ = 0;
  dev_t spool_dev_ = 0;
};

// Standard output: each line is written and flushed at once so that it
// interleaves correctly with the caller's own output.
class StandardOutput : public Unit {
 public:
  int write_line(std::string_view text) override {
    if (!text.empty() && std::fwrite(text.data(), 1, text.size(), stdout) != text.size())
      return EIO;
    if (std::fputc('\n', stdout) == EOF) return EIO;
    if (std::fflush(stdout) != 0) return EIO;
    return 0;
  }
};

// ---- Sequential scratch unit in memory -------------------------------------

class SequentialScratch : public Unit {
 public:
  int read_line(std::string_view& line, size_t max_chars) override {
    if (pos_ >= data_.size()) return kEndOfFile;
    size_t nl = data_.find('\n', pos_);
    if (nl == std::string::npos) nl = data_.size();
    line = finish_line(data_.data() + pos_, nl - pos_, max_chars);
    pos_ = std::min(nl + 1, data_.size());
    return 0;
  }
  int write_line(std::string_view text) override {
    data_.resize(pos_);  // a write makes this line the last one
    data_.append(text);
    data_.push_back('\n');
    pos_ = data_.size();
    return 0;
  }
  void rewind() override { pos_ = 0; }

 private:
  std::string data_;
  size_t pos_ = 0;
};

// ---- Direct-access scratch unit ---------------------------------------------

// Records appended in order are located through a compact index: for every
// record a 32-bit offset from its group's base and a length byte, and for
// every group of 64 records a 64-bit base. Where the records come from
// decides what the offsets point into:
//
// - Lines copied from a regular file (the loader's copy of a summary file,
//   through copy_lines) are not copied at all: the unit keeps its own
//   descriptor of that file and the records point at the lines' bytes in it.
//   Reads go through a 64 KiB block buffer, so records read in order cost one
//   read call per block. The file's size and modification time are noted when
//   the unit takes it; a file changed since then reads as records that were
//   never written, never as other data. Lines of a pipe, FIFO or other
//   source that cannot be read twice are treated the same way: their unit
//   writes what it reads to a spool file on disk, and the records point
//   into that.
// - Other records are copied into 2 MiB chunks held in memory.
//
// Records overwritten later, records written beyond the next number, and
// records that do not fit the index go to a map instead. Blank records take
// no index entry when they come in runs (a file of millions of empty lines
// costs a few bytes per run, not five per line).
class DirectScratch final : public Unit {
 public:
  explicit DirectScratch(int64_t recl) : recl_(static_cast<size_t>(recl)) {}
  ~DirectScratch() override { close(); }

  int read_record(int64_t n, std::string_view& record) override {
    if (n < 1) return EINVAL;
    uint64_t k = static_cast<uint64_t>(n - 1);
    if (!extra_.empty()) {
      auto it = extra_.find(n);
      if (it != extra_.end()) {
        record = it->second;
        return 0;
      }
    }
    if (k >= records()) return kEndOfFile;
    if (!index_position(k)) {
      record = {};
      return 0;
    }
    if (lengths_[k] == kInMap) return kEndOfFile;
    const uint64_t off = group_base_[k >> kGroupShift] + delta_[k];
    const size_t len = lengths_[k];
    if (source_fd_ < 0) {
      record = {chunks_[off / kChunkBytes].get() + off % kChunkBytes, len};
      return 0;
    }
    return read_from_source(off, len, record);
  }

  int write_record(int64_t n, std::string_view record) override {
    if (n < 1) return EINVAL;
    record = record.substr(0, std::min(record.size(), recl_));
    uint64_t k = static_cast<uint64_t>(n - 1);
    if (k == records()) {
      if (!extra_.empty()) extra_.erase(n);  // written earlier out of order
      if (is_blank(record)) {
        append_blank(1);
        return 0;
      }
      settle_blanks();
      if (source_fd_ < 0) {
        append_copy(record);
      } else {
        // A record of another origin among lines of a file.
        reserve_one();
        extra_[n].assign(record);
        push_index(last_offset_, kInMap);
      }
    } else {
      extra_[n].assign(record);
    }
    return 0;
  }

  // True when lines read from `file` can be entered as references to its
  // bytes: the first line decides (the unit then takes the file), later ones
  // must come from the same file.
  bool refers_to(SequentialFile& file) {
    if (records() == 0 && chunks_.empty() && source_fd_ < 0) adopt(file);
    return source_fd_ >= 0 && file.same_file(source_ino_, source_dev_);
  }

  // Appends a line that was read from byte `offset` of the unit's file (its
  // first record.size() bytes are the record).
  int append_line(uint64_t offset, std::string_view record) {
    record = record.substr(0, std::min(record.size(), recl_));
    if (!extra_.empty()) extra_.erase(static_cast<int64_t>(records()) + 1);
    if (is_blank(record)) {
      append_blank(1);
      return 0;
    }
    settle_blanks();
    reserve_one();
    push_index(offset, static_cast<uint8_t>(std::min<size_t>(record.size(), kInMap)));
    if (record.size() >= kInMap) extra_[static_cast<int64_t>(records())].assign(record);
    return 0;
  }

  int64_t blank_run_start(int64_t n) override {
    const uint64_t k = static_cast<uint64_t>(n - 1);
    const uint64_t entered = lengths_.size() + blank_in_runs_;
    if (n < 1 || k >= records() || (!extra_.empty() && extra_.count(n))) return n + 1;
    if (k >= entered) return static_cast<int64_t>(entered) + 1;
    auto after = std::upper_bound(blank_runs_.begin(), blank_runs_.end(), k,
                                  [](uint64_t x, const BlankRun& r) { return x < r.first; });
    if (after == blank_runs_.begin() || k >= (after - 1)->first + (after - 1)->count) return n + 1;
    return static_cast<int64_t>((after - 1)->first) + 1;
  }

  // Appends `count` blank records (they read back empty: a record's
  // characters past its end count as blanks). They are entered when the next
  // other record comes: a run of at least kMinBlankRun as one entry of
  // blank_runs_, a shorter one record by record.
  void append_blank(uint64_t count) {
    if (!extra_.empty())
      for (uint64_t i = 1; i <= count; ++i) extra_.erase(static_cast<int64_t>(records() + i));
    pending_blank_ += count;
  }

  int close() override {
    if (source_fd_ >= 0) ::close(source_fd_);
    source_fd_ = -1;
    return 0;
  }

  uint64_t record_count() const { return records(); }

 private:
  static constexpr uint64_t kChunkBytes = uint64_t{1} << 21;
  static constexpr unsigned kGroupShift = 6;
  static constexpr uint64_t kGroupSize = uint64_t{1} << kGroupShift;
  static constexpr uint8_t kInMap = 255;  // length byte of a record kept in extra_
  static constexpr size_t kBlockBytes = size_t{1} << 14;
  static constexpr size_t kJumpReadBytes = size_t{1} << 12;
  static constexpr uint64_t kMinBlankRun = 64;

  static bool is_blank(std::string_view r) { return r.find_first_not_of(' ') == std::string_view::npos; }

  // Records appended: those in the index, in runs, and not yet entered.
  uint64_t records() const { return lengths_.size() + blank_in_runs_ + pending_blank_; }

  // Enters the blank records appended since the last other record.
  void settle_blanks() {
    const uint64_t count = pending_blank_;
    if (count == 0) return;
    pending_blank_ = 0;
    if (count >= kMinBlankRun) {
      blank_runs_.push_back({lengths_.size() + blank_in_runs_, count, blank_in_runs_});
      blank_in_runs_ += count;
      return;
    }
    for (uint64_t i = 0; i < count; ++i) {
      reserve_one();
      push_index(last_offset_, 0);
    }
  }

  // Turns record index k (0-based, below records()) into its position in the
  // index; false when the record is blank (in a run, or not yet entered).
  // Records are mostly read in order, so the run found last is tried first.
  bool index_position(uint64_t& k) {
    if (k >= lengths_.size() + blank_in_runs_) return false;  // pending
    if (blank_runs_.empty()) return true;
    auto starts_after = [&](size_t r) { return blank_runs_[r].first > k; };
    size_t r = last_run_;
    // r: the last run that starts at or before k, or runs().size() for none.
    if (r >= blank_runs_.size() || starts_after(r) ||
        (r + 1 < blank_runs_.size() && !starts_after(r + 1))) {
      size_t lo = 0, hi = blank_runs_.size();
      while (lo < hi) {
        const size_t mid = lo + (hi - lo) / 2;
        if (starts_after(mid)) hi = mid;
        else lo = mid + 1;
      }
      if (lo == 0) return true;  // before every run
      r = lo - 1;
      last_run_ = r;
    }
    const BlankRun& run = blank_runs_[r];
    if (k < run.first + run.count) return false;
    k -= run.before + run.count;
    return true;
  }

  // Takes a descriptor of the file the lines come from, when it is a
  // regular file; otherwise records are copied.
  void adopt(SequentialFile& file) {
    int fd = file.duplicate_source();
    if (fd < 0) return;
    spooled_ = file.spooled();
    struct stat st;
    if (::fstat(fd, &st) != 0) {
      ::close(fd);
      return;
    }
    source_fd_ = fd;
    source_ino_ = st.st_ino;
    source_dev_ = st.st_dev;
    source_size_ = st.st_size;
    source_mtime_ = st.st_mtim;
    // Room in the index for the lines the file probably holds (summary
    // lines average well over 40 characters), so that the index is not
    // grown and copied step by step while the file is read. Only the part
    // that is filled is ever touched. Without the memory, it grows as usual.
    // A pipe's size is not known: room for 4 million lines (a file of some
    // 200 MB) is reserved, and a larger one grows from there.
    try {
      const off_t size = spooled_ ? off_t{40} << 22 : st.st_size;
      const size_t lines = static_cast<size_t>(std::min<off_t>(size / 40, off_t{1} << 26));
      lengths_.reserve(lines);
      delta_.reserve(lines);
      group_base_.reserve(lines / kGroupSize + 1);
    } catch (const std::bad_alloc&) {
    }
  }

  // Reads bytes [off, off + len) of the source file through a few cached
  // blocks. A block starts at the record that missed: the bytes before it
  // belong to other data sets, seldom read next, while the records after it
  // are the rest of its data set and those that follow, read one after
  // another. Several blocks are kept because a query reads its data set
  // and, between, the definitions at the file's start.
  int read_from_source(uint64_t off, size_t len, std::string_view& record) {
    // Records are mostly read one after another: the block of the last one
    // is tried first.
    auto holds = [&](const Block& b) { return b.data && off >= b.off && off + len <= b.off + b.len; };
    Block* hit = holds(blocks_[last_hit_]) ? &blocks_[last_hit_] : nullptr;
    for (size_t i = 0; !hit && i < kBlocks; ++i)
      if (holds(blocks_[i])) {
        hit = &blocks_[i];
        last_hit_ = i;
      }
    if (hit) {
      hit->used = ++clock_;
      record = {hit->data.get() + (off - hit->off), len};
      return 0;
    }
    struct stat st;
    if (::fstat(source_fd_, &st) != 0) return errno;
    // The spool grows while the load runs and nobody else can reach it.
    if (!spooled_ && (st.st_size != source_size_ || st.st_mtim.tv_sec != source_mtime_.tv_sec ||
        st.st_mtim.tv_nsec != source_mtime_.tv_nsec))
      return kEndOfFile;  // the file changed under the loaded copy
    Block* b = &blocks_[0];
    for (Block& c : blocks_)
      if (c.used < b->used) b = &c;
    if (!b->data) b->data = std::make_unique_for_overwrite<char[]>(kBlockBytes);
    const uint64_t start = off;
    // A miss just past the block read last continues a run along the file
    // (a long data set, or data sets read in file order) and fills a whole
    // block; any other miss reads a few kilobytes, which hold most data sets.
    const bool run = off >= last_read_off_ && off <= last_read_end_;
    const size_t want = run || len > kJumpReadBytes ? kBlockBytes : kJumpReadBytes;
    size_t got = 0;
    b->len = 0;
    while (got < want) {
      ssize_t r = ::pread(source_fd_, b->data.get() + got, want - got,
                          static_cast<off_t>(start + got));
      if (r < 0) {
        if (errno == EINTR) continue;
        return errno;
      }
      if (r == 0) break;
      got += static_cast<size_t>(r);
    }
    b->off = start;
    b->len = got;
    b->used = ++clock_;
    last_read_off_ = start;
    last_read_end_ = start + got;
    last_hit_ = static_cast<size_t>(b - blocks_);
    if (off + len > start + got) return kEndOfFile;
    record = {b->data.get() + (off - start), len};
    return 0;
  }

  // Room in the index for one more record; may throw std::bad_alloc before
  // anything changes.
  void reserve_one() {
    lengths_.reserve(lengths_.size() + 1);
    delta_.reserve(lengths_.size() + 1);
    group_base_.reserve(group_base_.size() + 1);
  }

  // Enters the next record at `off` (chunk space or file offset). A record
  // whose offset does not fit 32 bits from its group's base goes to the map.
  void push_index(uint64_t off, uint8_t len) {
    const uint64_t k = lengths_.size();
    if ((k & (kGroupSize - 1)) == 0) group_base_.push_back(off);
    const uint64_t base = group_base_[k >> kGroupShift];
    if (len != kInMap && (off < base || off - base > UINT32_MAX)) [[unlikely]] {
      move_to_map(k + blank_in_runs_ + 1, off, len);
      len = kInMap;
      off = base;
    }
    delta_.push_back(len == kInMap ? 0 : static_cast<uint32_t>(off - base));
    lengths_.push_back(len);
    if (len != kInMap) last_offset_ = off;
  }
  // Record n's bytes at `off` go to the map (kept out of line: it is rare,
  // and push_index runs for every line of a loaded file).
  [[gnu::noinline]] void move_to_map(uint64_t n, uint64_t off, size_t len) {
    std::string_view bytes;
    std::string copy;
    if (source_fd_ >= 0 && read_from_source(off, len, bytes) == 0) copy.assign(bytes);
    extra_[static_cast<int64_t>(n)] = std::move(copy);
  }

  // Chunks are 2 MiB, aligned, and marked for huge pages: a large copy
  // touches a fresh page for every 4 KiB otherwise, and those page faults
  // cost more than the copying itself. A record never crosses a chunk.
  void append_copy(std::string_view record) {
    reserve_one();
    if (record.size() >= kInMap) {
      extra_[static_cast<int64_t>(records()) + 1].assign(record);
      push_index(used_, kInMap);
      return;
    }
    if (chunks_.empty() || used_ % kChunkBytes + record.size() > kChunkBytes ||
        used_ == chunks_.size() * kChunkBytes) {
      chunks_.emplace_back(static_cast<char*>(allocate_huge(kChunkBytes).data));
      used_ = (chunks_.size() - 1) * kChunkBytes;
    }
    if (!record.empty())
      std::memcpy(chunks_.back().get() + used_ % kChunkBytes, record.data(), record.size());
    push_index(used_, static_cast<uint8_t>(record.size()));
    used_ += record.size();
  }

  size_t recl_;
  struct FreeChunk {
    void operator()(char* p) const { release_huge(p, kChunkBytes); }
  };
  std::vector<std::unique_ptr<char[], FreeChunk>> chunks_;
  uint64_t used_ = 0;                  // chunk-space offset of the next byte
  uint64_t last_offset_ = 0;           // offset of the last record indexed
  LargeArray<uint8_t> lengths_;        // one per appended record
  LargeArray<uint32_t> delta_;         // offset from the group's base
  LargeArray<uint64_t> group_base_;    // offset of records 0, 64, 128, ...
  std::map<int64_t, std::string> extra_;
  // Runs of blank records kept out of the index: `first` is the record index
  // of the run's first record, `before` the blank records of earlier runs.
  struct BlankRun {
    uint64_t first, count, before;
  };
  std::vector<BlankRun> blank_runs_;
  uint64_t blank_in_runs_ = 0;
  uint64_t pending_blank_ = 0;         // blank records not yet entered
  size_t last_run_ = 0;

  int source_fd_ = -1;                 // the file the records point into
  bool spooled_ = false;               // it is the spool of a pipe's bytes
  ino_t source_ino_ = 0;
  dev_t source_dev_ = 0;
  off_t source_size_ = 0;
  struct timespec source_mtime_ = {};
  struct Block {
    std::unique_ptr<char[]> data;
    uint64_t off = 0;
    size_t len = 0;
    uint64_t used = 0;  // when it was last used, for replacing the oldest
  };
  // 2 MiB at most, allocated as used. Callers that read data sets in the
  // order of the identifier lists jump between data sets some hundred
  // kilobytes apart and come back; fewer blocks than such a round covers
  // would read every block again on every visit. The blocks are small
  // (16 KiB) and many: a report reads short data sets scattered over the
  // whole file, and with 64 KiB blocks it copied from the kernel about ten
  // times the bytes it used, nearly three times what it copies now.
  static constexpr size_t kBlocks = 128;
  Block blocks_[kBlocks];
  size_t last_hit_ = 0;
  uint64_t clock_ = 0;
  uint64_t last_read_off_ = 0;  // bytes the last block read from the source
  uint64_t last_read_end_ = 0;
};

// ---- Direct-access file ----------------------------------------------------

// Record n occupies RECL characters, blank-padded, and a '\n' at offset
// (n-1)*(RECL+1). A record whose '\n' is missing (a hole, or past the end of
// the file) was never written.
class DirectFile : public Unit {
 public:
  DirectFile(int fd, int64_t recl, bool writable)
      : fd_(fd), recl_(static_cast<size_t>(recl)), writable_(writable) {}
  ~DirectFile() override { close(); }

  int read_record(int64_t n, std::string_view& record) override {
    if (fd_ < 0) return EBADF;
    off_t off;
    if (!offset_of(n, off)) return EINVAL;
    buf_.resize(recl_ + 1);
    size_t got = 0;
    while (got < buf_.size()) {
      ssize_t r = ::pread(fd_, buf_.data() + got, buf_.size() - got,
                          off + static_cast<off_t>(got));
      if (r < 0) {
        if (errno == EINTR) continue;
        return errno;
      }
      if (r == 0) break;
      got += static_cast<size_t>(r);
    }
    if (got < buf_.size() || buf_[recl_] != '\n') return kEndOfFile;
    record = {buf_.data(), recl_};
    return 0;
  }

  int write_record(int64_t n, std::string_view record) override {
    if (fd_ < 0) return EBADF;
    if (!writable_) return EBADF;
    off_t off;
    if (!offset_of(n, off)) return EINVAL;
    buf_.assign(recl_ + 1, ' ');
    std::memcpy(buf_.data(), record.data(), std::min(record.size(), recl_));
    buf_[recl_] = '\n';
    size_t done = 0;
    while (done < buf_.size()) {
      ssize_t w = ::pwrite(fd_, buf_.data() + done, buf_.size() - done,
                           off + static_cast<off_t>(done));
      if (w < 0) {
        if (errno == EINTR) continue;
        return errno;
      }
      done += static_cast<size_t>(w);
    }
    return 0;
  }

  int close() override {
    int st = 0;
    if (fd_ >= 0 && ::close(fd_) != 0) st = errno;
    fd_ = -1;
    return st;
  }

 private:
  bool offset_of(int64_t n, off_t& off) const {
    int64_t stride = static_cast<int64_t>(recl_) + 1;
    if (n < 1 || n - 1 > (INT64_MAX - stride) / stride) return false;
    off = static_cast<off_t>((n - 1) * stride);
    return true;
  }

  int fd_;
  size_t recl_;
  bool writable_;
  std::string buf_;
};

// ---- The unit table --------------------------------------------------------

struct Table {
  std::vector<std::pair<int64_t, std::unique_ptr<Unit>>> open;
  SequentialFile standard_input{STDIN_FILENO, false, false};
  StandardOutput standard_output;
  // The last two units looked up: the loader alternates between the summary
  // unit and the scratch unit, and the table is short, so a plain search
  // after these checks is enough.
  int64_t last_number = 0;
  Unit* last_unit = nullptr;
  int64_t prev_number = 0;
  Unit* prev_unit = nullptr;
};

Table& table() {
  static Table t;
  return t;
}

Unit* find(int64_t n) {
  Table& t = table();
  if (t.last_unit && t.last_number == n) return t.last_unit;
  if (t.prev_unit && t.prev_number == n) {
    std::swap(t.last_number, t.prev_number);
    std::swap(t.last_unit, t.prev_unit);
    return t.last_unit;
  }
  Unit* u = nullptr;
  for (auto& [num, unit] : t.open)
    if (num == n) {
      u = unit.get();
      break;
    }
  if (!u && n == 5) u = &t.standard_input;
  if (!u && n == 6) u = &t.standard_output;
  if (u) {
    t.prev_number = t.last_number;
    t.prev_unit = t.last_unit;
    t.last_number = n;
    t.last_unit = u;
  }
  return u;
}

int detach(int64_t n) {
  Table& t = table();
  t.last_unit = nullptr;
  t.prev_unit = nullptr;
  for (auto it = t.open.begin(); it != t.open.end(); ++it)
    if (it->first == n) {
      int st = it->second->close();
      t.open.erase(it);
      return st;
    }
  return 0;
}

// open(2): read-only when the caller only reads; for writing, read and
// write, or read-only when writing is refused (a summary file opened with
// ACTION "WRITE" that we may only read still loads). A unit that only reads
// never holds a pipe's write end, so the pipe's end is seen.
int open_file(const std::string& path, int create_flags, bool for_writing, int& fd) {
  bool writable = for_writing;
  if (for_writing) {
    fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC | create_flags, 0666);
    if (fd < 0 && (errno == EACCES || errno == EROFS)) {
      int saved = errno;
      fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | (create_flags & ~(O_CREAT | O_EXCL)));
      writable = false;
      if (fd < 0 && errno == ENOENT) errno = saved;  // creating it was refused
    }
  } else {
    fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | create_flags, 0666);
  }
  if (fd < 0) return -errno;
  struct stat st;
  if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
    ::close(fd);
    fd = -1;
    return -EISDIR;
  }
  return writable ? 1 : 0;
}

}  // namespace

int open_unit(int64_t unit, std::string_view file, std::string_view access,
              std::string_view form, int64_t recl, std::string_view status,
              std::string_view action) {
  (void)form;  // every unit is a text file
  try {
    const bool sequential = padded_equal(access, "SEQUENTIAL");
    const bool direct = padded_equal(access, "DIRECT");
    const bool scratch = padded_equal(status, "SCRATCH");
    const bool is_new = padded_equal(status, "NEW");
    const bool old = padded_equal(status, "OLD");
    const bool unknown = padded_equal(status, "UNKNOWN");
    const bool for_writing = padded_equal(action, "WRITE");
    const bool action_ok = padded_equal(action, "READ") || for_writing;
    if (!sequential && !direct) return -1;
    if (!scratch && !is_new && !old && !unknown) return -1;
    if (!(direct && scratch) && !action_ok) return -1;
    if (direct && (recl < 1 || recl > kMaxRecordLength)) return EINVAL;

    std::unique_ptr<Unit> made;
    if (scratch) {
      if (direct)
        made = std::make_unique<DirectScratch>(recl);
      else
        made = std::make_unique<SequentialScratch>();
    } else {
      std::string_view name = TextField::trim_right(file);
      if (name.find('\0') != std::string_view::npos) return EINVAL;
      int flags = is_new ? (O_CREAT | O_EXCL) : unknown ? O_CREAT : 0;
      int fd;
      int r = open_file(std::string(name), flags, for_writing, fd);
      if (r < 0) return -r;
      bool writable = r == 1;
      if (direct)
        made = std::make_unique<DirectFile>(fd, recl, writable);
      else
        made = std::make_unique<SequentialFile>(fd, true, writable);
    }
    detach(unit);
    table().open.emplace_back(unit, std::move(made));
    return 0;
  } catch (const std::bad_alloc&) {
    return ENOMEM;
  }
}

bool is_open(int64_t unit) { return find(unit) != nullptr; }

int close_unit(int64_t unit) { return detach(unit); }

void rewind_unit(int64_t unit) {
  if (Unit* u = find(unit)) u->rewind();
}

int read_line(int64_t unit, std::string_view& line, size_t max_chars) {
  Unit* u = find(unit);
  if (!u) return EBADF;
  try {
    return u->read_line(line, max_chars);
  } catch (const std::bad_alloc&) {
    return ENOMEM;
  }
}

int read_record(int64_t unit, int64_t n, std::string_view& record) {
  Unit* u = find(unit);
  if (!u) return EBADF;
  try {
    return u->read_record(n, record);
  } catch (const std::bad_alloc&) {
    return ENOMEM;
  }
}

int64_t last_record_not_blank(int64_t unit, int64_t first, int64_t n, std::string_view& record) {
  Unit* u = find(unit);
  if (!u) return 0;
  try {
    while (n >= first && n >= 1) {
      const int64_t run = u->blank_run_start(n);
      if (run <= n) {
        n = run - 1;
        continue;
      }
      if (u->read_record(n, record) != 0) return 0;
      if (record.find_first_not_of(' ') != std::string_view::npos) return n;
      --n;
    }
  } catch (const std::bad_alloc&) {
  }
  return 0;
}

int write_record(int64_t unit, int64_t n, std::string_view record) {
  Unit* u = find(unit);
  if (!u) return EBADF;
  try {
    return u->write_record(n, record);
  } catch (const std::bad_alloc&) {
    return ENOMEM;
  }
}

int copy_lines(int64_t from, int64_t to, int64_t first, size_t max_chars,
               bool (*stop)(std::string_view), std::string_view& line, int64_t& copied) {
  copied = 0;
  Unit* src = find(from);
  Unit* dst = find(to);
  if (!src) return EBADF;
  if (!dst) return EBADF;
  try {
    // The loader's case, a file copied into an in-memory scratch unit, runs
    // without a virtual call or a unit lookup per line. Both classes are
    // final, so comparing the exact type is enough (and cheaper than a
    // dynamic_cast, which the loader pays for every record it reads).
    auto* file = typeid(*src) == typeid(SequentialFile) ? static_cast<SequentialFile*>(src) : nullptr;
    auto* scratch = typeid(*dst) == typeid(DirectScratch) ? static_cast<DirectScratch*>(dst) : nullptr;
    // Lines of a file go on at the scratch unit's next record number only;
    // anything else is an ordinary write of each line.
    const bool in_order = file && scratch && static_cast<int64_t>(scratch->record_count()) + 1 == first &&
                          scratch->refers_to(*file);
    const bool empty_never_stops = !stop(std::string_view());
    for (;;) {
      int st;
      const int64_t n = first + copied;
      if (in_order) {
        // The lines already in the read buffer in one loop; read_line
        // handles the line after them (one crossing the buffer's end, the
        // last line of the file, a read error).
        const bool stopped = file->take_buffered_lines(
            max_chars,
            [&](uint64_t offset, std::string_view l) {
              scratch->append_line(offset, l);
              ++copied;
              if (!stop(l)) return false;
              line = l;
              return true;
            },
            [&](uint64_t, uint64_t count) {
              scratch->append_blank(count);
              copied += static_cast<int64_t>(count);
            },
            empty_never_stops);
        if (stopped) return 0;
        const uint64_t offset = file->next_line_offset();
        st = file->SequentialFile::read_line(line, max_chars);
        if (st != 0) return st;
        st = scratch->append_line(offset, line);
      } else {
        st = src->read_line(line, max_chars);
        if (st != 0) return st;
        st = dst->write_record(n, line);
      }
      if (st != 0) return st;
      ++copied;
      if (stop(line)) return 0;
    }
  } catch (const std::bad_alloc&) {
    return ENOMEM;
  }
}

int write_line(int64_t unit, std::string_view line) {
  Unit* u = find(unit);
  if (!u) return EBADF;
  try {
    return u->write_line(line);
  } catch (const std::bad_alloc&) {
    return ENOMEM;
  }
}

}  // namespace flowsum::io
