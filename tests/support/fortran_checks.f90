! Shared by the Fortran test programs: a tally of checks, and the load and
! unload of a summary file with the reference files of the folder given first.
module fortran_checks
  use flowsum
  implicit none
  integer*8, save :: nfail = 0, ntotal = 0
  integer*8, parameter :: isum = 40, iscr = 41, iprp = 42, iunt = 43

contains

  subroutine check(ok, what)
    logical, intent(in) :: ok
    character(len=*), intent(in) :: what
    ntotal = ntotal + 1
    if (.not. ok) then
      nfail = nfail + 1
      write (*, '(a,a)') 'FAILED: ', what
    end if
  end subroutine check

  function data_dir() result(dir)
    character(len=512) :: dir
    dir = '.'
    if (command_argument_count() >= 1) call get_command_argument(1, dir)
  end function data_dir

  function example_file() result(path)
    character(len=512) :: path
    path = trim(data_dir()) // '/../examples/flowsheet.sum'
  end function example_file

  ! Opens sumfile and loads it in SI units, missing values 1.0D35.
  subroutine load_summary(sumfile, ierr)
    character(len=*), intent(in) :: sumfile
    integer*8, intent(out) :: ierr
    integer*8 :: u(6)
    real*8 :: rmiss
    u = (/ isum, iscr, iprp, iunt, 0_8, 0_8 /)  ! units, record length, message unit
    rmiss = 1.0d35
    call tkopen(u(1), sumfile, 'SEQUENTIAL', 'FORMATTED', u(5), 'OLD', 'READ', ierr)
    call check(ierr == 0, 'TKOPEN of ' // sumfile)
    call tkini2('SI', u(2), u(1), u(3), trim(data_dir()) // '/RCPROPNU.DAT', u(4), &
                trim(data_dir()) // '/RCUNITS.DAT', rmiss, ierr, u(6))
  end subroutine load_summary

  subroutine unload(ierr)
    integer*8, intent(out) :: ierr
    integer*8 :: u(4)
    u = (/ isum, iscr, iprp, iunt /)
    call tkclos(u(1), u(2), u(3), u(4))
    call tkclfl(u(1), ierr)
  end subroutine unload

  subroutine finish(name)
    character(len=*), intent(in) :: name
    write (*, '(a,a,i0,a,i0,a)') name, ': ', ntotal - nfail, ' passed, ', nfail, ' failed'
    if (nfail /= 0) stop 1
  end subroutine finish

end module fortran_checks
