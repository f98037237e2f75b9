! A Fortran caller of the library: plain CALL statements with INTEGER*8,
! REAL*8 and CHARACTER arguments (scalars and arrays, with their hidden
! lengths) and the COMMON blocks, as a user's program would write them. It
! loads a small file of its own, then the bundled example, and checks one
! answer of each kind of routine; any wrong answer stops with status 1.
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

  integer*8 :: ierr, mode, nids, idata, ipos, nused, itype, ival, nchar, nword, words(4), variant
  integer*8 :: unitmode, flag, n, k, nsub, nrows, idum, nin, nout, icomp, iflags(6), nppt, ninfo
  integer*8 :: nqual, ndata, locq, locd, nfree
  real*8 :: rval, posn, value, result, vals(2), outs(2), values(40), flows(5), tvalues(10)
  character(len=128) :: ids(4), text, src, dst, bids(10), arg3, arg4
  character(len=64) :: rows(40), title
  character(len=80) :: stat1, stat2
  character(len=32) :: f355
  character(len=20) :: version, f348
  character(len=16) :: tok, label, labels(40), tlabels(10), ins(2), outs_ids(2)
  character(len=12) :: unames(40), tnames(10), btypes(10), types(2), intypes(2), outtypes(2), aliases(2)
  character(len=8) :: qual, runid, f222, f347, model, comps(5), names(2)
  character(len=*), parameter :: path = 'fortran_client_test.sum'

  call write_file(path)
  call load_summary(path, ierr)
  call check(ierr == 0, 'TKINI2 loads the file')
  call check(iglob(11) == iscr .and. iglob(14) == 4, 'TKGLOB: scratch unit, 4 characters a word')
  call check(rglb(1) == 1.0d35 .and. rglb(2) == 101325.0d0, 'TKRGLB: missing value, ambient without PAMB')
  call check(ilocs(4) == 1 .and. ilocs(6) == 2, 'one identifier set, two loading sequences')
  call check(ilocs(25) > ilocs(7) + ilocs(8) - 1, 'free pointer above the tree')

  ! The exported tree routine, given the tree as the work-area element where it starts.
  mode = 1
  nids = 4
  ids(1) = 'BLOCK'
  ids(2) = 'HEATER'
  ids(3) = 'B1'
  ids(4) = 'RESULTS'
  qual = ' '
  idata = 0
  nused = ilocs(8)
  call tkdtre(mode, nids, ids, qual, idata, iwork(ilocs(7)), nused, ipos, ierr)
  call check(ierr == 0 .and. idata == 9 .and. qual == 'BRES', 'TKDTRE finds B1 RESULTS on line 9')

  nchar = 10
  call tkcins(nchar, 'PROPERTIES', nword, words)
  text = ' '
  call tkinsc(nword, words, 4*nword, text)
  call check(nword == 3 .and. text == 'PROPERTIES', 'TKCINS and TKINSC')

  variant = 1
  unitmode = 3
  posn = 1.0d0 + 1.0d0/256.0d0
  call tktoki(variant, unitmode, posn, 'RUN-STATUS 1.5E+02 <25>')
  call tktokn(itype, ival, rval, tok)
  call check(itype == 14 .and. tok == 'RUN-STATUS', 'first token is a name')
  call tktokn(itype, ival, rval, tok)
  call check(itype == 3 .and. rval == 150.0d0 .and. ival == 150, 'second token is a real')
  call tktokn(itype, ival, rval, tok)
  call check(itype == 8 .and. ival == 25, 'third token is a bracketed integer')
  flag = 1
  call tktoks(flag)

  ! Conversions, the target units and labels, from the SI set.
  itype = 22
  k = 2
  value = 212.0d0
  call tkucnv(itype, k, value, result, label)
  call check(abs(result - 373.15d0) < 1.0d-9 .and. label == 'K', 'TKUCNV 212 F is 373.15 K')
  n = 1
  types(1) = 'TEMPERATURE'
  labels(1) = 'C'
  call tkunit('ENG', n, types, labels, ierr)
  call check(ierr == 0, 'TKUNIT ENG with one override')
  types(2) = 'PRESSURE'
  labels(1:2) = 'unchanged'
  n = 2
  call tklabl(n, types, labels)
  call check(labels(1) == 'C' .and. labels(2) == 'PSIA', 'TKLABL gives C and PSIA')
  vals = (/ 0.0d0, 100.0d0 /)
  call tkcnvt('TEMPERATURE', 'F', n, vals, outs)
  call check(abs(outs(1) - 32.0d0) < 1.0d-9 .and. abs(outs(2) - 212.0d0) < 1.0d-9, 'TKCNVT C into F')
  itype = 40
  value = 1.0d0
  call tkrcnv(itype, k, 'KJ/KG', value, result)
  call check(abs(result - 2.326d0) < 1.0d-12, 'TKRCNV 1 Btu/lb is 2.326 kJ/kg')

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

  ! The example: run information.
  call load_summary(trim(example_file()), ierr)
  call check(ierr == 0, 'TKINI2 loads the example file')
  nfree = ilocs(25)
  call tktitl(title)
  call check(title == 'FLOWSUM EXAMPLE: MIXER, HEATER, FLASH, COLUMN', 'TKTITL')
  call tkinfo(version, runid, stat1, stat2, icomp, iflags, n, k, nppt, ninfo)
  call check(version == '12.1' .and. runid == 'EXAMPLE1' .and. stat2 == 'ALL BLOCKS CONVERGED', 'TKINFO texts')
  call check(icomp == 0 .and. all(iflags == 0) .and. n == iglob(4) .and. k == iglob(5), 'TKINFO codes and counts')
  call tkacct(f222, f347, f355, f348, ierr)
  call check(ierr == 0 .and. f222 == 'ENGINEER' .and. f355 == 'FLOWSUM EXAMPLE PROJECT' &
             .and. f348 == 'PROCESS ENGINEERING', 'TKACCT')
  names = 'UNTOUCHD'
  idum = 0
  call tkalis(idum, names, aliases, ierr)
  call check(ierr == 1 .and. names(1) == 'UNTOUCHD', 'TKALIS without aliases leaves the arrays')
  nids = 2
  ids(1) = 'RUN-STATUS'
  ids(2) = 'RUNID'
  qual = ' '
  call tkdset(nids, ids, qual, nqual, ndata, locq, locd)
  call check(ndata == 1 .and. nqual == 1 .and. qual == 'RUNID', 'TKDSET finds RUN-STATUS RUNID')
  call check(ilocs(25) == nfree, 'the free-word pointer is as it was')

  ! Objects.
  n = iglob(4)
  call tkbids(n, bids, btypes, ierr)
  call check(ierr == 0 .and. n == 8 .and. count(bids(1:n) == 'F1') == 1, 'TKBIDS lists F1 once')
  k = n + 1
  call tknblk(k, bids(10), btypes(10), ierr)
  call check(ierr == 0 .and. bids(10) == ' ' .and. btypes(10) == ' ', 'TKNBLK past the end is blank')
  call tkvblk('F1', model, ierr)
  call check(ierr == 0 .and. model == 'FLASH', 'TKVBLK finds F1 of model FLASH')
  mode = 1
  k = 0
  do while (k < 10)
    call tknitm('BLK_ANY', mode, arg3, arg4, ipos)
    mode = 0
    if (ipos <= 0) exit
    k = k + 1
    if (k == 1) call check(arg4 == 'M1' .and. arg3 == 'MIXER', 'TKNITM starts with M1')
  end do
  call check(k == 8 .and. ipos == 0, 'TKNITM ends after eight blocks')

  ! Streams: FEED1's ends, main table and component flows; the flash's ports.
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

contains

  subroutine write_file(name)
    character(len=*), intent(in) :: name
    open (unit=30, file=name, status='replace', action='write')
    write (30, '(a)') ' IWPSUMMARY8.0'
    write (30, '(a)') ' PSET PROPS 2 101 TEMP 102 PRES )'
    write (30, '(a)') ' LSET BRES ( PROPERTIES ( 101 102 ) )'
    write (30, '(a)') ' LSET SMAIN ( PROPERTIES ( 101 ) )'
    write (30, '(a)') ' IDSET ID_NCC ( WATER METHANOL )'
    write (30, '(a)') ' DSET RUN-STATUS @SMAIN ('
    write (30, '(a)') '   0 )'
    write (30, '(a)') ' C a comment line between records'
    write (30, '(a)') ' DSET BLOCK HEATER B1 RES_MAIN @BRES ('
    write (30, '(a)') '   350.0 101325.0 )'
    write (30, '(a)') ' DSET STREAM MATERIAL S1 STR_MAIN @SMAIN ('
    write (30, '(a)') '   300.0 )'
    close (30)
  end subroutine write_file

end program fortran_client
