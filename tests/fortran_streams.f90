! A Fortran caller reading the example flowsheet's stream FEED1: its row
! count and source with TKSINF, its main table with TKSTRM, its component
! mole flows with TKSUBS (and mass flows derived from them), and the
! connections of the flash drum with TKCNCT. Any wrong answer stops with a
! non-zero status.
program fortran_streams
  use flowsum
  use fortran_checks
  implicit none
  integer*8 :: ierr, nsub, nrows, idum, n, i, nin, nout
  character(len=128) :: sid, src, dst
  character(len=64) :: rows(40)
  character(len=12) :: unames(40), tnames(10)
  character(len=16) :: labels(40), label, tlabels(10)
  character(len=8) :: comps(5)
  character(len=16) :: ins(2), outs(2)
  character(len=12) :: intypes(2), outtypes(2)
  double precision :: values(40), flows(5), mass(5), tvalues(10)
  double precision, parameter :: mw(5) = (/ 18.015d0, 16.043d0, 30.07d0, 44.097d0, 58.123d0 /)
  double precision, parameter :: feed1(5) = (/ 0.001d0, 0.02d0, 0.005d0, 0.003d0, 0.001d0 /)

  call load_summary(trim(example_file()), ierr)
  call check(ierr == 0, 'TKINI2 loads the example')

  sid = 'FEED1'
  src = '#'
  dst = '#'
  call tksinf(sid, src, dst, nsub, nrows, idum)
  call check(nsub == 1, 'FEED1 has one substream')
  call check(nrows == 16, 'FEED1 has 16 result rows')
  call check(src == ' ', 'FEED1 is a feed')
  call check(dst == 'M1', 'FEED1 goes to M1')

  call tkstrm(sid, idum, rows, values, unames, labels, n)
  call check(rows(1)(1:16) == 'TEMP' .and. rows(1)(17:32) == 'MIXED', 'first row is TEMP of MIXED')
  call check(abs(values(1) - 300.0d0) < 1.0d-9 .and. labels(1) == 'K', 'FEED1 at 300 K')
  call check(rows(7)(33:48) == 'WATER', 'first component row is WATER')

  n = 5
  call tksubs(sid, 'MIXED', 'MOLE-FLOW', n, comps, flows, label, idum, tnames, tvalues, tlabels)
  call check(comps(2) == 'METHANE', 'second component METHANE')
  call check(label == 'KMOL/SEC', 'mole flows in KMOL/SEC')
  do i = 1, 5
    call check(abs(flows(i) - feed1(i)) < 1.0d-12, 'stored mole flow')
  end do
  call tksubs(sid, 'MIXED', 'MASS-FLOW', n, comps, mass, label, idum, tnames, tvalues, tlabels)
  call check(label == 'KG/SEC', 'mass flows in KG/SEC')
  do i = 1, 5
    call check(abs(mass(i) - feed1(i) * mw(i)) < 1.0d-12, 'mass flow = mole flow x MW')
  end do

  nin = 2
  nout = 2
  call tkcnct('F1', nin, nout, ins, intypes, outs, outtypes, ierr)
  call check(ierr == 0, 'TKCNCT ends with flag 0')
  call check(ins(1) == 'S2' .and. outs(1) == 'VAP' .and. outs(2) == 'LIQ', 'flash connections')
  call check(outtypes(2) == 'MATERIAL', 'outlet type')

  print '(a)', 'fortran_streams: all checks passed'
end program fortran_streams
