! Unit conversion called from Fortran: TKUCNV, TKUNIT, TKLABL, TKCNVT and
! TKRCNV with CHARACTER scalars and arrays (their hidden lengths) after a
! load with the project's reference files.
program fortran_units
  use flowsum
  use fortran_checks
  implicit none
  real*8 :: rglb(4)
  common /tkrglb/ rglb

  integer*8 :: ierr, itype, iunit, n
  real*8 :: value, result, vals(2), outs(2)
  character(len=16) :: label, labels(2)
  character(len=12) :: types(2)
  character(len=*), parameter :: path = 'fortran_units_test.sum'

  open (unit=30, file=path, status='replace', action='write')
  write (30, '(a)') ' IWPSUMMARY8.0'
  close (30)
  call load_summary(path, ierr)
  call check(ierr == 0, 'TKINI2 loads with the bundled reference files')
  call check(rglb(2) == 101325.0d0, 'ambient pressure of a run without PAMB')

  ! 212 F (unit 2 of temperature, type 22) in the SI set.
  itype = 22
  iunit = 2
  value = 212.0d0
  call tkucnv(itype, iunit, value, result, label)
  call check(abs(result - 373.15d0) < 1.0d-9 .and. label == 'K', 'TKUCNV 212 F is 373.15 K')

  ! The ENG set with temperatures in C.
  n = 1
  types(1) = 'TEMPERATURE'
  labels(1) = 'C'
  call tkunit('ENG', n, types, labels, ierr)
  call check(ierr == 0, 'TKUNIT ENG with one override')
  types(2) = 'PRESSURE'
  labels = 'unchanged'
  n = 2
  call tklabl(n, types, labels)
  call check(labels(1) == 'C' .and. labels(2) == 'PSIA', 'TKLABL gives C and PSIA')

  ! From the target unit (C) into F.
  vals(1) = 0.0d0
  vals(2) = 100.0d0
  call tkcnvt('TEMPERATURE', 'F', n, vals, outs)
  call check(abs(outs(1) - 32.0d0) < 1.0d-9 .and. abs(outs(2) - 212.0d0) < 1.0d-9, &
             'TKCNVT 0 and 100 C are 32 and 212 F')

  ! 1 Btu/lb (unit 2 of mass enthalpy, type 40) in kJ/kg.
  itype = 40
  iunit = 2
  value = 1.0d0
  call tkrcnv(itype, iunit, 'KJ/KG', value, result)
  call check(abs(result - 2.326d0) < 1.0d-12, 'TKRCNV 1 Btu/lb is 2.326 kJ/kg')

  call unload(ierr)
  open (unit=30, file=path, status='old')
  close (30, status='delete')
  call finish('fortran_units')

end program fortran_units
