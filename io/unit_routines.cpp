// The exported unit routines: thin adapters from the caller's blank-padded
// fields and hidden lengths to the unit table.
#include "flowsum.h"
#include "io/numbered_units.hpp"
#include "store/text_field.hpp"

extern "C" {

void tkopen_(int64_t* unit, const char* file, const char* access, const char* form, int64_t* recl,
             const char* status, const char* action, int64_t* ierr, size_t file_len,
             size_t access_len, size_t form_len, size_t status_len,
             size_t action_len) {
  using flowsum::TextField;
  *ierr = flowsum::io::open_unit(*unit, TextField(file, file_len).view(),
                                 TextField(access, access_len).view(),
                                 TextField(form, form_len).view(), *recl,
                                 TextField(status, status_len).view(),
                                 TextField(action, action_len).view());
}

void tkclos_(int64_t* unit1, int64_t* unit2, int64_t* unit3, int64_t* unit4) {
  flowsum::io::rewind_unit(*unit1);
  flowsum::io::close_unit(*unit2);
  flowsum::io::close_unit(*unit3);
  flowsum::io::close_unit(*unit4);
}

void tkclfl_(int64_t* unit, int64_t* ierr) {
  *ierr = flowsum::io::close_unit(*unit);
}

}  // extern "C"
