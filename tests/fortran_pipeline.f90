! A Fortran caller reading the example pipeline L1's profile along its
! length: its size (TKPISP), property names (TKPINP) and the positions and
! temperatures of its points (TKPIPR).
program fortran_pipeline
  use fortran_checks
  implicit none
  integer*8 :: ierr, npoint, nprop, idum
  real*8 :: lengths(4), temps(4)
  character(len=12) :: pnames(2), qname
  character(len=16) :: label

  call load_summary(example_file(), ierr)
  call check(ierr == 0, 'the example loads')
  call tkpisp('L1', npoint, nprop)
  call check(npoint == 4 .and. nprop == 2, 'TKPISP: 4 points of 2 properties')
  idum = 0
  call tkpinp('L1', idum, pnames, ierr)
  call check(ierr == 0 .and. pnames(1) == 'TEMP' .and. pnames(2) == 'PRES', 'TKPINP lists TEMP and PRES')
  call tkpipr('L1', npoint, 'LENGTH', lengths, qname, label, ierr)
  call check(ierr == 0 .and. lengths(1) == 0.0d0 .and. lengths(4) == 150.0d0, 'TKPIPR LENGTH: the positions')
  call tkpipr('L1', npoint, 'TEMP', temps, qname, label, ierr)
  call check(ierr == 0 .and. label == 'K' .and. abs(temps(4) - 314.5d0) < 1.0d-9, 'TKPIPR TEMP in K')
  call tkpipr('M1', npoint, 'TEMP', temps, qname, label, ierr)
  call check(ierr /= 0, 'TKPIPR refuses a block that is not a pipeline')
  call unload(ierr)
  call finish('fortran_pipeline')
end program fortran_pipeline
