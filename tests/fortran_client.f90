! A Fortran caller of the library: plain CALL statements with INTEGER*8,
! REAL*8 and CHARACTER arguments (scalars and arrays, with their hidden
! lengths) and the COMMON blocks, as a user's program would write them. It
! loads the bundled example and checks one answer of each kind of argument;
! any wrong answer stops with status 1.
program fortran_client
  use flowsum
  use fortran_checks
  implicit none
  integer*8 :: iglob(21), ilocs(27), iwork(2000000)
  real*8 :: rglb(4)
  common /tkglob/ iglob
  common /tklocs/ ilocs
  common /tkwork/ iwork
  common /tkrglb/ rglb

  integer*8 :: ierr, itype
  integer*8 :: n, k, nsub, nrows, idum, nin, nout, icomp, iflags(6), nppt, ninfo
  real*8 :: value, result, values(40), flows(5), tvalues(10)
  character(len=128) :: ids(4), src, dst, bids(10)
  character(len=64) :: rows(40), title
  character(len=80) :: stat1, stat2
  character(len=20) :: version
  character(len=16) :: label, labels(40), tlabels(10), ins(2), outs_ids(2)
  character(len=12) :: unames(40), tnames(10), btypes(10), types(2), intypes(2), outtypes(2)
  character(len=8) :: runid, comps(5)

  ! The example: the COMMON blocks, run information, objects, streams,
  ! connections and a conversion.
  call load_summary(trim(example_file()), ierr)
  call check(ierr == 0, 'TKINI2 loads the example file')
  call check(iglob(11) == iscr .and. iglob(14) == 4, 'TKGLOB: scratch unit, 4 characters a word')
  call check(rglb(1) == 1.0d35 .and. rglb(2) == 101325.0d0, 'TKRGLB: missing value, ambient pressure')
  call check(ilocs(4) == 96 .and. ilocs(6) == 63, 'TKLOCS: the example has 96 identifier sets, 63 sequences')
  itype = 22
  k = 2
  value = 212.0d0
  call tkucnv(itype, k, value, result, label)
  call check(abs(result - 373.15d0) < 1.0d-9 .and. label == 'K', 'TKUCNV 212 F is 373.15 K')
  n = 2
  types = (/ character(len=12) :: 'TEMPERATURE', 'PRESSURE' /)
  labels(1:2) = 'unchanged'
  call tklabl(n, types, labels)
  call check(labels(1) == 'K' .and. labels(2) == 'PA', 'TKLABL gives the SI labels')
  call tktitl(title)
  call check(title == 'FLOWSUM EXAMPLE: MIXER, HEATER, FLASH, COLUMN', 'TKTITL')
  call tkinfo(version, runid, stat1, stat2, icomp, iflags, n, k, nppt, ninfo)
  call check(version == '12.1' .and. runid == 'EXAMPLE1' .and. stat2 == 'ALL BLOCKS CONVERGED', 'TKINFO texts')
  call check(icomp == 0 .and. all(iflags == 0) .and. n == iglob(4) .and. k == iglob(5), 'TKINFO codes and counts')
  n = iglob(4)
  call tkbids(n, bids, btypes, ierr)
  call check(ierr == 0 .and. n == 8 .and. count(bids(1:n) == 'F1') == 1, 'TKBIDS lists F1 once')
  ids(1) = 'FEED1'
  src = '#'
  call tksinf(ids(1), src, dst, nsub, nrows, idum)
  call check(nsub == 1 .and. nrows == 16 .and. src == ' ' .and. dst == 'M1', 'TKSINF of FEED1')
  call tkstrm(ids(1), idum, rows, values, unames, labels, n)
  call check(rows(7)(33:48) == 'WATER' .and. abs(values(1) - 300.0d0) < 1.0d-9 .and. labels(1) == 'K', &
             'TKSTRM of FEED1')
  n = 5
  call tksubs(ids(1), 'MIXED', 'MASS-FLOW', n, comps, flows, label, idum, tnames, tvalues, tlabels)
  call check(comps(2) == 'METHANE' .and. label == 'KG/SEC' .and. abs(flows(2) - 0.02d0 * 16.043d0) < 1.0d-12, &
             'TKSUBS mass flows derived from mole flows')
  nin = 2
  nout = 2
  call tkcnct('F1', nin, nout, ins, intypes, outs_ids, outtypes, ierr)
  call check(ierr == 0 .and. ins(1) == 'S2' .and. outs_ids(2) == 'LIQ' .and. outtypes(2) == 'MATERIAL', 'TKCNCT')
  call unload(ierr)
  call finish('fortran_client')
end program fortran_client
