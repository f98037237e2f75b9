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
void tkinit_(const char *unitset, int64_t *iscr, int64_t *isum, int64_t *iprp,
             const char *prpfile, int64_t *iunt, const char *untfile, double *rmiss,
             int64_t *ierr, size_t unitset_len, size_t prpfile_len,
             size_t untfile_len);
/* As TKINIT, with the message unit MSGUNIT (0 or less: no messages). */
void tkini2_(const char *unitset, int64_t *iscr, int64_t *isum, int64_t *iprp,
             const char *prpfile, int64_t *iunt, const char *untfile, double *rmiss,
             int64_t *ierr, int64_t *msgunit, size_t unitset_len,
             size_t prpfile_len, size_t untfile_len);
/* NWARN: warnings about the file's contents (cut or damaged) since the last
   load began, also those of data sets read later; 0 for a sound file. */
void tknwrn_(int64_t *nwarn);
/* Open numbered unit UNIT on FILE (sequential or direct access). */
void tkopen_(int64_t *unit, const char *file, const char *access, const char *form,
             int64_t *recl, const char *status, const char *action, int64_t *ierr,
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
             const char *text, size_t text_len);
/* Next token: type, integer value, real value and text. */
void tktokn_(int64_t *type, int64_t *ival, double *rval, char *text,
             size_t text_len);
/* FLAG 1 selects the standard character table, anything else the extended. */
void tktoks_(int64_t *flag);
/* Set TABLE(code) = CLASS for each of the first N characters of CHARS. */
void tkccls_(int64_t *cls, int64_t *table, const char *chars, int64_t *n,
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
void tkcins_(int64_t *nchar, const char *text, int64_t *nword, int64_t *words,
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
void tkcint_(int64_t *n, const char *text, int64_t *ival, int64_t *ierr,
             size_t text_len);
/* Copy character I of packed SRC to character position J of packed DST. */
void tkmbyt_(int64_t *src, int64_t *i, int64_t *dst, int64_t *j);
/* Turn the lower-case letters of TEXT(1:N) into capitals. */
void tkcase_(int64_t *n, char *text, size_t text_len);

/* ---- Data-set tree ------------------------------------------------------ */

/* Search, extend or walk the data-set tree (MODE 1 lookup, 4 append). */
void tkdtre_(int64_t *mode, int64_t *nids, const char *ids, char *value,
             int64_t *idata, int64_t *tree, int64_t *nused, int64_t *ipos,
             int64_t *ierr, size_t ids_len, size_t value_len);

/* ---- Data-set lookup, loading sequences, list evaluation ---------------- */
/* Blocks of values (TKCPWA, TKICRS): NVAL values of NCOL qualifier columns
   take (2*NCOL+2)*NVAL work words: the pairs (2 words a column, value by
   value), then NVAL types, then NVAL unit types. See docs/dataset-lookup.md. */

/* Find the data set of path IDS(1..NID) and qualifier QUAL (blank: any); its
   qualifier block at LOCQ, values at LOCD; NDATA 0 when none. */
void tkdset_(int64_t *nid, const char *ids, const char *qual, int64_t *nqual,
             int64_t *ndata, int64_t *locq, int64_t *locd, size_t ids_len,
             size_t qual_len);
/* Compile loading sequence LSETID: set names (2 words each, room for 2000
   words) and operations 10*k+code (room for 2000); IERR 0,1,2,3,4,7. */
void tklset_(const char *lsetid, int64_t *idlist, int64_t *nids, int64_t *ops,
             int64_t *nops, int64_t *ierr, size_t lsetid_len);
/* Qualifier block of loading sequence LSETID at LOCQ (NDATA -1: the count
   comes with the data set; 0: none). */
void tklist_(const char *lsetid, int64_t *ndata, int64_t *nqual, int64_t *locq,
             size_t lsetid_len);
/* Qualifiers NQ and members NMEM (-1 open-ended) of identifier set NAME. */
void tkidim_(const char *name, int64_t *nq, int64_t *nmem, size_t name_len);
/* Load identifier set NAME sized NQ x NMEM: names, pairs, types, units. */
void tkiset_(const char *name, int64_t *nq, int64_t *nmem, int64_t *qnames,
             int64_t *qvals, int64_t *types, int64_t *units, size_t name_len);
/* 8-word template of open-ended set NAME: name, first member, 0, 0. */
void tkivec_(const char *name, int64_t *tmpl, size_t name_len);
/* Values NDATA and qualifier width of an operation list; dims NQ, NMEM per
   set; counters in work words from FREE. */
void tkloop_(int64_t *nops, int64_t *ops, int64_t *nids, int64_t *dims,
             int64_t *free, int64_t *ndata, int64_t *width);
/* Copy block LOCB (NVAL values, NOLD columns) to LOCN with NNEW columns, old
   column i to COLS(i); IERR 1 (nothing copied) for bad counts or places. */
void tkcpwa_(int64_t *locb, int64_t *locn, int64_t *nnew, int64_t *nold,
             int64_t *nval, int64_t *cols, int64_t *ierr);
/* Cross block X (NX values) with block Y (NY), NCOL columns each, into
   NX*NY values at LOCN, Y varying fastest; IERR as TKCPWA. */
void tkicrs_(int64_t *locx, int64_t *nx, int64_t *locy, int64_t *ny,
             int64_t *ncol, int64_t *locn, int64_t *ierr);

/* ---- Run information ------------------------------------------------------ */

/* Run title (64 characters; blank when the file has none). */
void tktitl_(char *title, size_t title_len);
/* Account fields of items 222, 347, 355, 348; IERR 1 when there are none. */
void tkacct_(char *f222, char *f347, char *f355, char *f348, int64_t *ierr,
             size_t f222_len, size_t f347_len, size_t f355_len,
             size_t f348_len);
/* Aliases: names (8) and texts (12), TKNALS entries; IDUM not read. */
void tkalis_(int64_t *idum, char *names, char *aliases, int64_t *ierr,
             size_t names_len, size_t aliases_len);
/* Case names: names (8) and texts (12), TKNCSN entries; IDUM not read. */
void tkcasn_(int64_t *idum, char *names, char *cases, int64_t *ierr,
             size_t names_len, size_t cases_len);
/* Number of entries TKALIS writes (0: none). */
void tknals_(int64_t *n);
/* Number of entries TKCASN writes (0: none). */
void tkncsn_(int64_t *n);
/* Version, run id, status texts 117/119, completion code, 6 status flags,
   numbers of blocks, streams and property tables, TKGLOB word 7. */
void tkinfo_(char *version, char *runid, char *status1, char *status2,
             int64_t *completion, int64_t *flags, int64_t *nblocks,
             int64_t *nstreams, int64_t *ntables, int64_t *ninfo,
             size_t version_len, size_t runid_len, size_t status1_len,
             size_t status2_len);

/* ---- Units --------------------------------------------------------------- */

/* VALUE stored in unit IUNIT of type ITYPE, in the target unit: RESULT, LABEL. */
void tkucnv_(int64_t *itype, int64_t *iunit, double *value, double *result,
             char *label, size_t label_len);
/* Target units := set UNITSET, then N overrides (type name, unit label). */
void tkunit_(const char *unitset, int64_t *n, const char *types, const char *labels,
             int64_t *ierr, size_t unitset_len, size_t types_len,
             size_t labels_len);
/* Labels of the target units of N named unit types (blank: none). */
void tklabl_(int64_t *n, const char *types, char *labels, size_t types_len,
             size_t labels_len);
/* N values from the target unit of type TYPE into its unit LABEL. */
void tkcnvt_(const char *type, const char *label, int64_t *n, double *values,
             double *converted, size_t type_len, size_t label_len);
/* VALUE in unit IUNIT of type ITYPE into unit LABEL of that type. */
void tkrcnv_(int64_t *itype, int64_t *iunit, const char *label, double *value,
             double *result, size_t label_len);

/* ---- Item search and identifier access ------------------------------------ */

/* Next object of search STYPE ("BLK_ANY", "STR_SPEC", "HCURVE", ...): its
   tree node in IPOS (0 at the end, <0 on errors), category ARG3, id ARG4. */
void tknitm_(const char *stype, int64_t *mode, char *arg3, char *arg4, int64_t *ipos,
             size_t stype_len, size_t arg3_len, size_t arg4_len);
/* Block ID's model in TYPE; IERR 0 when the block exists, 1 when not. */
void tkvblk_(const char *id, char *type, int64_t *ierr, size_t id_len, size_t type_len);
/* First N identifiers and types of KIND ("BLOCK", "STREAM", "PROP-TABLE",
   "EQUIPMEN"), or the first N keywords below a top-level tree keyword. */
void tklids_(const char *kind, int64_t *n, char *ids, char *types, int64_t *ierr,
             size_t kind_len, size_t ids_len, size_t types_len);
/* The INDEX-th identifier and type of KIND, or keyword below a tree keyword. */
void tknext_(const char *kind, int64_t *index, char *id, char *type, int64_t *ierr,
             size_t kind_len, size_t id_len, size_t type_len);
/* Values NDATA (-1 open-ended) and qualifiers less one NQ of the data set at
   path IDS(1..NID), without reading them; IERR the tree's code. */
void tknval_(const char *ids, int64_t *nid, int64_t *ndata, int64_t *nq, int64_t *ierr,
             size_t ids_len);

/* ---- Object identifiers and counts --------------------------------------- */

/* First N block ids and models (text*12, long names widened); IERR 0. */
void tkbids_(int64_t *n, char *ids, char *types, int64_t *ierr, size_t ids_len,
             size_t types_len);
/* First N stream ids and stream types; IERR 0. */
void tksids_(int64_t *n, char *ids, char *types, int64_t *ierr, size_t ids_len,
             size_t types_len);
/* First N equipment ids and equipment types (widened); IERR 0. */
void tkeids_(int64_t *n, char *ids, char *types, int64_t *ierr, size_t ids_len,
             size_t types_len);
/* First N pressure-relief ids; IERR 1 (nothing written) when N > count. */
void tkpids_(int64_t *n, char *ids, int64_t *ierr, size_t ids_len);
/* Block K (K < 1 becomes 1): id and model; blank past the end; IERR 0. */
void tknblk_(int64_t *k, char *id, char *type, int64_t *ierr, size_t id_len,
             size_t type_len);
/* Stream K: id and stream type; blank past the end; IERR 0. */
void tknstr_(int64_t *k, char *id, char *type, int64_t *ierr, size_t id_len,
             size_t type_len);
/* Property table K: id and table type (widened); blank past the end. */
void tknppt_(int64_t *k, char *id, char *type, int64_t *ierr, size_t id_len,
             size_t type_len);
/* Equipment item K: id and equipment type (widened); blank past the end. */
void tkneqp_(int64_t *k, char *id, char *type, int64_t *ierr, size_t id_len,
             size_t type_len);
/* Pressure-relief object K: id; IERR 1 (id untouched) outside 1..count. */
void tknxpr_(int64_t *k, char *id, int64_t *ierr, size_t id_len);
/* Number of equipment items. */
void tkneq_(int64_t *n);
/* Number of pressure-relief objects. */
void tknprs_(int64_t *n);

/* ---- Value access ---------------------------------------------------------- */
/* Path IDS(NID): every value as a converted real with property name, unit
   type (text*12) and label (text*16); IERR 1 no data set. IDUM not read. */
void tkpval_(const char *ids, int64_t *nid, int64_t *idum, char *pnames, double *values,
             char *utypes, char *ulabels, int64_t *nval, int64_t *ierr, size_t ids_len,
             size_t pnames_len, size_t utypes_len, size_t ulabels_len);
/* As TKPVAL with value kinds (1 integer, 2 real, 3 text), integers and texts. */
void tkaval_(const char *ids, int64_t *nid, int64_t *idum, char *pnames, int64_t *vtypes,
             int64_t *ivalues, char *texts, double *rvalues, char *utypes, char *ulabels,
             int64_t *nval, int64_t *ierr, size_t ids_len, size_t pnames_len,
             size_t texts_len, size_t utypes_len, size_t ulabels_len);
/* Profile of NPOINT x NPROP values along qualifier QNAME; IERR 3 wrong size. */
void tkprf2_(const char *ids, int64_t *nid, const char *qname, int64_t *npoint, int64_t *nprop,
             char *pnames, double *values, char *utypes, char *ulabels, int64_t *ierr,
             size_t ids_len, size_t qname_len, size_t pnames_len, size_t utypes_len,
             size_t ulabels_len);
/* TKFDST's choice by NK wanted qualifier values, then TKPRF2's reading. */
void tkprf3_(const char *ids, int64_t *nid, int64_t *nk, const char *knames, const char *kvals, const char *qname,
             int64_t *npoint, int64_t *nprop, char *pnames, double *values, char *utypes,
             char *ulabels, int64_t *ierr, size_t ids_len, size_t knames_len,
             size_t kvals_len, size_t qname_len, size_t pnames_len, size_t utypes_len,
             size_t ulabels_len);
/* Shape of a profile along the qualifier named by 4 packed words QWORDS. */
void tksprf_(const char *ids, int64_t *nid, int64_t *qwords, int64_t *nset, int64_t *nper,
             int64_t *ierr, size_t ids_len);
/* Append the digits of N (>= 1) to the leading word of TEXT (16 characters). */
void tkspid_(char *text, int64_t *n, size_t text_len);
/* Choose among siblings of a 4-keyword path by qualifier values: QUAL
   (text*8), tree node IPOS; IERR 1 none, 2 unknown property, 3 no path. */
void tkfdst_(const char *ids, int64_t *nid, int64_t *nk, const char *knames, const char *kvals, char *qual,
             int64_t *ipos, int64_t *ierr, size_t ids_len, size_t knames_len,
             size_t kvals_len, size_t qual_len);
/* The same choice for block results (model into IDS(2)); IERR 1 also for an
   unknown block. */
void tksplt_(int64_t *nid, char *ids, int64_t *nk, const char *knames, const char *kvals, char *qual,
             int64_t *ierr, size_t ids_len, size_t knames_len, size_t kvals_len,
             size_t qual_len);
/* TKSPLT that walks on past the NX section keywords XSECT (text*8). */
void tkspl2_(int64_t *nid, char *ids, int64_t *nk, const char *knames, const char *kvals, int64_t *nx,
             const char *xsect, char *qual, int64_t *ierr, size_t ids_len, size_t knames_len,
             size_t kvals_len, size_t xsect_len, size_t qual_len);
/* Block profile chosen by NK descriptor values; IERR 1 when not NPOINT values. */
void tkprfr_(const char *ids, int64_t *nid, const char *kvals, int64_t *nk, int64_t *npoint,
             double *values, char *utype, char *ulabel, int64_t *ierr, size_t ids_len,
             size_t kvals_len, size_t utype_len, size_t ulabel_len);
/* Property name (text*12) of each sibling profile of a 4-keyword path. */
void tkprfp_(const char *ids, int64_t *nid, int64_t *idum, char *pnames, int64_t *ierr,
             size_t ids_len, size_t pnames_len);
/* Members of the set of qualifier QNAME and number of sibling data sets. */
void tkspr2_(const char *ids, int64_t *nid, const char *qname, int64_t *nmem, int64_t *nsets,
             int64_t *ierr, size_t ids_len, size_t qname_len);
/* Sizes of the dimensions DNAMES (text*16) of the chosen data set. */
void tkspr3_(const char *ids, int64_t *nid, int64_t *nk, const char *knames, const char *kvals, int64_t *ndim,
             const char *dnames, int64_t *sizes, int64_t *nfound, int64_t *ierr, size_t ids_len,
             size_t knames_len, size_t kvals_len, size_t dnames_len);
/* Profile K among siblings of a path: descriptors and N converted values. */
void tknprf_(const char *ids, int64_t *nid, int64_t *n, int64_t *k, char *pname, char *substream,
             char *phase, char *component, char *basis, char *flowbasis, double *values,
             char *quantity, char *ulabel, int64_t *ierr, size_t ids_len, size_t pname_len,
             size_t substream_len, size_t phase_len, size_t component_len, size_t basis_len,
             size_t flowbasis_len, size_t quantity_len, size_t ulabel_len);

/* ---- Block results ------------------------------------------------------------ */

/* Size of a block's result table: results, descriptive qualifiers, status. */
void tknres_(const char *id, int64_t *nres, int64_t *ndesc, int64_t *status, size_t id_len);
/* A block's result table (text*12 names, text*8 qualifiers and texts). */
void tkbres_(const char *id, int64_t *idum1, int64_t *idum2, char *pnames, char *quals,
             int64_t *vtypes, int64_t *ivalues, char *tvalues, double *rvalues, char *utypes,
             char *ulabels, size_t id_len, size_t pnames_len, size_t quals_len,
             size_t tvalues_len, size_t utypes_len, size_t ulabels_len);
/* Flowsheet balance: six singles, two pairs of P and Q reals; IERR 1 absent
   or shorter than 2P + 2Q + 6 values. */
void tkflwb_(double *s1, double *s2, double *s3, double *s4, double *s5, double *s6,
             int64_t *p, double *a1, double *a2, int64_t *q, double *b1, double *b2,
             int64_t *ierr);
/* Reactor report types of a block (text*12 array of 3); IERR 1, 2 or 0. */
void tklrrp_(const char *id, int64_t *n, char *types, int64_t *ierr, size_t id_len,
             size_t types_len);
/* Points and profiles of one reactor report; IERR 1 unknown type or report. */
void tksrrp_(const char *id, const char *rtype, int64_t *npoints, int64_t *nprofiles, int64_t *ierr,
             size_t id_len, size_t rtype_len);
/* Reactor report profile K: descriptors, values, unit type and label. */
void tknrrp_(const char *id, const char *rtype, int64_t *idum, int64_t *k, char *pname, char *substream,
             char *phase, char *component, char *basis, char *flowbasis, double *values,
             char *utype, char *ulabel, int64_t *ierr, size_t id_len, size_t rtype_len,
             size_t pname_len, size_t substream_len, size_t phase_len,
             size_t component_len, size_t basis_len, size_t flowbasis_len,
             size_t utype_len, size_t ulabel_len);
/* As TKNRRP over the batch reactor's "BTRX_PRF" sections. */
void tknrpr_(const char *id, const char *rtype, int64_t *idum, int64_t *k, char *pname, char *substream,
             char *phase, char *component, char *basis, char *flowbasis, double *values,
             char *utype, char *ulabel, int64_t *ierr, size_t id_len, size_t rtype_len,
             size_t pname_len, size_t substream_len, size_t phase_len,
             size_t component_len, size_t basis_len, size_t flowbasis_len,
             size_t utype_len, size_t ulabel_len);
/* Reactor report profile chosen by its descriptors. */
void tkrrrp_(const char *id, const char *rtype, int64_t *idum, const char *pname, const char *substream, const char *phase,
             const char *component, const char *basis, const char *units, double *values, char *utype,
             char *ulabel, int64_t *ierr, size_t id_len, size_t rtype_len, size_t pname_len,
             size_t substream_len, size_t phase_len, size_t component_len,
             size_t basis_len, size_t units_len, size_t utype_len, size_t ulabel_len);

/* ---- Property tables ------------------------------------------------------------ */

/* Points NP and columns of a table (columns untouched when NP is 0). */
void tksppt_(const char *id, int64_t *np, int64_t *ncol, int64_t *status, size_t id_len);
/* Column K of a table at NP points; IERR 1 absent or NP not the table's. */
void tknppr_(const char *id, int64_t *np, int64_t *k, char *pname, char *substream, char *phase,
             char *component, char *basis, char *flowbasis, double *values, char *utype,
             char *ulabel, int64_t *ierr, size_t id_len, size_t pname_len,
             size_t substream_len, size_t phase_len, size_t component_len,
             size_t basis_len, size_t flowbasis_len, size_t utype_len, size_t ulabel_len);
/* Column by its descriptors; UBASIS "FLOW"/"MOLE"/"MASS" checks the unit type. */
void tkpprp_(const char *id, int64_t *np, const char *pname, const char *substream, const char *phase,
             const char *component, const char *basis, const char *ubasis, double *values, char *utype,
             char *ulabel, int64_t *ierr, size_t id_len, size_t pname_len,
             size_t substream_len, size_t phase_len, size_t component_len,
             size_t basis_len, size_t ubasis_len, size_t utype_len, size_t ulabel_len);
/* Curves and property columns of an envelope table. */
void tknenv_(const char *id, int64_t *ncurves, int64_t *ncol, int64_t *status, size_t id_len);
/* Points of the two halves of curve E. */
void tksenv_(const char *id, int64_t *e, int64_t *n1, int64_t *n2, size_t id_len);
/* Markers and 7001/7002 coordinates of the two halves of curve E. */
void tkptev_(const char *id, int64_t *e, int64_t *idum1, int64_t *idum2, double *m1, double *m2,
             double *x1, double *y1, double *x2, double *y2, size_t id_len);
/* Property column K of curve E on both halves, with its descriptors. */
void tknpev_(const char *id, int64_t *e, int64_t *k, int64_t *idum1, int64_t *idum2, double *m1,
             double *m2, char *pname, char *substream, char *phase, char *component,
             char *basis, char *flowbasis, double *v1, double *v2, char *utype,
             char *ulabel, size_t id_len, size_t pname_len, size_t substream_len,
             size_t phase_len, size_t component_len, size_t basis_len,
             size_t flowbasis_len, size_t utype_len, size_t ulabel_len);
/* Property column of curve E chosen by its descriptors. */
void tkppev_(const char *id, int64_t *e, int64_t *idum1, int64_t *idum2, const char *pname,
             const char *substream, const char *phase, const char *component, const char *basis, const char *ubasis,
             double *m1, double *m2, double *v1, double *v2, char *utype, char *ulabel,
             size_t id_len, size_t pname_len, size_t substream_len, size_t phase_len,
             size_t component_len, size_t basis_len, size_t ubasis_len, size_t utype_len,
             size_t ulabel_len);

/* ---- Sensitivity tables ----------------------------------------------------------- */

/* Points and columns of a study; STATUS 1 when its table is absent. */
void tknsen_(const char *id, int64_t *npoints, int64_t *ncol, int64_t *status, size_t id_len);
/* Column descriptors (text*8, 6 a column), entries (leading dimension LD) and
   point status; IERR 0 read, 1 absent or entries outside the arrays. */
void tksens_(const char *id, int64_t *ld, int64_t *idum, char *descriptors, double *matrix,
             int64_t *pstatus, int64_t *ierr, size_t id_len, size_t descriptors_len);

/* ---- Components ------------------------------------------------------------ */

/* Numbers of conventional and non-conventional components (0 when absent). */
void tkcomp_(int64_t *ncc, int64_t *nnc);
/* First P conventional and Q non-conventional ids (text*8); an absent set
   leaves its array untouched. */
void tkcids_(int64_t *p, int64_t *q, char *ncc_ids, char *nnc_ids, size_t ncc_len,
             size_t nnc_len);
/* Property vector NAME ("MW", "TB", "VLSTD", ...) converted; values past the
   stored ones and everything for an absent property are left untouched. */
void tkcprp_(const char *name, int64_t *n, double *values, char *label, size_t name_len,
             size_t label_len);

/* ---- Connectivity ---------------------------------------------------------- */

/* Numbers of inlet and outlet streams; STATUS the tree's code (0 found). */
void tkcntn_(const char *block, int64_t *nin, int64_t *nout, int64_t *status, size_t block_len);
/* Inlet/outlet ids (hierarchy prefix put back) and types; a list longer than
   its capacity is left untouched; IERR 1 unknown block, else 0. */
void tkcnct_(const char *block, int64_t *in_capacity, int64_t *out_capacity, char *in_ids,
             char *in_types, char *out_ids, char *out_types, int64_t *ierr, size_t block_len,
             size_t in_ids_len, size_t in_types_len, size_t out_ids_len, size_t out_types_len);
/* M inlet and K outlet port labels (text*4), locations from 1, third integers;
   filler "G"; IERR 1 unknown block, 2 model without ports, 0 success. */
void tkport_(const char *block, int64_t *m, int64_t *k, char *in_labels, int64_t *in_locations,
             int64_t *in_third, char *out_labels, int64_t *out_locations, int64_t *out_third,
             int64_t *ierr, size_t block_len, size_t in_labels_len, size_t out_labels_len);
/* Source and destination blocks (qualified), substream count, main-table row
   count; all untouched for an unknown stream. */
void tksinf_(const char *stream, char *source, char *destination, int64_t *nsub, int64_t *nrows,
             int64_t *idum, size_t stream_len, size_t source_len, size_t destination_len);

/* ---- Stream results -------------------------------------------------------- */

/* Main table: rows (64 chars: property, substream, component, basis), values,
   unit-type names, labels; row count from TKSINF; NROWS set to 0. */
void tkstrm_(const char *id, int64_t *idum, char *rows, double *values, char *unit_names,
             char *labels, int64_t *nrows, size_t id_len, size_t rows_len, size_t names_len,
             size_t labels_len);
/* First main-table value when the stream type begins with TYPE (text*4). */
void tkstra_(const char *id, const char *type, double *value, char *label, size_t id_len, size_t type_len,
             size_t label_len);
/* Values of one property of one substream (blank becomes "MIXED"), basis
   filter MOLE/MASS/FLOW; IERR 0 when a value was found. */
void tksval_(const char *id, const char *substream, const char *property, const char *basis, double *values,
             char *unit_name, char *label, int64_t *ierr, size_t id_len, size_t substream_len,
             size_t property_len, size_t basis_len, size_t unit_name_len, size_t label_len);
/* Number of user property results; IERR 1 no stream, 2 none, 0 success. */
void tknspr_(const char *id, int64_t *count, int64_t *ierr, size_t id_len);
/* User property results (arrays of TKNSPR's count); IERR 1 no stream, else 0. */
void tksprp_(const char *id, int64_t *idum, char *names, char *substreams, char *phases,
             char *components, char *bases, char *unit_bases, double *values,
             char *unit_names, char *labels, int64_t *ierr, size_t id_len, size_t names_len,
             size_t substreams_len, size_t phases_len, size_t components_len, size_t bases_len,
             size_t unit_bases_len, size_t unit_names_len, size_t labels_len);
/* Phase compositions (Y, X, X1, X2 of N) and twelve phase properties of a
   material stream; its table position goes to TKSLOC word 1. */
void tksphs_(const char *id, int64_t *n, int64_t *phas_flag, int64_t *xy_flag, double *y, double *x,
             double *x1, double *x2, double *p64, double *p63, double *p94, double *p95,
             double *p88, double *p61, double *p89, double *p90, double *p991, double *p992,
             double *p993, double *p994, size_t id_len);
/* Substream K: name, number of components, number of total rows. */
void tknsub_(const char *id, int64_t *k, char *name, int64_t *ncomp, int64_t *ntotal, size_t id_len,
             size_t name_len);
/* Component flows or fractions of a substream on a basis (stored or derived;
   underivable values are the missing-value marker) and its total rows. */
void tksubs_(const char *id, const char *substream, const char *basis, int64_t *n, char *ids, double *values,
             char *label, int64_t *idum, char *total_names, double *total_values,
             char *total_labels, size_t id_len, size_t substream_len, size_t basis_len,
             size_t ids_len, size_t label_len, size_t total_names_len, size_t total_labels_len);

/* ---- Stream and substream attributes ---------------------------------------- */

/* First N substream names of a stream, in order of appearance. */
void tkssid_(const char *stream, int64_t *n, char *names, size_t stream_len, size_t names_len);
/* Number of components with attributes in a substream. */
void tksnac_(const char *stream, const char *substream, int64_t *count, size_t stream_len,
             size_t substream_len);
/* K-th component with attributes and its number of attributes. */
void tksnca_(const char *stream, const char *substream, int64_t *k, char *component, int64_t *count,
             size_t stream_len, size_t substream_len, size_t component_len);
/* K-th attribute of a component and its number of elements. */
void tkssca_(const char *stream, const char *substream, const char *component, int64_t *k, char *name,
             int64_t *count, size_t stream_len, size_t substream_len, size_t component_len,
             size_t name_len);
/* Element names and values of a component attribute; IERR 1 only for an
   unknown stream. */
void tkscat_(const char *stream, const char *substream, const char *component, const char *attribute, int64_t *idum,
             char *elements, double *values, int64_t *ierr, size_t stream_len,
             size_t substream_len, size_t component_len, size_t attribute_len,
             size_t elements_len);
/* Number of attributes of a substream. */
void tksnsa_(const char *stream, const char *substream, int64_t *count, size_t stream_len,
             size_t substream_len);
/* K-th substream attribute and its number of elements. */
void tksssa_(const char *stream, const char *substream, int64_t *k, char *name, int64_t *count,
             size_t stream_len, size_t substream_len, size_t name_len);
/* Element values of a substream attribute; IERR 1 only for an unknown stream. */
void tkssat_(const char *stream, const char *substream, const char *attribute, int64_t *idum, double *values,
             int64_t *ierr, size_t stream_len, size_t substream_len, size_t attribute_len);

/* ---- Compressor results ----------------------------------------------------- */
/* Unknown block, or a model other than the one named: flag 1 and nothing
   written (counts 0). Profile sizes are (properties, points) as the counts
   report them; text*12 names and unit-type names, text*16 labels. */

/* Multistage cooler profile (NPROP x NPOINT coolers); IERR 0, 1, 3 shape. */
void tkmccp_(const char *id, int64_t *nprop, int64_t *npoint, char *pnames, double *values,
             char *utypes, char *ulabels, int64_t *ierr, size_t id_len, size_t pnames_len,
             size_t utypes_len, size_t ulabels_len);
/* Multistage stage profile (NPROP x NPOINT stages); IERR 0, 1, 3 shape. */
void tkmcpr_(const char *id, int64_t *nprop, int64_t *npoint, char *pnames, double *values,
             char *utypes, char *ulabels, int64_t *ierr, size_t id_len, size_t pnames_len,
             size_t utypes_len, size_t ulabels_len);
/* Sizes of the stage profile (properties, stages) and cooler profile. */
void tknmcp_(const char *id, int64_t *stage_nprop, int64_t *nstage, int64_t *cooler_nprop,
             int64_t *ncooler, size_t id_len);
/* Number of performance results and of stages (1 for a single compressor). */
void tknper_(const char *id, int64_t *nres, int64_t *nstage, size_t id_len);
/* Performance results (NRES per stage, NSTAGE stages); IERR 0, 1, 3 when
   the data set holds another number of values than NRES x NSTAGE (more
   than NRES for a single compressor). */
void tkperf_(const char *id, int64_t *nres, int64_t *nstage, char *pnames, double *values,
             char *utypes, char *ulabels, int64_t *ierr, size_t id_len, size_t pnames_len,
             size_t utypes_len, size_t ulabels_len);
/* Wheels of stage STAGE and results per wheel (both 0 when there are none). */
void tknwhl_(const char *id, int64_t *stage, int64_t *nwheel, int64_t *nres, size_t id_len);
/* Wheel results of stage STAGE (NPOINT wheels x NPROP results); IERR 0, 1
   no such stage or block, 3 no wheel results at all or another shape. */
void tkwhlr_(const char *id, int64_t *stage, int64_t *npoint, int64_t *nprop, char *pnames,
             double *values, char *utypes, char *ulabels, int64_t *ierr, size_t id_len,
             size_t pnames_len, size_t utypes_len, size_t ulabels_len);

/* ---- Equipment costing -------------------------------------------------------- */

/* Number of sizing and costing results; IERR 0, 1 unknown item, else the
   tree's code for a missing section. */
void tkneqs_(const char *id, int64_t *nres, int64_t *ierr, size_t id_len);
/* The first NRES results: names (text*12), kinds (1 integer, 2 real, 3 text),
   integer words, texts (text*12), converted reals, quantity names (text*12),
   labels (text*16); IERR 1 unknown item or no results, else 0. */
void tkeqsr_(const char *id, int64_t *nres, char *names, int64_t *kinds, int64_t *ivalues,
             char *texts, double *reals, char *qnames, char *ulabels, int64_t *ierr, size_t id_len,
             size_t names_len, size_t texts_len, size_t qnames_len, size_t ulabels_len);
/* Headlines: quantity (222), purchased (381) and installed cost (382); the
   costs are the missing-value marker when absent; IZERO set to 0. */
void tkeqcr_(const char *id, int64_t *quantity, double *purchased, double *installed,
             int64_t *izero, size_t id_len);
/* ---- Pipeline results ----------------------------------------------------- */
/* A block that is not a pipeline (model DUCTLINE, compared whole): flag 1
   and nothing written. Property names text*12, quantity names text*12,
   unit labels text*16; no routine writes more values than the data set
   holds nor more than the count it is given. */

/* Inlet/outlet entries, components and composition properties, then size
   and property count of segment data, segment descriptions, fluid properties. */
void tkplsz_(const char *id, int64_t *nio, int64_t *ncomp, int64_t *ncprop, int64_t *nseg,
             int64_t *nsegp, int64_t *ndes, int64_t *ndesp, int64_t *nflu, int64_t *nflup,
             int64_t *ierr, size_t id_len);
/* Segment description PNAME: kind (1 integer, 2 real, 3 text), first N values, texts. */
void tkplnd_(const char *id, int64_t *n, const char *pname, int64_t *kind, double *values,
             char *texts, char *qname, char *ulabel, int64_t *ierr, size_t id_len,
             size_t pname_len, size_t texts_len, size_t qname_len, size_t ulabel_len);
/* Segment data PNAME, one value per segment, as TKPLND. */
void tkplsg_(const char *id, int64_t *n, const char *pname, int64_t *kind, double *values,
             char *texts, char *qname, char *ulabel, int64_t *ierr, size_t id_len,
             size_t pname_len, size_t texts_len, size_t qname_len, size_t ulabel_len);
/* Fluid property PNAME: first N converted values; IERR 0, 1, 3 absent. */
void tkplpr_(const char *id, int64_t *n, const char *pname, double *values, char *qname,
             char *ulabel, int64_t *ierr, size_t id_len, size_t pname_len, size_t qname_len,
             size_t ulabel_len);
/* Up to N property names of the segment descriptions; IERR 0, 1, 3 absent. */
void tkplnp_(const char *id, int64_t *n, char *names, int64_t *ierr, size_t id_len,
             size_t names_len);
/* Up to N property names of the segment data. */
void tkplsp_(const char *id, int64_t *n, char *names, int64_t *ierr, size_t id_len,
             size_t names_len);
/* Up to N property names of the fluid properties. */
void tkplpp_(const char *id, int64_t *n, char *names, int64_t *ierr, size_t id_len,
             size_t names_len);
/* Up to N property names of the inlet/outlet compositions. */
void tkplcp_(const char *id, int64_t *n, char *names, int64_t *ierr, size_t id_len,
             size_t names_len);
/* Inlet then outlet conditions, NIO (TKPLSZ) entries each: names, kinds, values, texts. */
void tkplio_(const char *id, char *names, int64_t *kinds, double *values, char *texts,
             char *qnames, char *ulabels, int64_t *ierr, size_t id_len, size_t names_len,
             size_t texts_len, size_t qnames_len, size_t ulabels_len);
/* Composition PNAME: component ids (N), values (N, 2) inlet then outlet. */
void tkplco_(const char *id, int64_t *n, const char *pname, char *compids, double *values,
             char *qname, char *ulabel, int64_t *ierr, size_t id_len, size_t pname_len,
             size_t compids_len, size_t qname_len, size_t ulabel_len);
/* Property names of the profile along the line (TKPISP's NSETS of them). */
void tkpinp_(const char *id, int64_t *idum, char *pnames, int64_t *ierr, size_t id_len,
             size_t pnames_len);
/* Points and properties of the profile along the line. */
void tkpisp_(const char *id, int64_t *nmem, int64_t *nsets, size_t id_len);
/* Points and properties of the plug-flow property profile. */
void tkspir_(const char *id, int64_t *nmem, int64_t *nsets, size_t id_len);
/* Profile PNAME along the line ("LENGTH": the positions), NPOINT values. */
void tkpipr_(const char *id, int64_t *npoint, const char *pname, double *values, char *utype,
             char *ulabel, int64_t *ierr, size_t id_len, size_t pname_len, size_t utype_len,
             size_t ulabel_len);
/* Plug-flow profile chosen by name, substream, phase, component, basis, units. */
void tkrpip_(const char *id, int64_t *npoint, const char *pname, const char *ssid,
             const char *phase, const char *comp, const char *basis, const char *units,
             double *values, char *utype, char *ulabel, int64_t *ierr, size_t id_len,
             size_t pname_len, size_t ssid_len, size_t phase_len, size_t comp_len,
             size_t basis_len, size_t units_len, size_t utype_len, size_t ulabel_len);
/* The K-th plug-flow profile with its descriptors and N converted values. */
void tknpip_(const char *id, int64_t *n, int64_t *k, char *pname, char *ssid, char *phase,
             char *comp, char *basis, char *fbasis, double *values, char *qty, char *ulabel,
             int64_t *ierr, size_t id_len, size_t pname_len, size_t ssid_len,
             size_t phase_len, size_t comp_len, size_t basis_len, size_t fbasis_len,
             size_t qty_len, size_t ulabel_len);

/* ---- Heating curves ------------------------------------------------------ */
/* Curves are found by type (16 characters; the general routines compare the
   first 8) and number; values are stored at each row's point number, never
   past NPOINTS. The refinery routines (TKNHCR ...) serve crude-unit blocks
   and pass every other block to the general routine. */

/* Number of heating curves of a block (0 for an unknown block or model). */
void tknhcv_(const char *id, int64_t *n, size_t id_len);
/* First N curves of a block: types (text*16) and numbers; IERR 0 listed. */
void tklhcv_(const char *id, int64_t *n, char *types, int64_t *numbers, int64_t *ierr,
             size_t id_len, size_t types_len);
/* Points and further properties of one curve (0 and 0 when absent). */
void tkshcv_(const char *id, const char *type, int64_t *number, int64_t *npoints,
             int64_t *nfurther, size_t id_len, size_t type_len);
/* Standard values per point: status (131, as stored), temperature, pressure,
   vapour fraction, duty (converted); IERR 1 when the curve is absent. */
void tkhcrv_(const char *id, const char *type, int64_t *number, int64_t *npoints,
             double *status, double *temp, double *pres, double *vfrac, double *duty,
             int64_t *ierr, size_t id_len, size_t type_len);
/* Further property chosen by name (text*12), substream, phase, component
   (text*8), basis and flow basis (text*4): values per point, quantity name
   (text*12), unit label (text*16); IERR 1 unless NPOINTS is the curve's and
   the property is found. */
void tkhprp_(const char *id, const char *type, int64_t *number, int64_t *npoints,
             const char *pname, const char *substream, const char *phase,
             const char *component, const char *basis, const char *flowbasis,
             double *values, char *qname, char *ulabel, int64_t *ierr, size_t id_len,
             size_t type_len, size_t pname_len, size_t substream_len, size_t phase_len,
             size_t component_len, size_t basis_len, size_t flowbasis_len,
             size_t qname_len, size_t ulabel_len);
/* Further property K (1 .. TKSHCV's count) with its qualifiers, as TKHPRP. */
void tknhpr_(const char *id, const char *type, int64_t *number, int64_t *npoints,
             int64_t *k, char *pname, char *substream, char *phase, char *component,
             char *basis, char *flowbasis, double *values, char *qname, char *ulabel,
             int64_t *ierr, size_t id_len, size_t type_len, size_t pname_len,
             size_t substream_len, size_t phase_len, size_t component_len,
             size_t basis_len, size_t flowbasis_len, size_t qname_len,
             size_t ulabel_len);
/* Stream behind an "ICSTREAM" curve: its number (LINKEDCO) or identifier
   (text*8, other column models); IERR 0 found. */
void tkhcid_(const char *id, const char *type, int64_t *number, int64_t *inum, char *ident,
             int64_t *ierr, size_t id_len, size_t type_len, size_t ident_len);
/* Number of curves of a crude unit (its four refinery sections), else TKNHCV. */
void tknhcr_(const char *id, int64_t *n, size_t id_len);
/* First N curves with locations (text*8: "MAIN" or the stripper's or
   pumparound's id), types (text*16) and numbers; else TKLHCV. */
void tklhcr_(const char *id, int64_t *n, char *locations, char *types, int64_t *numbers,
             int64_t *ierr, size_t id_len, size_t locations_len, size_t types_len);
/* TKSHCV with the location (text*8). */
void tkshcr_(const char *id, const char *location, const char *type, int64_t *number,
             int64_t *npoints, int64_t *nfurther, size_t id_len, size_t location_len,
             size_t type_len);
/* TKHCRV with the location. */
void tkhcur_(const char *id, const char *location, const char *type, int64_t *number,
             int64_t *npoints, double *status, double *temp, double *pres, double *vfrac,
             double *duty, int64_t *ierr, size_t id_len, size_t location_len,
             size_t type_len);
/* TKHPRP with the location. */
void tkhcpr_(const char *id, const char *location, const char *type, int64_t *number,
             int64_t *npoints, const char *pname, const char *substream,
             const char *phase, const char *component, const char *basis,
             const char *flowbasis, double *values, char *qname, char *ulabel,
             int64_t *ierr, size_t id_len, size_t location_len, size_t type_len,
             size_t pname_len, size_t substream_len, size_t phase_len,
             size_t component_len, size_t basis_len, size_t flowbasis_len,
             size_t qname_len, size_t ulabel_len);
/* TKNHPR with the location. */
void tknhcp_(const char *id, const char *location, const char *type, int64_t *number,
             int64_t *npoints, int64_t *k, char *pname, char *substream, char *phase,
             char *component, char *basis, char *flowbasis, double *values, char *qname,
             char *ulabel, int64_t *ierr, size_t id_len, size_t location_len,
             size_t type_len, size_t pname_len, size_t substream_len, size_t phase_len,
             size_t component_len, size_t basis_len, size_t flowbasis_len,
             size_t qname_len, size_t ulabel_len);

/* ---- Heat-exchanger detail -------------------------------------------- */
/* Sections under the block: GEOMETRY, SHELLS, TUBES, NOZZLES, EQUIP-SP,
   DET-RES1, DET-RES2, the zone table TWS_ZON, zone n's profile TWS_Z_n (one
   data set per property), and a column's ICSTRM and ICS-CON. IERR 1 for an
   unknown block. The thin members pass their arguments to TKAVAL, TKPVAL,
   TKPRF2 or TKSPRF on the section. */

/* SHELLS through TKAVAL (texts 16 and 12 wide). */
void tkhxba_(const char *id, int64_t *idum, char *pnames, int64_t *vtypes, int64_t *ivalues,
             char *texts, double *rvalues, char *utypes, char *ulabels, int64_t *nval,
             int64_t *ierr, size_t id_len, size_t pnames_len, size_t texts_len,
             size_t utypes_len, size_t ulabels_len);
/* EQUIP-SP through TKAVAL (texts 12 and 8 wide). */
void tkhxes_(const char *id, int64_t *idum, char *pnames, int64_t *vtypes, int64_t *ivalues,
             char *texts, double *rvalues, char *utypes, char *ulabels, int64_t *nval,
             int64_t *ierr, size_t id_len, size_t pnames_len, size_t texts_len,
             size_t utypes_len, size_t ulabels_len);
/* EQUIP-SP through TKAVAL (texts 16 and 12 wide). */
void tkhxsh_(const char *id, int64_t *idum, char *pnames, int64_t *vtypes, int64_t *ivalues,
             char *texts, double *rvalues, char *utypes, char *ulabels, int64_t *nval,
             int64_t *ierr, size_t id_len, size_t pnames_len, size_t texts_len,
             size_t utypes_len, size_t ulabels_len);
/* TUBES through TKAVAL. */
void tkhxtu_(const char *id, int64_t *idum, char *pnames, int64_t *vtypes, int64_t *ivalues,
             char *texts, double *rvalues, char *utypes, char *ulabels, int64_t *nval,
             int64_t *ierr, size_t id_len, size_t pnames_len, size_t texts_len,
             size_t utypes_len, size_t ulabels_len);
/* DET-RES1 through TKPVAL. */
void tkhxd1_(const char *id, int64_t *idum, char *pnames, double *values, char *utypes,
             char *ulabels, int64_t *nval, int64_t *ierr, size_t id_len, size_t pnames_len,
             size_t utypes_len, size_t ulabels_len);
/* DET-RES2 through TKPVAL. */
void tkhxd2_(const char *id, int64_t *idum, char *pnames, double *values, char *utypes,
             char *ulabels, int64_t *nval, int64_t *ierr, size_t id_len, size_t pnames_len,
             size_t utypes_len, size_t ulabels_len);
/* NOZZLES through TKPVAL. */
void tkhxno_(const char *id, int64_t *idum, char *pnames, double *values, char *utypes,
             char *ulabels, int64_t *nval, int64_t *ierr, size_t id_len, size_t pnames_len,
             size_t utypes_len, size_t ulabels_len);
/* The zone table through TKPRF2 by "ZONES": NPOINT zones by NPROP properties. */
void tkhxzo_(const char *id, int64_t *npoint, int64_t *nprop, char *pnames, double *values,
             char *utypes, char *ulabels, int64_t *ierr, size_t id_len, size_t pnames_len,
             size_t utypes_len, size_t ulabels_len);
/* Numbers of values of DET-RES1 and DET-RES2 (0 when absent). */
void tknhxd_(const char *id, int64_t *ndet1, int64_t *ndet2, size_t id_len);
/* Number of values of EQUIP-SP. */
void tknhxe_(const char *id, int64_t *nequip, int64_t *ierr, size_t id_len);
/* Zones and zone-table properties (TKSPRF by "ZONES"), and the numbers of
   values of EQUIP-SP, TUBES, SHELLS and NOZZLES. */
void tknhxt_(const char *id, int64_t *nzones, int64_t *nzprops, int64_t *nequip,
             int64_t *ntubes, int64_t *nshells, int64_t *nnozzles, size_t id_len);
/* Points and properties (rows per point less the two position rows) of a
   section (text*8) through TKSPRF by "NPOINTS". */
void tkhxpf_(const char *id, const char *section, int64_t *npoints, int64_t *nprops,
             size_t id_len, size_t section_len);
/* Number of GEOMETRY values of a TWOSIDE block (0 for any other model). */
void tkngm_(const char *id, int64_t *n, size_t id_len);
/* First N GEOMETRY values: names (text*12), kinds (1 integer, 2 real, 3
   text), integer words, texts (text*12), reals (converted with a unit type),
   quantity names (text*12), unit labels (text*16); IDUM is not written. */
void tkhxgm_(const char *id, int64_t *n, char *pnames, int64_t *kinds, int64_t *ivalues,
             char *texts, double *rvalues, char *qnames, char *ulabels, int64_t *idum,
             size_t id_len, size_t pnames_len, size_t texts_len, size_t qnames_len,
             size_t ulabels_len);
/* Zones, zone-table properties, zone-profile points and zone-profile
   properties; IERR 0 once the zone table names its zones. */
void tknhxs_(const char *id, int64_t *nzones, int64_t *nzprops, int64_t *npoints,
             int64_t *nprofile, int64_t *ierr, size_t id_len);
/* Names (text*12) of the first NPROP zone-profile properties. */
void tkcoef_(const char *id, int64_t *nprop, char *pnames, int64_t *ierr, size_t id_len,
             size_t pnames_len);
/* Zone ZONE's profile of one property (text*12): NPOINTS values, quantity
   name, unit label; IERR 3 when the zone has no such profile. */
void tkhxcf_(const char *id, int64_t *zone, int64_t *npoints, const char *pname,
             double *values, char *qname, char *ulabel, int64_t *ierr, size_t id_len,
             size_t pname_len, size_t qname_len, size_t ulabel_len);
/* The zone table as VALUES(NPROPS, NZONES) with names, quantity names and
   labels per property; IERR 3 when its size is not NZONES x NPROPS. */
void tkhxsc_(const char *id, int64_t *nzones, int64_t *nprops, char *pnames, double *values,
             char *qnames, char *ulabels, int64_t *ierr, size_t id_len, size_t pnames_len,
             size_t qnames_len, size_t ulabels_len);
/* Property names (text*12) and the two qualifiers after each (text*8) of
   rows 3 .. NPROP+2 of a section (text*8). */
void tkhxpp_(const char *id, const char *section, int64_t *nprop, char *pnames,
             char *quals1, char *quals2, int64_t *ierr, size_t id_len, size_t section_len,
             size_t pnames_len, size_t quals1_len, size_t quals2_len);
/* One property of a section per point: the point's two position values (as
   stored), the converted value, quantity name, unit label. */
void tkhxpr_(const char *id, const char *section, const char *pname, int64_t *npoints,
             double *words1, double *words2, double *values, char *qname, char *ulabel,
             int64_t *ierr, size_t id_len, size_t section_len, size_t pname_len,
             size_t qname_len, size_t ulabel_len);
/* Number of intermediate streams of a column block. */
void tknics_(const char *id, int64_t *n, size_t id_len);
/* Intermediate-stream results of the first N streams: four connection
   arrays (as stored) and seven converted values; IERR 2 for a block that is
   not a column (LINKEDCO, CRUDEUNI, TRAYCOL, KINETCOL). */
void tkicst_(const char *id, int64_t *n, int64_t *con1, int64_t *con2, int64_t *con3,
             int64_t *con4, double *v1, double *v2, double *v3, double *v4, double *v5,
             double *v6, double *v7, int64_t *ierr, size_t id_len);
/* ---- Column profiles --------------------------------------------------------- */

/* Number of columns of a column block (0 for other blocks). */
void tkncol_(const char *id, int64_t *ncol, size_t id_len);
/* Trays, components and profile properties of one column; all 0 when absent. */
void tkprof_(const char *id, int64_t *column, int64_t *ntray, int64_t *ncomp, int64_t *nprop,
             size_t id_len);
/* The column's profile properties (text*12) and kinds (1 per tray, 2 per
   component and tray), at most NPROP of them. */
void tkprop_(const char *id, int64_t *column, int64_t *nprop, int64_t *kinds, char *names,
             int64_t *ierr, size_t id_len, size_t names_len);
/* One per-tray property (NTRAY values); IERR 0, 1 block, 2 name, 3 no data set. */
void tkpro1_(const char *id, const char *pname, int64_t *column, int64_t *ntray, double *values,
             char *qname, char *ulabel, int64_t *ierr, size_t id_len, size_t pname_len,
             size_t qname_len, size_t ulabel_len);
/* One per-component property into VALUES(LD, NTRAY), component ids in order of
   first appearance; nothing past LD components or NTRAY trays. */
void tkpro2_(const char *id, const char *pname, int64_t *column, int64_t *ld, char *compids,
             int64_t *ntray, double *values, char *qname, char *ulabel, int64_t *ierr,
             size_t id_len, size_t pname_len, size_t compids_len, size_t qname_len,
             size_t ulabel_len);
/* Per-tray property of a rate-based column (also reached through TKPRO1). */
void tkrat1_(const char *id, const char *pname, int64_t *column, int64_t *ntray, double *values,
             char *qname, char *ulabel, int64_t *ierr, size_t id_len, size_t pname_len,
             size_t qname_len, size_t ulabel_len);
/* Number of summary values of one column of a rate-based column. */
void tkrtnr_(const char *id, int64_t *column, int64_t *n, size_t id_len);
/* The first N summary values of one column of a rate-based column. */
void tkrtrs_(const char *id, int64_t *column, int64_t *n, char *pnames, double *values,
             char *qnames, char *ulabels, int64_t *ierr, size_t id_len, size_t pnames_len,
             size_t qnames_len, size_t ulabels_len);

/* ---- Refinery columns ------------------------------------------------------ */

/* Refinery (CRUDEUNI) twins of TKPROF, TKPROP, TKPRO1 and TKPRO2: column 1 is
   the main column, column C stripper C-1; same arguments as the general routine. */
void tkpetf_(const char *id, int64_t *column, int64_t *ntray, int64_t *ncomp, int64_t *nprop,
             size_t id_len);
/* Properties: per-tray HYD_ names (kind 1), then Y, X, X1, K, K1, K2 present (kind 2). */
void tkpetp_(const char *id, int64_t *column, int64_t *nprop, int64_t *kinds, char *names,
             int64_t *ierr, size_t id_len, size_t names_len);
/* Per-tray values of a HYD_ property (or, main column, a composition's first values). */
void tkpet1_(const char *id, const char *pname, int64_t *column, int64_t *ntray, double *values,
             char *qname, char *ulabel, int64_t *ierr, size_t id_len, size_t pname_len,
             size_t qname_len, size_t ulabel_len);
/* One composition into VALUES(LD, NTRAY); nothing past LD components or NTRAY trays. */
void tkpet2_(const char *id, const char *pname, int64_t *column, int64_t *ld, char *compids,
             int64_t *ntray, double *values, char *qname, char *ulabel, int64_t *ierr,
             size_t id_len, size_t pname_len, size_t compids_len, size_t qname_len,
             size_t ulabel_len);
/* Twins of TKTREP, TKTPRP, TKNTPR: the main column's tray report (strippers have none). */
void tkptre_(const char *id, int64_t *column, int64_t *ntray, int64_t *nprop, size_t id_len);
void tkptpy_(const char *id, int64_t *column, int64_t *ntray, int64_t *traynos, const char *pname,
             const char *substream, const char *phase, const char *component, const char *basis,
             const char *units, double *values, char *qname, char *ulabel, int64_t *ierr,
             size_t id_len, size_t pname_len, size_t substream_len, size_t phase_len,
             size_t component_len, size_t basis_len, size_t units_len, size_t qname_len,
             size_t ulabel_len);
void tkptnp_(const char *id, int64_t *column, int64_t *ntray, int64_t *traynos, int64_t *k,
             char *pname, char *substream, char *phase, char *component, char *basis, char *units,
             double *values, char *qname, char *ulabel, int64_t *ierr, size_t id_len,
             size_t pname_len, size_t substream_len, size_t phase_len, size_t component_len,
             size_t basis_len, size_t units_len, size_t qname_len, size_t ulabel_len);
/* Twins of TKNSEC, TKLSEC, TKSSEC, TKPSEC, TKSCRS, TKSCPR: sized and rated sections of
   the main column (keywords with _M) or of a stripper (_S, chosen by its number). */
void tkptns_(const char *id, int64_t *column, int64_t *nsec, int64_t *ierr, size_t id_len);
void tkptls_(const char *id, int64_t *column, int64_t *n, int64_t *numbers, char *types,
             int64_t *ierr, size_t id_len, size_t types_len);
void tkptss_(const char *id, int64_t *column, const char *type, int64_t *number, int64_t *npoints,
             int64_t *nprop, int64_t *nres, int64_t *ierr, size_t id_len, size_t type_len);
void tkptps_(const char *id, int64_t *column, const char *type, int64_t *number, int64_t *nprop,
             char *pnames, char *parts, int64_t *ierr, size_t id_len, size_t type_len,
             size_t pnames_len, size_t parts_len);
void tkptsc_(const char *id, int64_t *column, const char *type, int64_t *number, int64_t *n,
             char *pnames, int64_t *kinds, int64_t *ivalues, char *tvalues, double *rvalues,
             char *qnames, char *ulabels, int64_t *ierr, size_t id_len, size_t type_len,
             size_t pnames_len, size_t tvalues_len, size_t qnames_len, size_t ulabels_len);
void tkptsr_(const char *id, int64_t *column, const char *type, int64_t *number, int64_t *npoints,
             int64_t *traynos, const char *pname, const char *part, double *values, char *qname,
             char *ulabel, int64_t *ierr, size_t id_len, size_t type_len, size_t pname_len,
             size_t part_len, size_t qname_len, size_t ulabel_len);
/* Refinery column sizes: N1-N3 petroleum properties (mole, mass, std. volume),
   N4 summary results, N5/N6 pumparounds and results each, N7/N8 connections and
   results each, N9/N10 furnace properties and components, N11/N12 stripper
   MSCO values and data sets; all 0 for an unknown or other block. */
void tknpet_(const char *id, int64_t *column, int64_t *n1, int64_t *n2, int64_t *n3, int64_t *n4,
             int64_t *n5, int64_t *n6, int64_t *n7, int64_t *n8, int64_t *n9, int64_t *n10,
             int64_t *n11, int64_t *n12, size_t id_len);
/* Furnace table: property names, component ids, VALUES(NCOMP, NPROP). */
void tkfrcm_(const char *id, int64_t *nprop, int64_t *ncomp, char *pnames, char *compids,
             double *values, char *qnames, char *ulabels, int64_t *ierr, size_t id_len,
             size_t pnames_len, size_t compids_len, size_t qnames_len, size_t ulabels_len);
/* Results of pumparound PUMPAROUND (at most NRES). */
void tkptpp_(const char *id, int64_t *pumparound, int64_t *nres, char *rnames, double *values,
             char *qnames, char *ulabels, int64_t *ierr, size_t id_len, size_t rnames_len,
             size_t qnames_len, size_t ulabels_len);
/* Results of main-column connection ICON, then its MF_CON values (at most NRES). */
void tkptfr_(const char *id, int64_t *icon, int64_t *nres, char *rnames, double *values,
             char *qnames, char *ulabels, int64_t *ierr, size_t id_len, size_t rnames_len,
             size_t qnames_len, size_t ulabels_len);
/* Connections of column COLUMN: main M-FCONNE, stripper s its MSCO_s sets (at most NRES). */
void tkptcn_(const char *id, int64_t *column, int64_t *nres, char *rnames, double *values,
             char *qnames, char *ulabels, int64_t *ierr, size_t id_len, size_t rnames_len,
             size_t qnames_len, size_t ulabels_len);
/* Summary results of column COLUMN (main INFO_M, stripper rows of INFO_S). */
void tkptrs_(const char *id, int64_t *column, int64_t *nres, char *rnames, int64_t *kinds,
             double *values, char *qnames, char *ulabels, int64_t *ierr, size_t id_len,
             size_t rnames_len, size_t qnames_len, size_t ulabels_len);
/* Petroleum property profile on basis MOLE, MASS or SVOL; IERR 0, 1, 3 no data set. */
void tkptpr_(const char *id, const char *pname, int64_t *column, int64_t *npoints,
             const char *basis, double *values, char *qname, char *ulabel, int64_t *ierr,
             size_t id_len, size_t pname_len, size_t basis_len, size_t qname_len,
             size_t ulabel_len);
/* Petroleum properties of a column with their bases (at most NPROP). */
void tkptad_(const char *id, int64_t *column, int64_t *nprop, char *pnames, char *bases,
             int64_t *ierr, size_t id_len, size_t pnames_len, size_t bases_len);

/* ---- Tray reports ---------------------------------------------------------- */

/* Reported trays (distinct) and report properties of one column. */
void tktrep_(const char *id, int64_t *column, int64_t *ntray, int64_t *nprop, size_t id_len);
/* One report property chosen by its qualifiers (basis and units text*4, the
   others text*8, name text*12): tray numbers and values of the first NTRAY
   reported trays. IERR 0, or 1 block or data set unknown. */
void tktprp_(const char *id, int64_t *column, int64_t *ntray, int64_t *traynos, const char *pname,
             const char *substream, const char *phase, const char *component, const char *basis,
             const char *units, double *values, char *qname, char *ulabel, int64_t *ierr,
             size_t id_len, size_t pname_len, size_t substream_len, size_t phase_len,
             size_t component_len, size_t basis_len, size_t units_len, size_t qname_len,
             size_t ulabel_len);
/* The K-th report property of the column with its qualifiers, as TKTPRP. */
void tkntpr_(const char *id, int64_t *column, int64_t *ntray, int64_t *traynos, int64_t *k,
             char *pname, char *substream, char *phase, char *component, char *basis, char *units,
             double *values, char *qname, char *ulabel, int64_t *ierr, size_t id_len,
             size_t pname_len, size_t substream_len, size_t phase_len, size_t component_len,
             size_t basis_len, size_t units_len, size_t qname_len, size_t ulabel_len);
/* The first report data set of the column: up to N qualifier names and values
   (text*16, TRAY_NO, PROPERTIES and N_COL left out), its unit type and up to N
   converted values. */
void tktray_(const char *id, int64_t *column, int64_t *n, char *qnames, char *qvalues,
             int64_t *utype, double *values, size_t id_len, size_t qnames_len,
             size_t qvalues_len);
/* Reboiler results of a tray column: results, composition properties, components. */
void tktrnr_(const char *id, int64_t *nres, int64_t *ncprop, int64_t *ncomp, size_t id_len);
/* Reboiler results (at most NRES) and compositions CVALUES(NCOMP, NCPROP). IERR 0,
   1 not a tray column, 2 compositions of another size, 3 no results, 4 unread. */
void tktrrs_(const char *id, int64_t *nres, int64_t *ncprop, int64_t *ncomp, char *pnames,
             double *values, char *qnames, char *ulabels, char *cpnames, char *compids,
             double *cvalues, int64_t *ierr, size_t id_len, size_t pnames_len, size_t qnames_len,
             size_t ulabels_len, size_t cpnames_len, size_t compids_len);

/* ---- Column sizing and rating ------------------------------------------------ */

/* Number of sized or rated sections of a column; IERR 1 for an unknown block. */
void tknsec_(const char *id, int64_t *column, int64_t *nsec, int64_t *ierr, size_t id_len);
/* Up to N sections: numbers and types (text*12, "TRAY-SIZE", "TRAY-RATE",
   "PACK-SIZE", "PACK-RATE"). IERR 1 for a block that is not a tray or linked column. */
void tklsec_(const char *id, int64_t *column, int64_t *n, int64_t *numbers, char *types,
             int64_t *ierr, size_t id_len, size_t types_len);
/* Profile points, profile properties and results of one section. IERR 0, 1 no
   such section, 2 section without a profile. */
void tkssec_(const char *id, int64_t *column, const char *type, int64_t *number,
             int64_t *npoints, int64_t *nprop, int64_t *nres, int64_t *ierr, size_t id_len,
             size_t type_len);
/* Up to NPROP profile property names (text*12) and their parts (text*1, A to D). */
void tkpsec_(const char *id, int64_t *column, const char *type, int64_t *number, int64_t *nprop,
             char *pnames, char *parts, int64_t *ierr, size_t id_len, size_t type_len,
             size_t pnames_len, size_t parts_len);
/* Up to N scalar results of a section: names, kinds (1 integer, 2 real, 3 text),
   integer, text (text*12) and converted real values, quantity names, unit labels. */
void tkscrs_(const char *id, int64_t *column, const char *type, int64_t *number, int64_t *n,
             char *pnames, int64_t *kinds, int64_t *ivalues, char *tvalues, double *rvalues,
             char *qnames, char *ulabels, int64_t *ierr, size_t id_len, size_t type_len,
             size_t pnames_len, size_t tvalues_len, size_t qnames_len, size_t ulabels_len);
/* One profile property (name text*12, part text*1) of a section: tray numbers and
   values of the first NPOINTS points. IERR 0, 1 absent, 2 name unknown. */
void tkscpr_(const char *id, int64_t *column, const char *type, int64_t *number,
             int64_t *npoints, int64_t *traynos, const char *pname, const char *part,
             double *values, char *qname, char *ulabel, int64_t *ierr, size_t id_len,
             size_t type_len, size_t pname_len, size_t part_len, size_t qname_len,
             size_t ulabel_len);

/* ---- Reactor profiles ------------------------------------------------------ */
/* Plug-flow ("TUBERX") profiles along the length, batch ("BATCHRX") profiles over
   time, per substream; NPOINT and LD bound every array written. Error flags: 0
   success, 1 not a reactor block, 2 profile section absent or name unknown, 3 no
   data set for the property. */
/* Number of substream profiles (consecutive PLPR_k or RBVLM_k, at most 9). */
void tkrsub_(const char *id, int64_t *nsub, size_t id_len);
/* Substream (text*8), points, components and properties of profile IPROF; all 0 when absent. */
void tkrprf_(const char *id, int64_t *iprof, char *ssid, int64_t *npoint, int64_t *ncomp,
             int64_t *nprop, size_t id_len, size_t ssid_len);
/* Profile IPROF's property names (text*12) and kinds (1 per point, 2 per component), at most NPROP. */
void tkrprp_(const char *id, int64_t *iprof, int64_t *nprop, int64_t *kinds, char *names,
             int64_t *ierr, size_t id_len, size_t names_len);
/* One per-point property of the profile of substream SSID: the first NPOINT stored values. */
void tkrpr1_(const char *id, const char *pname, const char *ssid, int64_t *npoint, double *values,
             char *qname, char *ulabel, int64_t *ierr, size_t id_len, size_t pname_len,
             size_t ssid_len, size_t qname_len, size_t ulabel_len);
/* One composition property of profile IPROF into VALUES(LD, NPOINT), component ids in
   order of first appearance. */
void tkrpr2_(const char *id, const char *pname, int64_t *iprof, int64_t *ld, char *compids,
             int64_t *npoint, double *values, char *qname, char *ulabel, int64_t *ierr,
             size_t id_len, size_t pname_len, size_t compids_len, size_t qname_len,
             size_t ulabel_len);
/* Points, components and properties of the batch vessel's accumulator (RBAC) profile. */
void tkvapf_(const char *id, int64_t *npoint, int64_t *ncomp, int64_t *nprop, size_t id_len);
/* The same for the vent (RBVT) profile. */
void tkvtpf_(const char *id, int64_t *npoint, int64_t *ncomp, int64_t *nprop, size_t id_len);
/* Accumulator profile names (text*12) and kinds, at most NPROP. */
void tkvapr_(const char *id, int64_t *nprop, int64_t *kinds, char *names, int64_t *ierr,
             size_t id_len, size_t names_len);
/* Vent profile names and kinds, at most NPROP. */
void tkvtpr_(const char *id, int64_t *nprop, int64_t *kinds, char *names, int64_t *ierr,
             size_t id_len, size_t names_len);
/* One per-point accumulator property: the first NPOINT stored values. */
void tkvar1_(const char *id, const char *pname, int64_t *npoint, double *values, char *qname,
             char *ulabel, int64_t *ierr, size_t id_len, size_t pname_len, size_t qname_len,
             size_t ulabel_len);
/* One per-point vent property. */
void tkvtr1_(const char *id, const char *pname, int64_t *npoint, double *values, char *qname,
             char *ulabel, int64_t *ierr, size_t id_len, size_t pname_len, size_t qname_len,
             size_t ulabel_len);
/* One accumulator composition into VALUES(LD, NPOINT) with its component ids. */
void tkvar2_(const char *id, const char *pname, int64_t *npoint, int64_t *ld, char *compids,
             double *values, char *qname, char *ulabel, int64_t *ierr, size_t id_len,
             size_t pname_len, size_t compids_len, size_t qname_len, size_t ulabel_len);
/* One vent composition into VALUES(LD, NPOINT) with its component ids. */
void tkvtr2_(const char *id, const char *pname, int64_t *npoint, int64_t *ld, char *compids,
             double *values, char *qname, char *ulabel, int64_t *ierr, size_t id_len,
             size_t pname_len, size_t compids_len, size_t qname_len, size_t ulabel_len);
/* Number of values of the reaction profile (REAC_PRF); 0 when absent. */
void tkrrpf_(const char *id, int64_t *n, size_t id_len);
/* Number of values of the selectivity profile (SEL_PRF); 0 when absent. */
void tkrrns_(const char *id, int64_t *n, size_t id_len);
/* Reaction profile of NPOINT points by NPROP properties (as TKPRF2); IERR 3 when the
   data set holds another number of values. */
void tkrrpr_(const char *id, int64_t *npoint, int64_t *nprop, char *pnames, double *values,
             char *utypes, char *ulabels, int64_t *ierr, size_t id_len, size_t pnames_len,
             size_t utypes_len, size_t ulabels_len);
/* Every value of the selectivity profile (as TKPVAL), arrays sized by TKRRNS. */
void tkrrsl_(const char *id, int64_t *idum, char *pnames, double *values, char *utypes,
             char *ulabels, int64_t *nval, int64_t *ierr, size_t id_len, size_t pnames_len,
             size_t utypes_len, size_t ulabels_len);
/* Every value of the heat profile (HEAT_PRF, as TKPVAL); arrays sized by TKNVAL. */
void tkrrhr_(const char *id, int64_t *idum, char *pnames, double *values, char *utypes,
             char *ulabels, int64_t *nval, int64_t *ierr, size_t id_len, size_t pnames_len,
             size_t utypes_len, size_t ulabels_len);
/* Number of values of the segment results (L2_SEGM). */
void tkrtnl_(const char *id, int64_t *n, size_t id_len);
/* Distinct positions and components of the SPFRC profile. */
void tkrtsp_(const char *id, int64_t *npoint, int64_t *ncomp, size_t id_len);
/* SPFRC as NPOINT points by NPROP values (as TKPRF2, position "NPOINT"). */
void tkrtsr_(const char *id, int64_t *npoint, int64_t *nprop, char *pnames, double *values,
             char *utypes, char *ulabels, int64_t *ierr, size_t id_len, size_t pnames_len,
             size_t utypes_len, size_t ulabels_len);
/* Every value of the equilibrium results (VLE3, as TKPVAL); arrays sized by TKNVAL. */
void tkvle_(const char *id, int64_t *idum, char *pnames, double *values, char *utypes,
            char *ulabels, int64_t *nval, int64_t *ierr, size_t id_len, size_t pnames_len,
            size_t utypes_len, size_t ulabels_len);
/* Number of components with catalyst attributes in section RBTA_ISEC. */
void tkrnac_(const char *id, int64_t *isec, int64_t *count, size_t id_len);
/* The K-th such component (text*8) and its number of attributes. */
void tkrnca_(const char *id, int64_t *isec, int64_t *k, char *comp, int64_t *count, size_t id_len,
             size_t comp_len);
/* The K-th attribute (text*8) of a component and its number of values. */
void tkrsca_(const char *id, int64_t *isec, const char *comp, int64_t *k, char *attr, int64_t *count,
             size_t id_len, size_t comp_len, size_t attr_len);
/* Element names (text*8) and values of one attribute, arrays sized by TKRSCA's count. */
void tkrcat_(const char *id, int64_t *isec, const char *comp, const char *attr, int64_t *idum,
             char *elems, double *values, int64_t *ierr, size_t id_len, size_t comp_len,
             size_t attr_len, size_t elems_len);
/* Numbers of the feed data sets RBFC_ISEC and RBFI_ISEC. */
void tkrnfs_(const char *id, int64_t *isec, int64_t *nfc, int64_t *nfi, size_t id_len);
/* Their property names (text*12, RBFC_ISEC first), at most N; IERR 2 when there are none. */
void tkrfsp_(const char *id, int64_t *isec, int64_t *n, char *names, int64_t *ierr, size_t id_len,
             size_t names_len);

/* ---- Pressure relief ------------------------------------------------------ */
/* Relief objects (listed by TKPIDS): scenario results, vessel, steady-state, PRAC
   and vent profiles. An unknown object writes zeros to every count and leaves the
   error flag nonzero; NRES, NPROP, NSETS, NPOINT and LD bound every array written. */
/* Dynamic scenario: at most NRES results with names, kinds (1 integer, 2 real, 3 text,
   4 verdict message), integer, text (text*12), message (text*32) and converted real
   values, quantity names and unit labels. */
void tkpssr_(const char *id, int64_t *nres, char *names, int64_t *kinds, int64_t *ivalues,
             char *tvalues, char *messages, double *rvalues, char *qnames, char *ulabels,
             size_t id_len, size_t names_len, size_t tvalues_len, size_t messages_len,
             size_t qnames_len, size_t ulabels_len);
/* Steady-state scenario, as TKPSSR; IERR 3 until the data set is found, then 0. */
void tkpsss_(const char *id, int64_t *nres, char *names, int64_t *kinds, int64_t *ivalues,
             char *tvalues, char *messages, double *rvalues, char *qnames, char *ulabels,
             int64_t *ierr, size_t id_len, size_t names_len, size_t tvalues_len,
             size_t messages_len, size_t qnames_len, size_t ulabels_len);
/* Vent profile sizes: points, composition data sets, vent sections present, pressure data sets. */
void tkpvpf_(const char *id, int64_t *npoint, int64_t *ncomp, int64_t *nvent, int64_t *npres,
             size_t id_len);
/* Vent property names and kinds (at most NPROP) and the time axis (TKPVPF's points). */
void tkpvrp_(const char *id, int64_t *nprop, int64_t *kinds, char *names, double *times,
             char *qname, char *ulabel, int64_t *ierr, size_t id_len, size_t names_len,
             size_t qname_len, size_t ulabel_len);
/* One vent property ("B_PRES", "B_TEMP", "B_VFRAC", "DENSITY") into VALUES(NPOINT, NSETS). */
void tkpvr1_(const char *id, const char *pname, int64_t *nsets, int64_t *npoint, double *values,
             char *qname, char *ulabel, int64_t *ierr, size_t id_len, size_t pname_len,
             size_t qname_len, size_t ulabel_len);
/* The vent mole fractions ("B_MOLEFRAC"), one component id (text*8) per set. */
void tkpvr2_(const char *id, const char *pname, int64_t *nsets, int64_t *npoint, char *compids,
             double *values, char *qname, char *ulabel, int64_t *ierr, size_t id_len,
             size_t pname_len, size_t compids_len, size_t qname_len, size_t ulabel_len);
/* Vessel profile IPROF: substream (text*8), points, components, properties. */
void tkpsrf_(const char *id, int64_t *iprof, char *ssid, int64_t *npoint, int64_t *ncomp,
             int64_t *nprop, size_t id_len, size_t ssid_len);
/* Vessel profile names (text*12) and kinds, at most NPROP. */
void tkpsrp_(const char *id, int64_t *iprof, int64_t *nprop, int64_t *kinds, char *names,
             int64_t *ierr, size_t id_len, size_t names_len);
/* One per-point vessel property of flow basis BASIS (text*4, blank for any). */
void tkpsr1_(const char *id, const char *pname, const char *basis, int64_t *npoint, double *values,
             char *qname, char *ulabel, int64_t *ierr, size_t id_len, size_t pname_len,
             size_t basis_len, size_t qname_len, size_t ulabel_len);
/* One vessel composition of profile IPROF into VALUES(LD, NPOINT). */
void tkpsr2_(const char *id, const char *pname, int64_t *iprof, int64_t *ld, char *compids,
             int64_t *npoint, double *values, char *qname, char *ulabel, int64_t *ierr,
             size_t id_len, size_t pname_len, size_t compids_len, size_t qname_len,
             size_t ulabel_len);
/* Number of vessel substream profiles (consecutive PRVLM_k, at most 9). */
void tkpsub_(const char *id, int64_t *nsub, size_t id_len);
/* One per-point steady-state property of flow basis BASIS. */
void tkpss1_(const char *id, const char *pname, const char *basis, int64_t *npoint, double *values,
             char *qname, char *ulabel, int64_t *ierr, size_t id_len, size_t pname_len,
             size_t basis_len, size_t qname_len, size_t ulabel_len);
/* Steady-state profile names and kinds, at most NPROP. */
void tkpssp_(const char *id, int64_t *nprop, int64_t *kinds, char *names, int64_t *ierr,
             size_t id_len, size_t names_len);
/* PRAC profile sizes. */
void tkpapf_(const char *id, int64_t *npoint, int64_t *ncomp, int64_t *nprop, size_t id_len);
/* PRAC profile names and kinds, at most NPROP. */
void tkpapr_(const char *id, int64_t *nprop, int64_t *kinds, char *names, int64_t *ierr,
             size_t id_len, size_t names_len);
/* One per-point PRAC property of flow basis BASIS. */
void tkpar1_(const char *id, const char *pname, const char *basis, int64_t *npoint, double *values,
             char *qname, char *ulabel, int64_t *ierr, size_t id_len, size_t pname_len,
             size_t basis_len, size_t qname_len, size_t ulabel_len);
/* One PRAC composition into VALUES(LD, NPOINT). */
void tkpar2_(const char *id, const char *pname, int64_t *npoint, int64_t *ld, char *compids,
             double *values, char *qname, char *ulabel, int64_t *ierr, size_t id_len,
             size_t pname_len, size_t compids_len, size_t qname_len, size_t ulabel_len);
/* As TKFDST on a relief path ("PRES-RELIEF" id section) of a known relief object. */
void tkpspl_(int64_t *nid, char *ids, int64_t *nk, const char *knames, const char *kvals,
             char *qual, int64_t *ierr, size_t ids_len, size_t knames_len, size_t kvals_len,
             size_t qual_len);

#ifdef __cplusplus
} /* extern "C" */
#endif

#endif /* FLOWSUM_H */
