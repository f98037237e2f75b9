! Load a summary file from Fortran and print what the loader indexed.
!
!   load_summary_f90 SUMMARY-FILE DATA-FOLDER
!
! Plain CALL statements with INTEGER*8, REAL*8 and CHARACTER arguments;
! gfortran passes the text lengths itself.
program load_summary
  use flowsum
  implicit none
  integer*8 :: ilocs(27)
  common /tklocs/ ilocs
  integer*8 :: isum, iscr, iprp, iunt, recl, ierr
  real*8 :: rmiss
  character(len=4096) :: sumfile, datadir

  if (command_argument_count() < 2) then
     write (*, '(a)') 'usage: load_summary_f90 SUMMARY-FILE DATA-FOLDER'
     stop 2
  end if
  call get_command_argument(1, sumfile)
  call get_command_argument(2, datadir)

  isum = 10
  iscr = 11
  iprp = 12
  iunt = 13
  recl = 0
  rmiss = 1.0d35
  call tkopen(isum, trim(sumfile), 'SEQUENTIAL', 'FORMATTED', recl, 'OLD', 'READ', ierr)
  if (ierr /= 0) then
     write (*, '(a,i0)') 'cannot open the summary file, status ', ierr
     stop 1
  end if
  call tkinit('SI', iscr, isum, iprp, trim(datadir) // '/RCPROPNU.DAT', iunt, &
              trim(datadir) // '/RCUNITS.DAT', rmiss, ierr)
  write (*, '(a,i0)') 'load status ', ierr
  if (ierr == 0) then
     write (*, '(a,i0,a,i0,a,i0)') 'property names ', ilocs(2), ', identifier sets ', &
          ilocs(4), ', loading sequences ', ilocs(6)
  end if
  call tkclos(isum, iscr, iprp, iunt)
  call tkclfl(isum, ierr)
end program load_summary
