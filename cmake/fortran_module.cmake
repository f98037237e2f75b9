# Writes the Fortran module flowsum (explicit interfaces of every exported
# routine) from include/flowsum.h, so the header stays the one list of the
# routines and their arguments. Run as
#   cmake -DHEADER=include/flowsum.h -DOUTPUT=flowsum.f90 -P fortran_module.cmake
#
# Types: int64_t * -> INTEGER(8), double * -> REAL(8), char * ->
# CHARACTER(*) (const char * adds INTENT(IN)); the size_t hidden lengths are
# the compiler's own. Text arguments are declared as arrays, which also
# accept a single text. Integers and reals are scalars unless their name is
# one of the array names below, which the header's routines use for arrays
# only (a routine's own exceptions are written routine:name).
set(ARRAY_NAMES
  table work regions words key src dst tree idlist ops qnames qvals tmpl dims cols
  flags values converted vtypes ivalues rvalues qwords sizes matrix pstatus
  m1 m2 x1 y1 x2 y2 v1 v2 a1 a2 b1 b2 y x total_values
  in_locations in_third out_locations out_third kinds reals
  tkiset_:types tkiset_:units
  tklhcv_:numbers tklhcr_:numbers
  tkhcrv_:status tkhcrv_:temp tkhcrv_:pres tkhcrv_:vfrac tkhcrv_:duty
  tkhcur_:status tkhcur_:temp tkhcur_:pres tkhcur_:vfrac tkhcur_:duty
  tkhxpr_:words1 tkhxpr_:words2
  tkicst_:con1 tkicst_:con2 tkicst_:con3 tkicst_:con4 tkicst_:v3 tkicst_:v4 tkicst_:v5
  tkicst_:v6 tkicst_:v7
  tktprp_:traynos tkntpr_:traynos tkscpr_:traynos tktrrs_:cvalues tklsec_:numbers
  tkpvrp_:times
  tkptpy_:traynos tkptnp_:traynos tkptsr_:traynos tkptls_:numbers)

file(READ "${HEADER}" text)
# Comments out, one line.
string(REGEX REPLACE "/\\*([^*]|\\*+[^*/])*\\*+/" "" text "${text}")
string(REPLACE "\n" " " text "${text}")
string(REGEX MATCHALL "void tk[a-z0-9]+_\\([^)]*\\)" decls "${text}")

set(out "! flowsum.f90 -- written at build time from flowsum.h; do not edit.\n")
string(APPEND out "!\n! Explicit interfaces of the exported routines: USE FLOWSUM in a program\n")
string(APPEND out "! that calls them, and a wrong kind or rank of argument is a compile error.\n")
string(APPEND out "! INTEGER(8) and REAL(8) arguments; texts are CHARACTER(*), their lengths\n")
string(APPEND out "! passed by the compiler. The global blocks stay COMMON blocks.\n")
string(APPEND out "module flowsum\n  implicit none\n  interface\n")
set(count 0)
foreach(decl IN LISTS decls)
  string(REGEX REPLACE "^void (tk[a-z0-9]+)_\\(.*$" "\\1" name "${decl}")
  string(REGEX REPLACE "^void tk[a-z0-9]+_\\((.*)\\)$" "\\1" params "${decl}")
  string(REPLACE "," ";" params "${params}")
  set(names "")
  set(body "")
  foreach(p IN LISTS params)
    string(STRIP "${p}" p)
    if(p STREQUAL "void" OR p MATCHES "^size_t ")
      continue()
    endif()
    string(REGEX REPLACE "^.*[* ]([A-Za-z0-9_]+)$" "\\1" arg "${p}")
    list(APPEND names "${arg}")
    list(FIND ARRAY_NAMES "${arg}" a1)
    list(FIND ARRAY_NAMES "${name}_:${arg}" a2)
    set(dim "")
    if(a1 GREATER -1 OR a2 GREATER -1)
      set(dim "(*)")
    endif()
    if(p MATCHES "^const char")
      string(APPEND body "      character(len=*), intent(in) :: ${arg}(*)\n")
    elseif(p MATCHES "^char")
      string(APPEND body "      character(len=*) :: ${arg}(*)\n")
    elseif(p MATCHES "^int64_t")
      string(APPEND body "      integer(8) :: ${arg}${dim}\n")
    elseif(p MATCHES "^double")
      string(APPEND body "      real(8) :: ${arg}${dim}\n")
    else()
      message(FATAL_ERROR "fortran_module: argument '${p}' of ${name}_ has no Fortran type")
    endif()
  endforeach()
  list(JOIN names ", &\n        " arglist)
  string(APPEND out "    subroutine ${name}(${arglist})\n${body}    end subroutine ${name}\n")
  math(EXPR count "${count} + 1")
endforeach()
string(APPEND out "  end interface\nend module flowsum\n")
if(count LESS 100)
  message(FATAL_ERROR "fortran_module: only ${count} routines found in ${HEADER}")
endif()
file(WRITE "${OUTPUT}.tmp" "${out}")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
