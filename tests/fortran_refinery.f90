! A refinery column called from Fortran: the example's crude unit U1 has a
! main column and two strippers; read stripper 2's liquid mass flow profile
! (column 3) through the refinery routine and through the general one.
program fortran_refinery
  use fortran_checks
  implicit none
  integer*8 :: ierr, icol, ntray, ncomp, nprop, kinds(2)
  real*8 :: flows(3), general(2)
  character(len=12) :: names(2), qname
  character(len=16) :: label

  call load_summary(example_file(), ierr)
  call check(ierr == 0, 'the example loads')
  icol = 3
  call tkpetf('U1', icol, ntray, ncomp, nprop)
  call check(ntray == 2 .and. ncomp == 0 .and. nprop == 1, 'TKPETF: stripper 2 has 2 trays and 1 property')
  call tkpetp('U1', icol, nprop, kinds, names, ierr)
  call check(ierr == 0 .and. names(1) == 'HYD_LMF' .and. kinds(1) == 1, 'TKPETP lists HYD_LMF per tray')

  flows = -1.0d0
  call tkpet1('U1', 'HYD_LMF', icol, ntray, flows, qname, label, ierr)
  call check(ierr == 0 .and. qname == 'MASS-FLOW' .and. label == 'KG/SEC', 'TKPET1 HYD_LMF in KG/SEC')
  call check(abs(flows(1) - 3.4d0) < 1.0d-12 .and. abs(flows(2) - 2.9d0) < 1.0d-12, 'stripper 2 profile values')
  call check(flows(3) == -1.0d0, 'nothing written past the trays asked for')

  call tkpro1('U1', 'HYD_LMF', icol, ntray, general, qname, label, ierr)
  call check(ierr == 0 .and. all(general == flows(1:2)), 'TKPRO1 answers as TKPET1')

  call unload(ierr)
  call finish('fortran_refinery')
end program fortran_refinery
