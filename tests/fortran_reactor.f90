! Reactor profiles called from Fortran: the example plug-flow reactor's
! temperature along its length (TKRPR1) and its mole fractions (TKRPR2).
program fortran_reactor
  use fortran_checks
  implicit none
  integer*8 :: ierr, nsub, iprof, npoint, ncomp, nprop, ld, kinds(3), t
  real*8 :: temps(5), x(5, 5)
  character(len=12) :: names(3), qname
  character(len=16) :: label
  character(len=8) :: ssid, comps(5)

  call load_summary(example_file(), ierr)
  call check(ierr == 0, 'the example loads')
  call tkrsub('R1', nsub)
  iprof = 1
  call tkrprf('R1', iprof, ssid, npoint, ncomp, nprop)
  call check(nsub == 1 .and. ssid == 'MIXED' .and. npoint == 5 .and. ncomp == 5 .and. nprop == 3, &
             'TKRPRF: one MIXED profile of 5 points, 5 components, 3 properties')
  call tkrprp('R1', iprof, nprop, kinds, names, ierr)
  call check(ierr == 0 .and. names(1) == 'TEMP' .and. kinds(3) == 2 .and. names(3) == 'X', 'TKRPRP lists TEMP and X')
  call tkrpr1('R1', 'TEMP', 'MIXED', npoint, temps, qname, label, ierr)
  call check(ierr == 0 .and. label == 'K' .and. abs(temps(5) - 660.0d0) < 1.0d-9, 'TKRPR1 TEMP in K')
  ld = 5
  call tkrpr2('R1', 'X', iprof, ld, comps, npoint, x, qname, label, ierr)
  call check(ierr == 0 .and. comps(1) == 'WATER', 'TKRPR2 X: components in order')
  do t = 1, 5
    call check(abs(sum(x(:, t)) - 1.0d0) < 1.0d-9, 'each point sums to 1')
  end do
  call unload(ierr)
  call finish('fortran_reactor')
end program fortran_reactor
