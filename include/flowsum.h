/*
 * flowsum.h -- the exported interface of the flowsum summary-file reader.
 *
 * Every routine TKXXXX is the C symbol tkxxxx_ (gfortran's external name) and
 * takes all of its arguments by pointer:
 *   integers  int64_t *        reals  double *
 *   texts     char * (blank-padded, not NUL-terminated)
 *   arrays    pointer to the first element; a text array is one pointer and
 *             every element has the same length.
 * For every text argument, in argument order, one size_t holding the field's
 * length is appended after the declared arguments (gfortran's hidden length).
 * Output texts are filled to exactly that length and never beyond it.
 *
 * The seven global blocks are gfortran COMMON blocks of 64-bit words; word k
 * of a block (1-based) is element k-1 here.
 *
 * The reference for callers is docs/; this header is the list.
 */
#ifndef FLOWSUM_H
#define FLOWSUM_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Global blocks ------------------------------------------------------ */

#define TK_WORK_WORDS 2000000 /* words of the work area TKWORK */
#define TK_GLOB_WORDS 21
#define TK_LOCS_WORDS 27
#define TK_MEMW_WORDS 12
#define TK_RGLB_WORDS 4
#define TK_SLOC_WORDS 4
#define TK_RETN_INTS 10
#define TK_RETN_TEXTS 10
#define TK_RETN_TEXT_LEN 128

/* Work area: every table the loader builds, and the queries' scratch words.
   A word holds an integer, a real (same 64 bits) or a packed text word. */
extern int64_t tkwork_[TK_WORK_WORDS];
/* Counts, units and machine constants (component, block, stream counts,
   scratch unit = word 11, message unit = word 12, characters per word = 14). */
extern int64_t tkglob_[TK_GLOB_WORDS];
/* Locations of the tables in the work area (free pointer = word 25). */
extern int64_t tklocs_[TK_LOCS_WORDS];
/* The loader's four regions: base, used, capacity for each. */
extern int64_t tkmemw_[TK_MEMW_WORDS];
/* Reals: word 1 missing-value marker, word 2 ambient pressure (Pa). */
extern double tkrglb_[TK_RGLB_WORDS];
/* One-entry cache of the last data-set lookup. */
struct tkretn_block {
  int64_t iret[TK_RETN_INTS];
  char text[TK_RETN_TEXTS][TK_RETN_TEXT_LEN];
};
extern struct tkretn_block tkretn_;
/* Word 1: table position of the stream last found by the stream-phase query. */
extern int64_t tksloc_[TK_SLOC_WORDS];

/* ---- Loading: open, load, close ---------------------------------------- */

/* Load a summary file opened on unit ISUM; messages to unit 6. */
void tkinit_(char *unitset, int64_t *iscr, int64_t *isum, int64_t *iprp,
             char *prpfile, int64_t *iunt, char *untfile, double *rmiss,
             int64_t *ierr, size_t unitset_len, size_t prpfile_len,
             size_t untfile_len);
/* As TKINIT, with the message unit MSGUNIT (0 or less: no messages). */
void tkini2_(char *unitset, int64_t *iscr, int64_t *isum, int64_t *iprp,
             char *prpfile, int64_t *iunt, char *untfile, double *rmiss,
             int64_t *ierr, int64_t *msgunit, size_t unitset_len,
             size_t prpfile_len, size_t untfile_len);
/* Open numbered unit UNIT on FILE (sequential or direct access). */
void tkopen_(int64_t *unit, char *file, char *access, char *form,
             int64_t *recl, char *status, char *action, int64_t *ierr,
             size_t file_len, size_t access_len, size_t form_len,
             size_t status_len, size_t action_len);
/* Rewind UNIT1, then close UNIT2, UNIT3 and UNIT4 (ends a load). */
void tkclos_(int64_t *unit1, int64_t *unit2, int64_t *unit3, int64_t *unit4);
/* Close one unit; IERR 0 or the failed close's status. */
void tkclfl_(int64_t *unit, int64_t *ierr);
/* Set the machine constants of TKGLOB words 13 to 19. */
void tknsys_(void);
/* Turn the letters a-z among the first N characters of TEXT into capitals. */
void tkuppr_(char *text, int64_t *n, size_t text_len);

/* ---- Scanner ------------------------------------------------------------ */

/* Configure (comma variant, unit and read mode) and position the scanner. */
void tktoki_(int64_t *variant, int64_t *unitmode, double *position,
             char *text, size_t text_len);
/* Next token: type, integer value, real value and text. */
void tktokn_(int64_t *type, int64_t *ival, double *rval, char *text,
             size_t text_len);
/* FLAG 1 selects the standard character table, anything else the extended. */
void tktoks_(int64_t *flag);
/* Set TABLE(code) = CLASS for each of the first N characters of CHARS. */
void tkccls_(int64_t *cls, int64_t *table, char *chars, int64_t *n,
             size_t chars_len);

/* ---- Work area ---------------------------------------------------------- */

/* Lay out NREG growable regions inside WORK(1..LIMIT); NEED = next free word. */
void tkmemo_(int64_t *limit, int64_t *work, int64_t *mode, int64_t *nreg,
             int64_t *regions, int64_t *need);
/* Sort N entries of STRIDE words on key words KSTART..KSTART+NKEY-1. */
void tksort_(int64_t *stride, int64_t *n, int64_t *table, int64_t *kstart,
             int64_t *nkey, int64_t *work);

/* ---- Packed character words --------------------------------------------- */

/* Pack TEXT(1:NCHAR) four characters a word into WORDS; NWORD words used. */
void tkcins_(int64_t *nchar, char *text, int64_t *nword, int64_t *words,
             size_t text_len);
/* Unpack NWORD packed words into TEXT (blank-filled first). */
void tkinsc_(int64_t *nword, int64_t *words, int64_t *nchar, char *text,
             size_t text_len);
/* Linear search of a table for KEY; IPOS = entry number or 0. */
void tklnsh_(int64_t *key, int64_t *table, int64_t *stride, int64_t *n,
             int64_t *offset, int64_t *nw, int64_t *ipos);
/* Binary search of a sorted table for KEY; IPOS = entry number or 0. */
void tkbnsh_(int64_t *key, int64_t *table, int64_t *stride, int64_t *n,
             int64_t *offset, int64_t *nw, int64_t *ipos);
/* Read an unsigned decimal integer from TEXT(1:N). */
void tkcint_(int64_t *n, char *text, int64_t *ival, int64_t *ierr,
             size_t text_len);
/* Copy character I of packed SRC to character position J of packed DST. */
void tkmbyt_(int64_t *src, int64_t *i, int64_t *dst, int64_t *j);
/* Turn the lower-case letters of TEXT(1:N) into capitals. */
void tkcase_(int64_t *n, char *text, size_t text_len);

/* ---- Data-set tree ------------------------------------------------------ */

/* Search, extend or walk the data-set tree (MODE 1 lookup, 4 append). */
void tkdtre_(int64_t *mode, int64_t *nids, char *ids, char *value,
             int64_t *idata, int64_t *tree, int64_t *nused, int64_t *ipos,
             int64_t *ierr, size_t ids_len, size_t value_len);

#ifdef __cplusplus
} /* extern "C" */
#endif

#endif /* FLOWSUM_H */
