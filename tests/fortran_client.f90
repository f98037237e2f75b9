! A Fortran caller of the library: plain CALL statements with INTEGER*8,
! REAL*8 and CHARACTER arguments and the COMMON blocks, as a user's program
! would write them. It writes its own small summary file, loads it, and checks
! the answers; any wrong answer stops with a non-zero status.
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

  integer*8 :: ierr, mode, nids, idata, ipos, nused, itype, ival, nchar, nword
  integer*8 :: words(4), variant, unitmode, flag
  real*8 :: rval, posn
  character(len=128) :: ids(4), text
  character(len=8) :: qual
  character(len=*), parameter :: path = 'fortran_client_test.sum'
  character(len=16) :: tok

  call write_file(path)
  call load_summary(path, ierr)
  call check(ierr == 0, 'TKINI2 loads the file')
  call check(iglob(11) == iscr, 'TKGLOB word 11 is the scratch unit')
  call check(iglob(14) == 4, 'TKGLOB word 14 is 4 characters a word')
  call check(rglb(1) == 1.0d35, 'TKRGLB word 1 is the missing-value marker')
  call check(ilocs(2) >= 2, 'the file''s two property names and the reference ones')
  call check(ilocs(4) == 1, 'one identifier set')
  call check(ilocs(6) == 2, 'two loading sequences')
  call check(ilocs(25) > ilocs(7) + ilocs(8) - 1, 'free pointer above the tree')

  ! Find a data set in the tree through the exported tree routine, passing
  ! the tree as the work-area element where it starts.
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
  call check(ierr == 0, 'TKDTRE finds BLOCK HEATER B1 RESULTS')
  call check(idata == 9, 'its data set starts on line 9')
  call check(qual == 'BRES', 'its qualifier is BRES')

  ! Pack a text and read it back.
  nchar = 10
  call tkcins(nchar, 'PROPERTIES', nword, words)
  call check(nword == 3, 'TKCINS packs 10 characters in 3 words')
  text = ' '
  call tkinsc(nword, words, 4*nword, text)
  call check(text == 'PROPERTIES', 'TKINSC gives the text back')

  ! Scan a text in read mode 3.
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
