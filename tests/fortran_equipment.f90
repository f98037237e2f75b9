! A Fortran caller reading the example's compressor K1 (its performance per
! stage) and the costs of its tray tower T-101 through plain CALL statements.
program fortran_equipment
  use fortran_checks
  implicit none
  integer*8 :: ierr, nres, nstage, n, kinds(8), ivals(8), quantity, izero
  real*8 :: perf(3, 3), reals(8), purchased, installed
  character(len=12) :: pnames(3), utypes(9), names(8), texts(8), qnames(8)
  character(len=16) :: ulabels(9), labels(8)

  call load_summary(trim(example_file()), ierr)
  call check(ierr == 0, 'TKINI2 loads the example')
  ! Performance: three results at three stages, the results varying fastest.
  call tknper('K1', nres, nstage)
  call tkperf('K1', nres, nstage, pnames, perf, utypes, ulabels, ierr)
  call check(ierr == 0 .and. nres == 3 .and. nstage == 3 .and. pnames(3) == 'ISEN-EFF' .and. &
             perf(1, 3) == 199000.0d0 .and. ulabels(7) == 'W' .and. perf(3, 1) == 0.78d0, 'TKPERF reads K1')
  ! Costs of the tray tower: its list, then the headlines.
  call tkneqs('T-101', n, ierr)
  call tkeqsr('T-101', n, names, kinds, ivals, texts, reals, qnames, labels, ierr)
  call check(ierr == 0 .and. n == 5 .and. names(2) == 'PURCH-COST' .and. kinds(2) == 2 .and. &
             reals(2) == 250000.0d0 .and. texts(5) == 'SIEVE', 'TKEQSR lists the costs of T-101')
  call tkeqcr('T-101', quantity, purchased, installed, izero)
  call check(quantity == 1 .and. purchased == 250000.0d0 .and. installed == 410000.0d0 .and. izero == 0, &
             'TKEQCR headlines of T-101')
  call unload(ierr)
  call finish('fortran_equipment')
end program fortran_equipment
