! A Fortran caller reading the run information of the example summary file
! through plain CALL statements: title, run summary, account fields, the
! alias count, and one data set found by its path.
program fortran_run_info
  use flowsum
  use fortran_checks
  implicit none
  integer*8 :: iglob(21), ilocs(27)
  common /tkglob/ iglob
  common /tklocs/ ilocs

  integer*8 :: ierr
  integer*8 :: icomp, iflags(6), nblk, nstr, nppt, ninfo, nals, idum, nfree
  integer*8 :: nid, nqual, ndata, locq, locd
  character(len=64) :: title
  character(len=20) :: version, f348
  character(len=8) :: runid, f222, f347, qual, names(2)
  character(len=12) :: aliases(2)
  character(len=80) :: stat1, stat2
  character(len=32) :: f355
  character(len=128) :: ids(2)

  call load_summary(trim(example_file()), ierr)
  call check(ierr == 0, 'TKINI2 loads the example file')
  nfree = ilocs(25)

  call tktitl(title)
  call check(title == 'FLOWSUM EXAMPLE: MIXER, HEATER, FLASH, COLUMN', 'TKTITL gives the title')

  call tkinfo(version, runid, stat1, stat2, icomp, iflags, nblk, nstr, nppt, ninfo)
  call check(version == '12.1', 'TKINFO version')
  call check(runid == 'EXAMPLE1', 'TKINFO run identifier')
  call check(stat1 == 'RUN COMPLETED NORMALLY', 'TKINFO status text of item 117')
  call check(stat2 == 'ALL BLOCKS CONVERGED', 'TKINFO status text of item 119')
  call check(icomp == 0, 'TKINFO completion code')
  call check(all(iflags == 0), 'TKINFO status flags')
  call check(nblk == iglob(4) .and. nstr == iglob(5) .and. nppt == iglob(6), 'TKINFO counts')
  call check(ninfo == 0, 'TKINFO tenth output')

  call tkacct(f222, f347, f355, f348, ierr)
  call check(ierr == 0, 'TKACCT finds the account')
  call check(f222 == 'ENGINEER' .and. f347 == 'DEMO-01', 'TKACCT items 222 and 347')
  call check(f355 == 'FLOWSUM EXAMPLE PROJECT', 'TKACCT item 355')
  call check(f348 == 'PROCESS ENGINEERING', 'TKACCT item 348')

  call tknals(nals)
  call check(nals == 0, 'TKNALS: the example has no aliases')
  names = 'UNTOUCHD'
  idum = 0
  call tkalis(idum, names, aliases, ierr)
  call check(ierr == 1 .and. names(1) == 'UNTOUCHD', 'TKALIS leaves the arrays as they were')

  nid = 2
  ids(1) = 'RUN-STATUS'
  ids(2) = 'RUNID'
  qual = ' '
  call tkdset(nid, ids, qual, nqual, ndata, locq, locd)
  call check(ndata == 1 .and. nqual == 1, 'TKDSET finds RUN-STATUS RUNID')
  call check(qual == 'RUNID', 'TKDSET gives the qualifier found')
  call check(ilocs(25) == nfree, 'the free-word pointer is as it was')

  call unload(ierr)
  call finish('fortran_run_info')

end program fortran_run_info
