! A refinery column called from Fortran: stripper 2 (column 3) of the
! example's crude unit U1, its liquid mass flow profile through TKPET1.
program fortran_refinery
  use fortran_checks
  implicit none
  integer*8 :: ierr, icol, ntray, ncomp, nprop
  real*8 :: flows(3)
  character(len=12) :: qname
  character(len=16) :: label

  call load_summary(example_file(), ierr)
  call check(ierr == 0, 'the example loads')
  icol = 3
  call tkpetf('U1', icol, ntray, ncomp, nprop)
  call check(ntray == 2 .and. nprop == 1, 'TKPETF: stripper 2 has 2 trays and 1 property')
  flows = -1.0d0
  call tkpet1('U1', 'HYD_LMF', icol, ntray, flows, qname, label, ierr)
  call check(ierr == 0 .and. qname == 'MASS-FLOW' .and. label == 'KG/SEC', 'TKPET1 HYD_LMF in KG/SEC')
  call check(all(abs(flows(1:2) - (/ 3.4d0, 2.9d0 /)) < 1.0d-12) .and. flows(3) == -1.0d0, &
             'the two trays, nothing past them')
  call unload(ierr)
  call finish('fortran_refinery')
end program fortran_refinery
