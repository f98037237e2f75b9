// The bodies of the sizing and rating routines, shared by the general
// routines and their refinery twins: twin false hands a refinery block on
// through the refinery seam, twin true serves refinery blocks only.
#pragma once

#include <cstddef>
#include <cstdint>

namespace flowsum {

void sections_tknsec(bool twin, const char* id, int64_t* column, int64_t* nsec, int64_t* ierr, size_t id_len);
void sections_tklsec(bool twin, const char* id, int64_t* column, int64_t* n, int64_t* numbers, char* types, int64_t* ierr,
             size_t id_len, size_t types_len);
void sections_tkssec(bool twin, const char* id, int64_t* column, const char* type, int64_t* number, int64_t* npoints, int64_t* nprop,
             int64_t* nres, int64_t* ierr, size_t id_len, size_t type_len);
void sections_tkpsec(bool twin, const char* id, int64_t* column, const char* type, int64_t* number, int64_t* nprop, char* pnames,
             char* parts, int64_t* ierr, size_t id_len, size_t type_len, size_t pnames_len, size_t parts_len);
void sections_tkscrs(bool twin, const char* id, int64_t* column, const char* type, int64_t* number, int64_t* n, char* pnames,
             int64_t* kinds, int64_t* ivalues, char* tvalues, double* rvalues, char* qnames, char* ulabels,
             int64_t* ierr, size_t id_len, size_t type_len, size_t pnames_len, size_t tvalues_len,
             size_t qnames_len, size_t ulabels_len);
void sections_tkscpr(bool twin, const char* id, int64_t* column, const char* type, int64_t* number, int64_t* npoints,
             int64_t* traynos, const char* pname, const char* part, double* values, char* qname, char* ulabel,
             int64_t* ierr, size_t id_len, size_t type_len, size_t pname_len, size_t part_len, size_t qname_len,
             size_t ulabel_len);

}  // namespace flowsum
