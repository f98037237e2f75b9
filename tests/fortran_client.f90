! A Fortran caller of the library: plain CALL statements with INTEGER*8,
! REAL*8 and CHARACTER arguments (scalars and arrays, with their hidden
! lengths) and the COMMON blocks, as a user's program would write them. It
! loads a small file of its own, then the bundled example, and checks one
! answer of each kind of argument; any wrong answer stops with status 1.
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
  character(len=*), parameter :: path = 'fortran_client_test.sum'

  open (unit=30, file=path, status='replace', action='write')
  write (30, '(a)') ' IWPSUMMARY8.0', ' PSET PROPS 2 101 TEMP 102 PRES )', &
    ' LSET BRES ( PROPERTIES ( 101 102 ) )', ' LSET SMAIN ( PROPERTIES ( 101 ) )', ' IDSET ID_NCC ( WATER METHANOL )', &
    ' DSET RUN-STATUS @SMAIN (', '   0 )', ' C a comment line between records', ' DSET BLOCK HEATER B1 RES_MAIN @BRES (', &
    '   350.0 101325.0 )', ' DSET STREAM MATERIAL S1 STR_MAIN @SMAIN (', '   300.0 )'
  close (30)
  call load_summary(path, ierr)
  call check(ierr == 0, 'TKINI2 loads the file')
  call check(iglob(11) == iscr .and. iglob(14) == 4, 'TKGLOB: scratch unit, 4 characters a word')
  call check(rglb(1) == 1.0d35 .and. rglb(2) == 101325.0d0, 'TKRGLB: missing value, ambient without PAMB')
  call check(ilocs(4) == 1 .and. ilocs(6) == 2, 'one identifier set, two loading sequences')

  ! A conversion into a unit of the caller's choice, with its label.
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
  call unload(ierr)
  call check(ierr == 0, 'TKCLFL closes the summary unit')

  ! A file without a header line fails with IERR 1.
  open (unit=30, file=path, status='replace', action='write')
  write (30, '(a)') 'NOT A SUMMARY FILE'
  close (30)
  call load_summary(path, ierr)
  call check(ierr == 1, 'a file without header gives IERR 1')
  call unload(ierr)
  open (unit=30, file=path, status='old')
  close (30, status='delete')

  ! The example: run information, objects, streams and connections.
  call load_summary(trim(example_file()), ierr)
  call check(ierr == 0, 'TKINI2 loads the example file')
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
