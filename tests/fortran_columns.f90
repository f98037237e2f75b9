! Column profiles called from Fortran: the example column's temperature
! profile (TKPRO1) and its liquid composition (TKPRO2) into a 2-D array.
program fortran_columns
  use fortran_checks
  implicit none
  integer*8 :: ierr, icol, ntray, ncomp, nprop, ld, kinds(5), t
  real*8 :: temps(10), x(5, 10)
  character(len=12) :: names(5), qname
  character(len=16) :: label
  character(len=8) :: comps(5)

  call load_summary(example_file(), ierr)
  call check(ierr == 0, 'the example loads')
  icol = 1
  call tkprof('C1', icol, ntray, ncomp, nprop)
  call check(ntray == 10 .and. ncomp == 5 .and. nprop == 5, 'TKPROF: 10 trays, 5 components, 5 properties')
  call tkprop('C1', icol, nprop, kinds, names, ierr)
  call check(ierr == 0 .and. names(1) == 'TEMP' .and. kinds(1) == 1 .and. names(3) == 'X' .and. kinds(3) == 2, &
             'TKPROP lists TEMP (per tray) and X (per component)')

  call tkpro1('C1', 'TEMP', icol, ntray, temps, qname, label, ierr)
  call check(ierr == 0 .and. qname == 'TEMPERATURE' .and. label == 'K', 'TKPRO1 TEMP in K')
  call check(all(temps(2:10) > temps(1:9)), 'temperatures rise down the column')

  ld = 5
  x = -1.0d0
  call tkpro2('C1', 'X', icol, ld, comps, ntray, x, qname, label, ierr)
  call check(ierr == 0 .and. comps(1) == 'WATER' .and. comps(5) == 'NBUTANE', 'TKPRO2 X: components in order')
  call check(abs(x(1, 1) - 0.2d0) < 1.0d-12, 'tray 1 is an even mixture')
  do t = 1, 10
    call check(abs(sum(x(:, t)) - 1.0d0) < 1.0d-5, 'each tray sums to 1')
  end do

  call unload(ierr)
  call finish('fortran_columns')
end program fortran_columns
