! A Fortran caller: INTEGER*8, REAL*8 and CHARACTER scalars and arrays with
! their hidden lengths, and the COMMON blocks, as a user's program writes
! them, on the bundled example; a wrong answer stops with status 1.
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

  integer*8 :: ierr, itype, n, k, idum, nin, nout
  real*8 :: value, result, flows(5), tvalues(10)
  character(len=128) :: ids(4), bids(10)
  character(len=16) :: label, tlabels(10), ins(2), outs_ids(2)
  character(len=12) :: tnames(10), btypes(10), intypes(2), outtypes(2)
  character(len=8) :: comps(5)

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
  n = iglob(4)
  call tkbids(n, bids, btypes, ierr)
  call check(ierr == 0 .and. n == 8 .and. count(bids(1:n) == 'F1') == 1, 'TKBIDS lists F1 once')
  ids(1) = 'FEED1'
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
