! A Fortran caller reading the heating curve of the example's heater H1
! through plain CALL statements: list, size, the standard values and the
! one further property.
program fortran_heating_curve
  use fortran_checks
  implicit none
  integer*8 :: ierr, n, num(2), npts, nfur, k
  character(len=16) :: types(2), label
  character(len=12) :: pname, qname
  character(len=8) :: sub, phase, comp
  character(len=4) :: basis, fbasis
  real*8 :: stat(5), temp(5), pres(5), vfrac(5), duty(5), flow(5)

  call load_summary(trim(example_file()), ierr)
  call check(ierr == 0, 'TKINI2 loads the example file')
  call tknhcv('H1', n)
  call tklhcv('H1', n, types, num, ierr)
  call check(ierr == 0 .and. n == 1 .and. types(1) == 'HCURVE' .and. num(1) == 1, 'TKLHCV lists HCURVE 1')
  call tkshcv('H1', 'HCURVE', 1_8, npts, nfur)
  call tkhcrv('H1', 'HCURVE', 1_8, npts, stat, temp, pres, vfrac, duty, ierr)
  call check(ierr == 0 .and. npts == 5 .and. nfur == 1 .and. abs(temp(5) - 330d0) < 1d-9 .and. &
             abs(pres(1) - 3d6) < 1d-6 .and. abs(duty(5) - 83696d0) < 1d-6, 'TKHCRV gives the values in SI units')
  k = 1
  call tknhpr('H1', 'HCURVE', 1_8, npts, k, pname, sub, phase, comp, basis, fbasis, flow, qname, label, ierr)
  call check(ierr == 0 .and. pname == 'MASSFLMX' .and. phase == 'LIQUID' .and. abs(flow(5) - 0.29d0) < 1d-12 &
             .and. label == 'KG/SEC', 'TKNHPR gives the further property')
  call unload(ierr)
  call finish('fortran_heating_curve')
end program fortran_heating_curve
