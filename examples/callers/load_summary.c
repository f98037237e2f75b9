/* Load a summary file from C and print what the loader indexed.
 *
 *   load_summary_c SUMMARY-FILE DATA-FOLDER
 *
 * Every routine takes its arguments by pointer; each text argument is a
 * blank-padded field whose length follows the declared arguments. */
#include <stdio.h>
#include <string.h>

#include "flowsum.h"

int main(int argc, char **argv) {
  if (argc < 3) {
    fprintf(stderr, "usage: %s SUMMARY-FILE DATA-FOLDER\n", argv[0]);
    return 2;
  }
  char prpfile[4096], untfile[4096];
  snprintf(prpfile, sizeof prpfile, "%s/RCPROPNU.DAT", argv[2]);
  snprintf(untfile, sizeof untfile, "%s/RCUNITS.DAT", argv[2]);

  int64_t unit = 10, scr = 11, prp = 12, unt = 13, recl = 0, ierr = 0;
  double rmiss = 1.0e35;
  tkopen_(&unit, argv[1], "SEQUENTIAL", "FORMATTED", &recl, "OLD", "READ", &ierr,
          strlen(argv[1]), 10, 9, 3, 4);
  if (ierr != 0) {
    fprintf(stderr, "cannot open %s (status %lld)\n", argv[1], (long long)ierr);
    return 1;
  }
  tkinit_("SI", &scr, &unit, &prp, prpfile, &unt, untfile, &rmiss, &ierr, 2,
          strlen(prpfile), strlen(untfile));
  printf("load status %lld\n", (long long)ierr);
  if (ierr == 0) {
    /* TKLOCS words 2, 4, 6 and 8: property names, identifier sets, loading
       sequences and tree words. */
    printf("property names %lld, identifier sets %lld, loading sequences %lld, tree words %lld\n",
           (long long)tklocs_[1], (long long)tklocs_[3], (long long)tklocs_[5],
           (long long)tklocs_[7]);
  }
  tkclos_(&unit, &scr, &prp, &unt);
  tkclfl_(&unit, &ierr);
  return 0;
}
