! The example's equipment read by a Fortran caller through plain CALL
! statements, one family after another.
program fortran_families
  use fortran_checks
  implicit none
  integer*8 :: ierr, n, num(2), npts, nfur, k, icol, ntray, ncomp, nprop, ld, iprof, npoint, idum
  integer*8 :: nres, nstage, kinds(8), ivals(8), quantity, izero
  real*8 :: stat(5), temp(5), pres(5), vfrac(5), duty(5), flow(5), temps(10), x(5, 10), flows(3), rtemps(6)
  real*8 :: lengths(4), ptemps(4), perf(3, 3), reals(8), purchased, installed
  character(len=16) :: types(2), label, ulabels(9), labels(8)
  character(len=12) :: pname, qname, pnames(3), utypes(9), names(8), texts(8), qnames(8)
  character(len=8) :: sub, phase, comp, comps(5), ssid
  character(len=4) :: basis, fbasis

  call load_summary(trim(example_file()), ierr)
  call check(ierr == 0, 'TKINI2 loads the example file')

  ! Heating curve of H1: list, size, the standard values, the further property.
  call tknhcv('H1', n)
  call tklhcv('H1', n, types, num, ierr)
  call tkshcv('H1', 'HCURVE', 1_8, npts, nfur)
  call tkhcrv('H1', 'HCURVE', 1_8, npts, stat, temp, pres, vfrac, duty, ierr)
  call check(ierr == 0 .and. n == 1 .and. types(1) == 'HCURVE' .and. num(1) == 1 .and. npts == 5 .and. nfur == 1 &
             .and. abs(temp(5) - 330d0) < 1d-9 .and. abs(pres(1) - 3d6) < 1d-6 .and. abs(duty(5) - 83696d0) < 1d-6, &
             'TKLHCV and TKHCRV read HCURVE 1 in SI units')
  k = 1
  call tknhpr('H1', 'HCURVE', 1_8, npts, k, pname, sub, phase, comp, basis, fbasis, flow, qname, label, ierr)
  call check(ierr == 0 .and. pname == 'MASSFLMX' .and. phase == 'LIQUID' .and. abs(flow(5) - 0.29d0) < 1d-12 &
             .and. label == 'KG/SEC', 'TKNHPR gives the further property')

  ! Column C1: temperature profile and the liquid composition into a 2-D array.
  icol = 1
  call tkprof('C1', icol, ntray, ncomp, nprop)
  call tkpro1('C1', 'TEMP', icol, ntray, temps, qname, label, ierr)
  call check(ierr == 0 .and. ntray == 10 .and. ncomp == 5 .and. nprop == 5 .and. label == 'K' .and. &
             all(temps(2:10) > temps(1:9)), 'TKPROF sizes, TKPRO1: temperatures in K rise')
  ld = 5
  call tkpro2('C1', 'X', icol, ld, comps, ntray, x, qname, label, ierr)
  call check(ierr == 0 .and. comps(5) == 'NBUTANE' .and. abs(x(1, 1) - 0.2d0) < 1.0d-12 .and. &
             all(abs(sum(x, dim=1) - 1.0d0) < 1.0d-5), 'TKPRO2 X: components in order, each tray sums to 1')

  ! Stripper 2 (column 3) of the crude unit U1: its liquid mass flow.
  icol = 3
  flows = -1.0d0
  call tkpetf('U1', icol, ntray, ncomp, nprop)
  call tkpet1('U1', 'HYD_LMF', icol, ntray, flows, qname, label, ierr)
  call check(ierr == 0 .and. ntray == 2 .and. nprop == 1 .and. qname == 'MASS-FLOW' .and. label == 'KG/SEC' .and. &
             all(abs(flows(1:2) - (/ 3.4d0, 2.9d0 /)) < 1.0d-12) .and. flows(3) == -1.0d0, 'TKPETF and TKPET1 HYD_LMF')

  ! Plug-flow reactor R1: sizes and the temperature along its length.
  iprof = 1
  rtemps = -1.0d0
  call tkrprf('R1', iprof, ssid, npoint, ncomp, nprop)
  call check(ssid == 'MIXED' .and. npoint == 5 .and. ncomp == 5 .and. nprop == 3, 'TKRPRF sizes')
  npoint = 6
  call tkrpr1('R1', 'TEMP', 'MIXED', npoint, rtemps, qname, label, ierr)
  call check(ierr == 0 .and. label == 'K' .and. abs(rtemps(5) - 660.0d0) < 1.0d-9 .and. rtemps(6) == -1.0d0, &
             'TKRPR1 TEMP in K, nothing past the five stored points')

  ! Pipeline L1: size, property names, positions and temperatures.
  idum = 0
  call tkpisp('L1', npoint, nprop)
  call tkpinp('L1', idum, pnames, ierr)
  call check(ierr == 0 .and. npoint == 4 .and. nprop == 2 .and. pnames(1) == 'TEMP' .and. pnames(2) == 'PRES', &
             'TKPISP and TKPINP: 4 points of TEMP and PRES')
  call tkpipr('L1', npoint, 'LENGTH', lengths, qname, label, ierr)
  call tkpipr('L1', npoint, 'TEMP', ptemps, qname, label, ierr)
  call check(ierr == 0 .and. lengths(4) == 150.0d0 .and. label == 'K' .and. abs(ptemps(4) - 314.5d0) < 1.0d-9, &
             'TKPIPR LENGTH and TEMP')

  ! Compressor K1: three results at three stages, the results varying fastest.
  call tknper('K1', nres, nstage)
  call tkperf('K1', nres, nstage, pnames, perf, utypes, ulabels, ierr)
  call check(ierr == 0 .and. nres == 3 .and. nstage == 3 .and. pnames(3) == 'ISEN-EFF' .and. &
             perf(1, 3) == 199000.0d0 .and. ulabels(7) == 'W' .and. perf(3, 1) == 0.78d0, 'TKPERF reads K1')

  ! Costs of the tray tower T-101: its list, then the headlines.
  call tkneqs('T-101', n, ierr)
  call tkeqsr('T-101', n, names, kinds, ivals, texts, reals, qnames, labels, ierr)
  call tkeqcr('T-101', quantity, purchased, installed, izero)
  call check(ierr == 0 .and. n == 5 .and. names(2) == 'PURCH-COST' .and. kinds(2) == 2 .and. reals(2) == 250000.0d0 &
             .and. texts(5) == 'SIEVE' .and. quantity == 1 .and. installed == 410000.0d0 .and. izero == 0, &
             'TKEQSR and TKEQCR read the costs of T-101')
  call unload(ierr)
  call finish('fortran_families')
end program fortran_families
