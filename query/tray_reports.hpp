// The bodies of the tray-report routines, shared by the general routines
// and their refinery twins: twin false hands a refinery block on through
// the refinery seam, twin true serves refinery blocks only.
#pragma once

#include <cstddef>
#include <cstdint>

namespace flowsum {

void reports_tktrep(bool twin, const char* id, int64_t* column, int64_t* ntray, int64_t* nprop, size_t id_len);
void reports_tktprp(bool twin, const char* id, int64_t* column, int64_t* ntray, int64_t* traynos, const char* pname,
             const char* substream, const char* phase, const char* component, const char* basis,
             const char* units, double* values, char* qname, char* ulabel, int64_t* ierr, size_t id_len,
             size_t pname_len, size_t substream_len, size_t phase_len, size_t component_len, size_t basis_len,
             size_t units_len, size_t qname_len, size_t ulabel_len);
void reports_tkntpr(bool twin, const char* id, int64_t* column, int64_t* ntray, int64_t* traynos, int64_t* k, char* pname,
             char* substream, char* phase, char* component, char* basis, char* units, double* values,
             char* qname, char* ulabel, int64_t* ierr, size_t id_len, size_t pname_len, size_t substream_len,
             size_t phase_len, size_t component_len, size_t basis_len, size_t units_len, size_t qname_len,
             size_t ulabel_len);

}  // namespace flowsum
