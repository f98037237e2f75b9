! A Fortran caller reading the heating curve of the example's heater H1
! through plain CALL statements: count, list, size, the standard values and
! the one further property, by position and by its qualifiers.
program fortran_heating_curve
  use fortran_checks
  implicit none
  integer*8 :: ierr, n, num(2), npts, nfur, k
  character(len=16) :: types(2)
  character(len=12) :: pname, qname
  character(len=8) :: sub, phase, comp
  character(len=4) :: basis, fbasis
  character(len=16) :: label
  real*8 :: stat(5), temp(5), pres(5), vfrac(5), duty(5), flow(5), flow2(5)

  call load_summary(trim(example_file()), ierr)
  call check(ierr == 0, 'TKINI2 loads the example file')

  call tknhcv('H1', n)
  call check(n == 1, 'TKNHCV: the heater has one curve')
  n = 1
  types = '#'
  num = -1
  call tklhcv('H1', n, types, num, ierr)
  call check(ierr == 0 .and. types(1) == 'HCURVE' .and. num(1) == 1 .and. num(2) == -1, 'TKLHCV lists HCURVE 1')

  call tkshcv('H1', 'HCURVE', 1_8, npts, nfur)
  call check(npts == 5 .and. nfur == 1, 'TKSHCV: 5 points, 1 further property')
  call tkhcrv('H1', 'HCURVE', 1_8, npts, stat, temp, pres, vfrac, duty, ierr)
  call check(ierr == 0 .and. abs(temp(1) - 296.4d0) < 1d-9 .and. abs(temp(5) - 330d0) < 1d-9 .and. &
             abs(pres(1) - 3d6) < 1d-6 .and. abs(duty(5) - 83696d0) < 1d-6 .and. abs(vfrac(5) - 0.71d0) < 1d-12 &
             .and. all(stat == 0d0), 'TKHCRV gives the standard values in SI units')

  k = 1
  call tknhpr('H1', 'HCURVE', 1_8, npts, k, pname, sub, phase, comp, basis, fbasis, flow, qname, label, ierr)
  call check(ierr == 0 .and. pname == 'MASSFLMX' .and. sub == 'MIXED' .and. phase == 'LIQUID' .and. &
             abs(flow(1) - 0.38d0) < 1d-12 .and. abs(flow(5) - 0.29d0) < 1d-12 .and. label == 'KG/SEC', &
             'TKNHPR gives the further property')
  call tkhprp('H1', 'HCURVE', 1_8, npts, pname, sub, phase, comp, basis, fbasis, flow2, qname, label, ierr)
  call check(ierr == 0 .and. all(flow2 == flow), 'TKHPRP finds it again by its qualifiers')

  call unload(ierr)
  call finish('fortran_heating_curve')

end program fortran_heating_curve
