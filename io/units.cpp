// Numbered units: a small table from the caller's unit numbers to file
// objects. The loader reads summary files of 100 MB and more line by line and
// copies every line into a direct-access scratch unit, so both the line read
// and the record append are written to run without a heap allocation per
// line.
#include "io/units.hpp"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <new>
#include <string>
#include <utility>
#include <vector>

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
  // Release the unit's file; 0 or an errno.
  virtual int close() { return 0; }
};

// ---- Sequential units on a file descriptor ------------------------------

// Lines are cut out of a 1 MiB buffer with memchr. A line longer than the
// buffer keeps its first characters at the buffer's front while the rest of
// it is read and thrown away.
class SequentialFile : public Unit {
 public:
  SequentialFile(int fd, bool owns_fd, bool writable)
      : fd_(fd), owns_fd_(owns_fd), writable_(writable) {
    struct stat st;
    regular_ = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
  }
  ~SequentialFile() override { close(); }

  int read_line(std::string_view& line, size_t max_chars) override {
    if (fd_ < 0) return EBADF;
    if (writing_) return kEndOfFile;  // a sequential write ends the file
    if (!buf_) buf_ = std::make_unique<char[]>(kReadBufferBytes);
    for (;;) {
      const char* start = buf_.get() + begin_;
      if (const void* nl = std::memchr(start, '\n', end_ - begin_)) {
        size_t n = static_cast<size_t>(static_cast<const char*>(nl) - start);
        begin_ += n + 1;
        line = finish_line(start, n, max_chars);
        return 0;
      }
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
      }
      if (end_ == kReadBufferBytes) return read_long_line(line, max_chars);
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
    eof_ = false;
    writing_ = false;
  }

  int close() override {
    int st = 0;
    if (fd_ >= 0 && owns_fd_ && ::close(fd_) != 0) st = errno;
    fd_ = -1;
    return st;
  }

 private:
  // Read more bytes behind end_. 0, or an errno; sets eof_ at the end.
  int fill() {
    for (;;) {
      ssize_t r = ::read(fd_, buf_.get() + end_, kReadBufferBytes - end_);
      if (r < 0) {
        if (errno == EINTR) continue;
        return errno;
      }
      if (r == 0) eof_ = true;
      end_ += static_cast<size_t>(r);
      file_pos_ += r;
      return 0;
    }
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
  std::unique_ptr<char[]> buf_;
  size_t begin_ = 0;  // first unread byte in buf_
  size_t end_ = 0;    // end of the bytes read into buf_
  off_t file_pos_ = 0;  // file offset just after buf_[end_ - 1]
  bool eof_ = false;
  bool writing_ = false;
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

// ---- Direct-access scratch unit in memory ----------------------------------

// Records appended in order are packed into 2 MiB chunks. The index is one
// length byte per record plus the offset of every 64th record; a group of 64
// records never crosses a chunk, so every record is one contiguous piece and
// a read needs no copy. Records overwritten later, records written beyond the
// next number, and records of 255 characters or more live in a map instead.
class DirectScratch : public Unit {
 public:
  explicit DirectScratch(int64_t recl) : recl_(static_cast<size_t>(recl)) {}

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
    if (k >= lengths_.size()) return kEndOfFile;
    uint64_t group = k >> kGroupShift;
    uint64_t off = group_offset_[group];
    for (uint64_t i = group << kGroupShift; i < k; ++i) off += in_chunk_length(i);
    record = {chunks_[off / kChunkBytes].get() + off % kChunkBytes, in_chunk_length(k)};
    return 0;
  }

  int write_record(int64_t n, std::string_view record) override {
    if (n < 1) return EINVAL;
    record = record.substr(0, std::min(record.size(), recl_));
    uint64_t k = static_cast<uint64_t>(n - 1);
    if (k == lengths_.size()) {
      if (!extra_.empty()) extra_.erase(n);  // written earlier out of order
      append(record);
    } else {
      extra_[n].assign(record);
    }
    return 0;
  }

 private:
  static constexpr uint64_t kChunkBytes = uint64_t{1} << 21;
  static constexpr unsigned kGroupShift = 6;
  static constexpr uint64_t kGroupSize = uint64_t{1} << kGroupShift;
  static constexpr uint8_t kInMap = 255;  // length byte of a record kept in extra_

  // Chunks are 2 MiB, aligned, and marked for huge pages: a large copy
  // touches a fresh page for every 4 KiB otherwise, and those page faults
  // cost more than the copying itself.
  void add_chunk() {
    std::unique_ptr<char[], FreeChunk> chunk(
        static_cast<char*>(std::aligned_alloc(kChunkBytes, kChunkBytes)));
    if (!chunk) throw std::bad_alloc();
    ::madvise(chunk.get(), kChunkBytes, MADV_HUGEPAGE);
    chunks_.push_back(std::move(chunk));
  }

  size_t in_chunk_length(uint64_t k) const {
    return lengths_[k] == kInMap ? 0 : lengths_[k];
  }

  // Everything that may fail for lack of memory happens before the index
  // changes, so a failed append leaves the unit as it was.
  void append(std::string_view record) {
    uint64_t k = lengths_.size();
    bool group_start = (k & (kGroupSize - 1)) == 0;
    if (lengths_.size() == lengths_.capacity()) lengths_.reserve(2 * lengths_.size() + 64);
    if (group_start && group_offset_.size() == group_offset_.capacity())
      group_offset_.reserve(2 * group_offset_.size() + 16);
    if (group_start && chunks_.size() * kChunkBytes - used_ < kGroupSize * (kInMap - 1)) {
      // A new group must fit whole in the current chunk.
      add_chunk();
      used_ = (chunks_.size() - 1) * kChunkBytes;
    }
    if (record.size() >= kInMap) {
      extra_[static_cast<int64_t>(k + 1)].assign(record);
      if (group_start) group_offset_.push_back(used_);
      lengths_.push_back(kInMap);
      return;
    }
    if (group_start) group_offset_.push_back(used_);
    if (!record.empty())
      std::memcpy(chunks_.back().get() + used_ % kChunkBytes, record.data(), record.size());
    used_ += record.size();
    lengths_.push_back(static_cast<uint8_t>(record.size()));
  }

  size_t recl_;
  struct FreeChunk {
    void operator()(char* p) const { std::free(p); }
  };
  std::vector<std::unique_ptr<char[], FreeChunk>> chunks_;
  uint64_t used_ = 0;                    // global offset of the next byte
  std::vector<uint8_t> lengths_;         // one per appended record
  std::vector<uint64_t> group_offset_;   // offset of records 0, 64, 128, ...
  std::map<int64_t, std::string> extra_;
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
  // The last unit looked up: the loader alternates between two units, and
  // the table is short, so a plain search after this check is enough.
  int64_t last_number = 0;
  Unit* last_unit = nullptr;
};

Table& table() {
  static Table t;
  return t;
}

Unit* find(int64_t n) {
  Table& t = table();
  if (t.last_unit && t.last_number == n) return t.last_unit;
  Unit* u = nullptr;
  for (auto& [num, unit] : t.open)
    if (num == n) {
      u = unit.get();
      break;
    }
  if (!u && n == 5) u = &t.standard_input;
  if (!u && n == 6) u = &t.standard_output;
  if (u) {
    t.last_number = n;
    t.last_unit = u;
  }
  return u;
}

int detach(int64_t n) {
  Table& t = table();
  t.last_unit = nullptr;
  for (auto it = t.open.begin(); it != t.open.end(); ++it)
    if (it->first == n) {
      int st = it->second->close();
      t.open.erase(it);
      return st;
    }
  return 0;
}

// open(2) for reading and writing; a file we may only read is still opened
// (for reading) so that a read-only summary file can be loaded.
int open_file(const std::string& path, int create_flags, int& fd) {
  fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC | create_flags, 0666);
  bool writable = true;
  if (fd < 0 && (errno == EACCES || errno == EROFS)) {
    int saved = errno;
    fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | (create_flags & ~(O_CREAT | O_EXCL)));
    writable = false;
    if (fd < 0 && errno == ENOENT) errno = saved;  // creating it was refused
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
    const bool action_ok = padded_equal(action, "READ") || padded_equal(action, "WRITE");
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
      int r = open_file(std::string(name), flags, fd);
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

int write_record(int64_t unit, int64_t n, std::string_view record) {
  Unit* u = find(unit);
  if (!u) return EBADF;
  try {
    return u->write_record(n, record);
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
