! A Fortran caller listing the blocks and streams of the example flowsheet
! through plain CALL statements: counts from TKGLOB, whole lists with TKBIDS
! and TKSIDS, positions with TKNBLK and TKNSTR, a lookup with TKVBLK and an
! iteration with TKNITM. Any wrong answer stops with a non-zero status.
program fortran_objects
  use flowsum
  use fortran_checks
  implicit none
  integer*8 :: iglob(21)
  common /tkglob/ iglob

  integer*8 :: ierr, nblk, nstr, k, i, mode, ipos, n, nfound
  character(len=128) :: bids(10), sids(10), id, arg3, arg4
  character(len=12) :: btypes(10), stypes(10), typ
  character(len=8) :: model
  character(len=8), parameter :: blocks(4) = (/ 'M1      ', 'H1      ', 'F1      ', 'C1      ' /)
  character(len=12), parameter :: models(4) = (/ 'MIXER       ', 'TEMPCHG     ', 'FLASH       ', &
                                                 'TRAYCOL     ' /)
  character(len=8), parameter :: streams(8) = (/ 'FEED1   ', 'FEED2   ', 'S1      ', 'S2      ', &
                                                 'VAP     ', 'LIQ     ', 'DIST    ', 'BOTT    ' /)

  call load_summary(trim(example_file()), ierr)
  call check(ierr == 0, 'TKINI2 loads the example')

  nblk = iglob(4)
  nstr = iglob(5)
  call check(nblk == 8, 'eight blocks (TKGLOB word 4)')
  call check(nstr == 8, 'eight streams (TKGLOB word 5)')

  ! Whole lists.
  call tkbids(nblk, bids, btypes, ierr)
  call check(ierr == 0, 'TKBIDS ends with flag 0')
  do i = 1, 4
    nfound = 0
    do k = 1, nblk
      if (bids(k) == blocks(i)) then
        nfound = nfound + 1
        call check(btypes(k) == models(i), 'model of block ' // trim(blocks(i)))
      end if
    end do
    call check(nfound == 1, 'block ' // trim(blocks(i)) // ' listed once')
  end do
  call tksids(nstr, sids, stypes, ierr)
  call check(ierr == 0, 'TKSIDS ends with flag 0')
  do i = 1, 8
    nfound = 0
    do k = 1, nstr
      if (sids(k) == streams(i)) nfound = nfound + 1
    end do
    call check(nfound == 1, 'stream ' // trim(streams(i)) // ' listed once')
  end do
  do k = 1, nstr
    call check(stypes(k) == 'MATERIAL', 'stream type MATERIAL')
  end do

  ! One position at a time: the same order as the lists, blank past the end.
  do k = 1, nblk
    n = k
    call tknblk(n, id, typ, ierr)
    call check(ierr == 0 .and. id == bids(k) .and. typ == btypes(k), 'TKNBLK agrees with TKBIDS')
  end do
  n = nblk + 1
  call tknblk(n, id, typ, ierr)
  call check(ierr == 0 .and. id == ' ' .and. typ == ' ', 'TKNBLK past the end is blank')
  n = 0
  call tknstr(n, id, typ, ierr)
  call check(n == 1 .and. id == sids(1), 'TKNSTR with position 0 answers for position 1')
  n = 0
  do
    k = n + 1
    call tknstr(k, id, typ, ierr)
    if (id == ' ') exit
    n = n + 1
    call check(id == sids(n), 'TKNSTR agrees with TKSIDS')
    if (n > 100) exit
  end do
  call check(n == nstr, 'walking the streams ends after the last one')

  ! Lookup of a block's model.
  call tkvblk('F1', model, ierr)
  call check(ierr == 0 .and. model == 'FLASH', 'TKVBLK finds F1 of model FLASH')
  call tkvblk('NOSUCH', model, ierr)
  call check(ierr == 1, 'TKVBLK of an unknown block gives 1')

  ! Iterating over the blocks in the tree's order.
  mode = 1
  n = 0
  do
    arg3 = ' '
    arg4 = ' '
    call tknitm('BLK_ANY', mode, arg3, arg4, ipos)
    mode = 0
    if (ipos <= 0) exit
    n = n + 1
    if (n <= 4) then
      call check(arg4 == blocks(n) .and. arg3 == models(n), 'TKNITM returns the blocks in file order')
    end if
    if (n > 10) exit
  end do
  call check(n == 8 .and. ipos == 0, 'TKNITM ends after eight blocks')

  call tkneq(n)
  call check(n == 2, 'two equipment items')
  call tknprs(n)
  call check(n == 1, 'one pressure-relief object')

  call unload(ierr)
  call finish('fortran_objects')

end program fortran_objects
