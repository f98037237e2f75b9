! Must not compile: the flowsum module's interfaces reject a default INTEGER
! where the routine takes INTEGER(8), and an array where it takes a scalar.
program fortran_wrong_kind
  use flowsum
  implicit none
  integer :: n4
  integer(8) :: flags(6)
  call tkneq(n4)
  call tkneq(flags)
end program fortran_wrong_kind
