// Packed character words: four characters in the four lowest-addressed bytes
// of a 64-bit word, blanks in the other four; the table searches over them.
#pragma once

#include <cstdint>
#include <cstring>
#include <string_view>

#include "loading/globals.hpp"
#include "store/text_field.hpp"

namespace flowsum {

// A word of eight blanks.
inline constexpr int64_t kBlankWord = 0x2020202020202020;

inline void blank_words(int64_t* words, int64_t n) {
  for (int64_t i = 0; i < n; ++i) words[i] = kBlankWord;
}

// Characters held by one packed word: TKGLOB word 14, kept within the eight
// bytes of a word (4 before the constants are set). A caller can overwrite
// TKGLOB; the bounds never let the constant send a character outside its
// word. (Inline: the loader asks for it for every key it stores.)
inline int64_t packed_chars_per_word() {
  const int64_t cpw = chars_per_word();
  return cpw < 1 ? 1 : cpw > 8 ? 8 : cpw;
}

// Words needed for nchar characters: ceil(nchar / characters per word), 0
// when nchar < 1.
inline int64_t packed_word_count(int64_t nchar) {
  if (nchar < 1) return 0;
  const int64_t cpw = packed_chars_per_word();
  return nchar / cpw + (nchar % cpw != 0 ? 1 : 0);
}

// TKCINS: pack the first nchar characters of text (blanks past its end);
// stops at a character of code 0 or 1. Returns the words written,
// (nchar + 3) / 4, or 0 when nchar < 1.
int64_t pack_text(std::string_view text, int64_t nchar, int64_t* words);
// TKINSC: blank the field, then copy min(4 * nword, field length) characters.
void unpack_text_any(const int64_t* words, int64_t nword, TextField out);
// The same, with the usual case (four characters to a word, a field of at
// most 16 characters that the words fill) done in line: the query routines
// unpack a few short texts for every value they return.
inline void unpack_text(const int64_t* words, int64_t nword, TextField out) {
  if (out.len <= 16 && chars_per_word() == 4 && nword >= 1 && static_cast<uint64_t>(nword) * 4 >= out.len) {
    const auto* bytes = reinterpret_cast<const char*>(words);
    size_t k = 0;
    for (; k + 4 <= out.len; k += 4) std::memcpy(out.data + k, bytes + 2 * k, 4);
    if (k < out.len) std::memcpy(out.data + k, bytes + 2 * k, out.len - k);
    return;
  }
  unpack_text_any(words, nword, out);
}
// Length of text without trailing blanks rounded up to whole words, in
// characters (at least 4).
int64_t key_length(std::string_view text);
// Pack text with its key length; returns the number of words.
int64_t pack_key(std::string_view text, int64_t* words);
// Character k (1-based) of a packed text.
char packed_char(const int64_t* words, int64_t k);
// Store c as character k (1-based) of a packed text; nothing else changes.
void set_packed_char(int64_t* words, int64_t k, char c);

// Compare two keys of nw words as signed 64-bit integers, first unequal word
// deciding: negative, 0 or positive.
int compare_words(const int64_t* a, const int64_t* b, int64_t nw);

// TKLNSH / TKBNSH: entry number (1-based) or 0. The key field is words
// offset..offset+nw-1 (1-based) of every entry of stride words.
int64_t linear_search(const int64_t* key, const int64_t* table, int64_t stride,
                      int64_t n, int64_t offset, int64_t nw);
int64_t binary_search(const int64_t* key, const int64_t* table, int64_t stride,
                      int64_t n, int64_t offset, int64_t nw);

}  // namespace flowsum
