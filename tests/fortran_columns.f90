! Column profiles called from Fortran: the example column's temperature
! profile (TKPRO1) and its liquid composition (TKPRO2) into a 2-D array.
program fortran_columns
  use fortran_checks
  implicit none
  integer*8 :: ierr, icol, ntray, ncomp, nprop, ld
  real*8 :: temps(10), x(5, 10)
  character(len=12) :: qname
  character(len=16) :: label
  character(len=8) :: comps(5)

  call load_summary(example_file(), ierr)
  call check(ierr == 0, 'the example loads')
  icol = 1
  call tkprof('C1', icol, ntray, ncomp, nprop)
  call check(ntray == 10 .and. ncomp == 5 .and. nprop == 5, 'TKPROF: 10 trays, 5 components, 5 properties')
  call tkpro1('C1', 'TEMP', icol, ntray, temps, qname, label, ierr)
  call check(ierr == 0 .and. label == 'K' .and. all(temps(2:10) > temps(1:9)), 'TKPRO1: temperatures in K rise')
  ld = 5
  call tkpro2('C1', 'X', icol, ld, comps, ntray, x, qname, label, ierr)
  call check(ierr == 0 .and. comps(5) == 'NBUTANE' .and. abs(x(1, 1) - 0.2d0) < 1.0d-12 .and. &
             all(abs(sum(x, dim=1) - 1.0d0) < 1.0d-5), 'TKPRO2 X: components in order, each tray sums to 1')
  call unload(ierr)
  call finish('fortran_columns')
end program fortran_columns
