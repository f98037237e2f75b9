! A Fortran caller reading the run information of the example summary file
! through plain CALL statements: title, run summary, account fields, the
! alias count, and one data set found by its path.
program fortran_run_info
  implicit none
  integer*8 :: iglob(21), ilocs(27)
  common /tkglob/ iglob
  common /tklocs/ ilocs

  integer*8 :: isum, iscr, iprp, iunt, recl, ierr, msgu, nfail, ntotal
  integer*8 :: icomp, iflags(6), nblk, nstr, nppt, ninfo, nals, idum, nfree
  integer*8 :: nid, nqual, ndata, locq, locd
  real*8 :: rmiss
  character(len=64) :: title
  character(len=20) :: version, f348
  character(len=8) :: runid, f222, f347, qual, names(2)
  character(len=12) :: aliases(2)
  character(len=80) :: stat1, stat2
  character(len=32) :: f355
  character(len=128) :: ids(2)
  character(len=512) :: datadir, prpfile, untfile, sumfile

  nfail = 0
  ntotal = 0
  ! The first argument is the folder of the reference files; the example
  ! file lies in the examples folder beside it.
  datadir = '.'
  if (command_argument_count() >= 1) call get_command_argument(1, datadir)
  prpfile = trim(datadir) // '/RCPROPNU.DAT'
  untfile = trim(datadir) // '/RCUNITS.DAT'
  sumfile = trim(datadir) // '/../examples/flowsheet.sum'

  isum = 30
  iscr = 31
  iprp = 32
  iunt = 33
  recl = 0
  msgu = 0
  rmiss = 1.0d35
  call tkopen(isum, trim(sumfile), 'SEQUENTIAL', 'FORMATTED', recl, 'OLD', 'READ', ierr)
  call check(ierr == 0, 'TKOPEN of the example file')
  call tkini2('SI', iscr, isum, iprp, trim(prpfile), iunt, trim(untfile), rmiss, ierr, msgu)
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

  call tkclos(isum, iscr, iprp, iunt)
  call tkclfl(isum, ierr)

  print '(I0, A, I0, A)', ntotal - nfail, ' passed, ', nfail, ' failed'
  if (nfail > 0) stop 1

contains

  subroutine check(ok, what)
    logical, intent(in) :: ok
    character(len=*), intent(in) :: what
    ntotal = ntotal + 1
    if (.not. ok) then
      nfail = nfail + 1
      print '(A, A)', 'FAILED: ', what
    end if
  end subroutine check

end program fortran_run_info
