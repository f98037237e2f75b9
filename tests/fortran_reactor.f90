! Reactor profiles called from Fortran: the example plug-flow reactor's
! sizes (TKRPRF) and temperature along its length (TKRPR1).
program fortran_reactor
  use fortran_checks
  implicit none
  integer*8 :: ierr, iprof, npoint, ncomp, nprop
  real*8 :: temps(6)
  character(len=12) :: qname
  character(len=16) :: label
  character(len=8) :: ssid

  call load_summary(example_file(), ierr)
  iprof = 1
  call tkrprf('R1', iprof, ssid, npoint, ncomp, nprop)
  call check(ierr == 0 .and. ssid == 'MIXED' .and. npoint == 5 .and. ncomp == 5 .and. nprop == 3, 'TKRPRF sizes')
  temps = -1.0d0
  npoint = 6
  call tkrpr1('R1', 'TEMP', 'MIXED', npoint, temps, qname, label, ierr)
  call check(ierr == 0 .and. label == 'K' .and. abs(temps(5) - 660.0d0) < 1.0d-9 .and. temps(6) == -1.0d0, &
             'TKRPR1 TEMP in K, nothing past the five stored points')
  call unload(ierr)
  call finish('fortran_reactor')
end program fortran_reactor
