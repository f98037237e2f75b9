! A Fortran caller reading the example's compressor K1 (its performance per
! stage and the wheels of stage 2) and the costs of its tray tower T-101
! through plain CALL statements.
program fortran_equipment
  use fortran_checks
  implicit none
  real*8 :: rglb(4)
  common /tkrglb/ rglb

  integer*8 :: ierr, nres, nstage, nwheel, nwres, stage, n, kinds(8), ivals(8), quantity, izero
  real*8 :: perf(3, 3), wheels(2, 2), reals(8), purchased, installed
  character(len=12) :: pnames(3), utypes(9), wnames(2), wtypes(4), names(8), texts(8), qnames(8)
  character(len=16) :: ulabels(9), wlabels(4), labels(8)

  call load_summary(trim(example_file()), ierr)
  call check(ierr == 0, 'TKINI2 loads the example')

  ! Performance: three results at three stages, the results varying fastest.
  call tknper('K1', nres, nstage)
  call check(nres == 3 .and. nstage == 3, 'TKNPER: 3 results, 3 stages')
  call tkperf('K1', nres, nstage, pnames, perf, utypes, ulabels, ierr)
  call check(ierr == 0, 'TKPERF reads K1')
  call check(pnames(1) == 'POWER' .and. pnames(2) == 'HEAD' .and. pnames(3) == 'ISEN-EFF', &
             'TKPERF result names')
  call check(perf(1, 3) == 199000.0d0 .and. ulabels(7) == 'W', 'power of stage 3 in W')
  call check(perf(3, 1) == 0.78d0, 'efficiency of stage 1')
  call tkperf('M1', nres, nstage, pnames, perf, utypes, ulabels, ierr)
  call check(ierr == 1, 'TKPERF refuses a mixer')

  stage = 2
  call tknwhl('K1', stage, nwheel, nwres)
  call check(nwheel == 2 .and. nwres == 2, 'TKNWHL: stage 2 has 2 wheels of 2 results')
  call tkwhlr('K1', stage, nwheel, nwres, wnames, wheels, wtypes, wlabels, ierr)
  call check(ierr == 0 .and. wnames(1) == 'SPEED' .and. wheels(2, 2) == 2650.0d0, 'TKWHLR stage 2')

  ! Costs of the tray tower: its list, then the headlines.
  call tkneqs('T-101', n, ierr)
  call check(ierr == 0 .and. n == 5, 'TKNEQS: T-101 has 5 results')
  call tkeqsr('T-101', n, names, kinds, ivals, texts, reals, qnames, labels, ierr)
  call check(ierr == 0 .and. names(2) == 'PURCH-COST' .and. kinds(2) == 2 .and. reals(2) == 250000.0d0, &
             'TKEQSR purchased cost stored as a real')
  call check(kinds(5) == 3 .and. texts(5) == 'SIEVE', 'TKEQSR text result')
  call tkeqcr('T-101', quantity, purchased, installed, izero)
  call check(quantity == 1 .and. purchased == 250000.0d0 .and. installed == 410000.0d0 .and. izero == 0, &
             'TKEQCR headlines of T-101')
  call tkeqcr('NO-SUCH', quantity, purchased, installed, izero)
  call check(quantity == 0 .and. purchased == rglb(1) .and. installed == rglb(1), 'TKEQCR of an unknown item')

  call unload(ierr)
  call finish('fortran_equipment')

end program fortran_equipment
