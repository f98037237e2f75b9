// Growable arrays for the large tables a load builds outside the work area
// (the scratch copy's record index, the tree index). Their memory is 2 MiB
// aligned and marked for huge pages: touching a fresh small page costs more
// than filling it, and a load of a large file touches tens of thousands.
#pragma once

#include <sys/mman.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <type_traits>
#include <utility>

namespace flowsum {

// Memory for the large tables, in multiples of the 2 MiB huge-page size,
// aligned and marked for huge pages. Blocks given back are kept (up to a
// bound) and handed out again: a program that loads file after file would
// otherwise have the kernel clear every page of every table afresh, which
// costs a quarter of the load of a large file.
inline constexpr size_t kHugePage = size_t{1} << 21;

struct HugeBlock {
  void* data = nullptr;
  size_t bytes = 0;
};

// A block of at least `bytes` (a multiple of kHugePage); its size may be
// larger. Throws std::bad_alloc when the memory cannot be had.
HugeBlock allocate_huge(size_t bytes);
// Gives a block of allocate_huge back (nullptr is ignored).
void release_huge(void* data, size_t bytes);

template <class T>
class LargeArray {
  static_assert(std::is_trivially_copyable_v<T>, "elements are moved as bytes");

 public:
  LargeArray() = default;
  LargeArray(const LargeArray&) = delete;
  LargeArray& operator=(const LargeArray&) = delete;
  LargeArray(LargeArray&& other) noexcept { swap(other); }
  LargeArray& operator=(LargeArray&& other) noexcept {
    if (this != &other) {
      release();
      swap(other);
    }
    return *this;
  }
  ~LargeArray() { release(); }

  size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  T* data() { return data_; }
  const T* data() const { return data_; }
  T& operator[](size_t i) { return data_[i]; }
  const T& operator[](size_t i) const { return data_[i]; }

  // Room for n elements without a move; throws std::bad_alloc.
  void reserve(size_t n) {
    if (n > capacity_) grow(n);
  }
  void push_back(const T& value) {
    if (size_ == capacity_) grow(size_ + 1);
    data_[size_++] = value;
  }
  // Exactly n copies of value.
  void assign(size_t n, const T& value) {
    size_ = 0;
    reserve(n);
    std::fill(data_, data_ + n, value);
    size_ = n;
  }
  // Grows to n elements, the new ones copies of value.
  void grow_to(size_t n, const T& value) {
    if (n <= size_) return;
    reserve(n);
    std::fill(data_ + size_, data_ + n, value);
    size_ = n;
  }
  void swap(LargeArray& other) noexcept {
    std::swap(data_, other.data_);
    std::swap(size_, other.size_);
    std::swap(capacity_, other.capacity_);
    std::swap(bytes_, other.bytes_);
  }
  // Empty, with the memory given back.
  void release() {
    release_huge(data_, bytes_);
    data_ = nullptr;
    size_ = capacity_ = bytes_ = 0;
  }

 private:
  void grow(size_t need) {
    size_t want = std::max(need, capacity_ * 2);
    if (want > (SIZE_MAX - kHugePage) / sizeof(T)) throw std::bad_alloc();
    size_t bytes = (want * sizeof(T) + kHugePage - 1) / kHugePage * kHugePage;
    HugeBlock b = allocate_huge(bytes);
    T* p = static_cast<T*>(b.data);
    if (size_) std::memcpy(p, data_, size_ * sizeof(T));
    release_huge(data_, bytes_);
    data_ = p;
    bytes_ = b.bytes;
    capacity_ = b.bytes / sizeof(T);
  }

  T* data_ = nullptr;
  size_t size_ = 0;
  size_t capacity_ = 0;
  size_t bytes_ = 0;  // of the block data_ points to
};

}  // namespace flowsum
