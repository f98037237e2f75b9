// Prints the run information through the exported routines, as a caller of
// the library reads it.
#include "tools/report_run_info.hpp"

#include <cstdint>
#include <string>

#include "flowsum.h"

namespace flowsum_tool {

namespace {

std::string trimmed(std::string s) {
  s.erase(s.find_last_not_of(' ') + 1);
  return s;
}

void print_field(std::FILE* out, const char* label, const std::string& text) {
  const std::string t = trimmed(text);
  std::fprintf(out, "  %-16s%s\n", label, t.empty() ? "(none)" : t.c_str());
}

// Aliases or case names: the count first, then one line per entry.
void print_named_list(std::FILE* out, const char* label, void (*count)(int64_t*),
                      void (*list)(int64_t*, char*, char*, int64_t*, size_t, size_t)) {
  int64_t n = 0;
  count(&n);
  if (n < 1) return;
  std::string names(static_cast<size_t>(n) * 8, ' '), texts(static_cast<size_t>(n) * 12, ' ');
  int64_t unused = 0, ierr = 1;
  list(&unused, names.data(), texts.data(), &ierr, 8, 12);
  if (ierr != 0) return;
  std::fprintf(out, "  %-16s%lld\n", label, static_cast<long long>(n));
  for (size_t i = 0; i < static_cast<size_t>(n); ++i)
    std::fprintf(out, "    %-8s  %s\n", trimmed(names.substr(8 * i, 8)).c_str(),
                 trimmed(texts.substr(12 * i, 12)).c_str());
}

}  // namespace

void report_run_info(std::FILE* out) {
  std::fprintf(out, "\nrun information:\n");

  std::string title(64, ' ');
  tktitl_(title.data(), title.size());
  print_field(out, "title:", title);

  std::string version(20, ' '), runid(8, ' '), status1(80, ' '), status2(80, ' ');
  int64_t completion = 0, flags[6] = {2, 2, 2, 2, 2, 2}, nblk = 0, nstr = 0, nppt = 0, ninfo = 0;
  tkinfo_(version.data(), runid.data(), status1.data(), status2.data(), &completion, flags, &nblk,
          &nstr, &nppt, &ninfo, version.size(), runid.size(), status1.size(), status2.size());
  print_field(out, "version:", version);
  print_field(out, "run identifier:", runid);
  std::fprintf(out, "  %-16s%lld%s\n", "completion:", static_cast<long long>(completion),
               completion < -4 ? " (flags and counts not given)" : "");
  print_field(out, "status text 1:", status1);
  print_field(out, "status text 2:", status2);
  std::string flag_text;
  for (int64_t f : flags) flag_text += (flag_text.empty() ? "" : " ") + std::to_string(f);
  print_field(out, "status flags:", flag_text);
  if (completion >= -4)
    std::fprintf(out, "  %-16s%lld blocks, %lld streams, %lld property tables\n", "objects:",
                 static_cast<long long>(nblk), static_cast<long long>(nstr), static_cast<long long>(nppt));

  std::string f222(8, ' '), f347(8, ' '), f355(32, ' '), f348(20, ' ');
  int64_t ierr = 1;
  tkacct_(f222.data(), f347.data(), f355.data(), f348.data(), &ierr, f222.size(), f347.size(),
          f355.size(), f348.size());
  if (ierr == 0) {
    std::fprintf(out, "  account:\n");
    print_field(out, "  item 222:", f222);
    print_field(out, "  item 347:", f347);
    print_field(out, "  item 355:", f355);
    print_field(out, "  item 348:", f348);
  } else {
    print_field(out, "account:", "");
  }

  print_named_list(out, "aliases:", tknals_, tkalis_);
  print_named_list(out, "case names:", tkncsn_, tkcasn_);
}

}  // namespace flowsum_tool
