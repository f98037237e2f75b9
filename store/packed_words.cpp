// Packed character words and the two table searches over them.
//
// A packed word holds up to four characters in its four lowest-addressed
// bytes and blanks in the other four. Bytes are addressed through unsigned
// char pointers so that the layout is the same whatever the host's byte
// order; the numeric value of a word (and so the sort order of the tables)
// is whatever those bytes make on the host.
#include "store/packed_words.hpp"

#include <algorithm>
#include <cstring>

#include "flowsum.h"
#include "loading/globals.hpp"

namespace flowsum {

namespace {

unsigned char* bytes_of(int64_t* word) { return reinterpret_cast<unsigned char*>(word); }
const unsigned char* bytes_of(const int64_t* word) {
  return reinterpret_cast<const unsigned char*>(word);
}

}  // namespace

int64_t pack_text(std::string_view text, int64_t nchar, int64_t* words) {
  const int64_t nword = packed_word_count(nchar);
  if (nword < 1) return 0;
  blank_words(words, nword);
  const int64_t cpw = packed_chars_per_word();
  // Characters past the end of the text are blanks, which the words already
  // hold, so only the text's own characters need copying.
  int64_t last = std::min<int64_t>(nchar, static_cast<int64_t>(text.size()));
  // Codes 0 and 1 end a text that was handed over NUL-terminated.
  for (int64_t k = 0; k < last; ++k) {
    if (static_cast<unsigned char>(text[static_cast<size_t>(k)]) <= 1) {
      last = k;
      break;
    }
  }
  if (cpw == 4) {
    // The usual layout: whole groups of four characters at a time.
    for (int64_t k = 0; k < last; k += 4)
      std::memcpy(bytes_of(&words[k / 4]), text.data() + k, static_cast<size_t>(std::min<int64_t>(4, last - k)));
    return nword;
  }
  for (int64_t k = 0; k < last; ++k)
    bytes_of(&words[k / cpw])[k % cpw] = static_cast<unsigned char>(text[static_cast<size_t>(k)]);
  return nword;
}

void unpack_text_any(const int64_t* words, int64_t nword, TextField out) {
  if (nword < 1) {
    out.fill_blank();
    return;
  }
  const int64_t cpw = packed_chars_per_word();
  const int64_t avail = nword > INT64_MAX / cpw ? INT64_MAX : nword * cpw;
  const int64_t n = std::min<int64_t>(avail, static_cast<int64_t>(out.len));
  // Word by word: the characters of a word are its cpw lowest-addressed bytes.
  // Four to a word is the usual layout and gets fixed-size copies.
  int64_t k = 0, w = 0;
  if (cpw == 4)
    for (; k + 4 <= n; k += 4, ++w) std::memcpy(out.data + k, bytes_of(&words[w]), 4);
  for (; k < n; k += cpw, ++w)
    std::memcpy(out.data + k, bytes_of(&words[w]), static_cast<size_t>(std::min(cpw, n - k)));
  if (static_cast<int64_t>(out.len) > n) std::memset(out.data + n, ' ', out.len - static_cast<size_t>(n));
}

int64_t key_length(std::string_view text) {
  const int64_t cpw = packed_chars_per_word();
  int64_t last = static_cast<int64_t>(TextField::trim_right(text).size());
  if (last < 1) last = 1;
  return packed_word_count(last) * cpw;
}

int64_t pack_key(std::string_view text, int64_t* words) {
  return pack_text(text, key_length(text), words);
}

char packed_char(const int64_t* words, int64_t k) {
  const int64_t cpw = packed_chars_per_word();
  return static_cast<char>(bytes_of(&words[(k - 1) / cpw])[(k - 1) % cpw]);
}

void set_packed_char(int64_t* words, int64_t k, char c) {
  const int64_t cpw = packed_chars_per_word();
  bytes_of(&words[(k - 1) / cpw])[(k - 1) % cpw] = static_cast<unsigned char>(c);
}

int compare_words(const int64_t* a, const int64_t* b, int64_t nw) {
  for (int64_t w = 0; w < nw; ++w) {
    if (a[w] < b[w]) return -1;
    if (a[w] > b[w]) return 1;
  }
  return 0;
}

int64_t linear_search(const int64_t* key, const int64_t* table, int64_t stride,
                      int64_t n, int64_t offset, int64_t nw) {
  if (n < 1) return 0;
  if (nw < 1) return 1;
  // A key field starting before its entry, or entries running backwards,
  // would read in front of the table.
  if (offset < 1 || stride < 0) return 0;
  for (int64_t e = 1; e <= n; ++e) {
    const int64_t* field = table + (e - 1) * stride + (offset - 1);
    if (compare_words(key, field, nw) == 0) return e;
  }
  return 0;
}

int64_t binary_search(const int64_t* key, const int64_t* table, int64_t stride,
                      int64_t n, int64_t offset, int64_t nw) {
  if (n < 1) return 0;
  if (nw >= 1 && (offset < 1 || stride < 0)) return 0;
  int64_t lo = 1, hi = n;
  // The probe limit keeps a table that is not sorted from looping; tables
  // therefore hold fewer than 2^30 entries.
  for (int probe = 0; probe < 30 && lo <= hi; ++probe) {
    const int64_t mid = lo + (hi - lo) / 2;
    if (nw < 1) return mid;
    // Words are ordered by < and >, not by the sign of their difference,
    // which overflows for words of opposite sign.
    const int c = compare_words(key, table + (mid - 1) * stride + (offset - 1), nw);
    if (c == 0) return mid;
    if (c < 0)
      hi = mid - 1;
    else
      lo = mid + 1;
  }
  return 0;
}

}  // namespace flowsum

using flowsum::TextField;

extern "C" {

void tkcins_(int64_t* nchar, const char* text, int64_t* nword, int64_t* words,
             size_t text_len) {
  *nword = flowsum::pack_text(TextField(text, text_len).view(), *nchar, words);
}

void tkinsc_(int64_t* nword, int64_t* words, int64_t* /*nchar*/, char* text,
             size_t text_len) {
  flowsum::unpack_text(words, *nword, TextField(text, text_len));
}

void tklnsh_(int64_t* key, int64_t* table, int64_t* stride, int64_t* n,
             int64_t* offset, int64_t* nw, int64_t* ipos) {
  *ipos = flowsum::linear_search(key, table, *stride, *n, *offset, *nw);
}

void tkbnsh_(int64_t* key, int64_t* table, int64_t* stride, int64_t* n,
             int64_t* offset, int64_t* nw, int64_t* ipos) {
  *ipos = flowsum::binary_search(key, table, *stride, *n, *offset, *nw);
}

}  // extern "C"
