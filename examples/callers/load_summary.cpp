// Load a summary file from C++ and look a data set up in the tree.
//
//   load_summary_cpp SUMMARY-FILE DATA-FOLDER
//
// Text arguments are passed as writable, blank-padded buffers with their
// lengths after the declared arguments; a small helper keeps that tidy.
#include <cstdio>
#include <string>

#include "flowsum.h"

namespace {

// A blank-padded text field of a fixed width.
struct Field {
  std::string text;
  Field(const std::string& s, size_t width) : text(s) { text.resize(std::max(width, s.size()), ' '); }
  char* data() { return text.data(); }
  size_t size() const { return text.size(); }
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s SUMMARY-FILE DATA-FOLDER\n", argv[0]);
    return 2;
  }
  Field file(argv[1], 0), access("SEQUENTIAL", 16), form("FORMATTED", 16), status("OLD", 16),
      action("READ", 16), unitset("SI", 4);
  Field prpfile(std::string(argv[2]) + "/RCPROPNU.DAT", 0);
  Field untfile(std::string(argv[2]) + "/RCUNITS.DAT", 0);
  int64_t unit = 10, scr = 11, prp = 12, unt = 13, recl = 0, ierr = 0;
  double rmiss = 1.0e35;
  tkopen_(&unit, file.data(), access.data(), form.data(), &recl, status.data(), action.data(),
          &ierr, file.size(), access.size(), form.size(), status.size(), action.size());
  if (ierr != 0) {
    std::fprintf(stderr, "cannot open %s (status %lld)\n", argv[1], static_cast<long long>(ierr));
    return 1;
  }
  tkinit_(unitset.data(), &scr, &unit, &prp, prpfile.data(), &unt, untfile.data(), &rmiss, &ierr,
          unitset.size(), prpfile.size(), untfile.size());
  std::printf("load status %lld\n", static_cast<long long>(ierr));
  if (ierr == 0) {
    // Where does the run's status data set start? Four keywords of 128
    // characters each, looked up in the tree that starts at TKLOCS word 7.
    char ids[2][128];
    Field k1("RUN-STATUS", 128), k2("STATUS", 128);
    std::copy(k1.text.begin(), k1.text.end(), ids[0]);
    std::copy(k2.text.begin(), k2.text.end(), ids[1]);
    char qual[8];
    std::fill(qual, qual + 8, ' ');
    int64_t mode = 1, nids = 2, idata = 0, nused = tklocs_[7], ipos = 0, terr = 0;
    tkdtre_(&mode, &nids, &ids[0][0], qual, &idata, &tkwork_[tklocs_[6] - 1], &nused, &ipos,
            &terr, 128, 8);
    if (terr == 0)
      std::printf("RUN-STATUS STATUS starts on line %lld, qualifier %.8s\n",
                  static_cast<long long>(idata), qual);
    else
      std::printf("RUN-STATUS STATUS is not in this file\n");
  }
  tkclos_(&unit, &scr, &prp, &unt);
  tkclfl_(&unit, &ierr);
  return 0;
}
