! The yardstick for reading speed: a plain formatted READ of the cards of a one-hour-depth deck
! (card A, the B2 storms up to a blank line, then C, D and D1 cards up to the end card "E"),
! with the same field layouts as tovandeck's readers. Prints the number of catchments and a sum
! of the values read, so that no read can be left out by the compiler.
program read_deck
    implicit none
    character(len=4096) :: path
    character(len=256) :: line
    character(len=72) :: title
    character(len=60) :: description
    character(len=10) :: storm_id
    character(len=6) :: catchment_id
    character(len=1) :: blank
    integer :: status, option, storm, period, print_option, rational, first_storm, last_storm
    integer :: catchment, use_d1, dcia_level, catchments
    real :: depth, factors(4), duration, d(14), d1(8)
    double precision :: total

    call get_command_argument(1, path)
    open (unit=10, file=trim(path), status='old', action='read', iostat=status)
    if (status /= 0) stop 2
    total = 0
    catchments = 0

    call next_line(status)
    read (line, '(A1,I1,A72)') blank, option, title
    if (option == 2) then
        do
            call next_line(status)
            if (status /= 0 .or. len_trim(line) == 0) exit
            read (line, '(I2,A10,I3,F5.2,44X,4F4.2)') storm, storm_id, period, depth, factors
            total = total + depth + sum(factors)
        end do
    end if

    do
        call next_line(status)
        if (status /= 0) exit
        if (len_trim(line) == 0) cycle
        if (line(1:1) == 'E') exit
        read (line, '(A1,I1,I1,I2,I2,F3.1,A6,I3,A60)') blank, print_option, rational, &
            first_storm, last_storm, duration, catchment_id, catchment, description
        call next_line(status)
        if (status /= 0) exit
        read (line, '(12F5.0,I1,3X,I1,2F5.0)') d(1:12), use_d1, dcia_level, d(13:14)
        total = total + sum(d) + duration + catchment
        if (use_d1 == 1) then
            call next_line(status)
            if (status /= 0) exit
            read (line, '(8F5.0)') d1
            total = total + sum(d1)
        end if
        catchments = catchments + 1
    end do
    print '(I0,1X,F0.3)', catchments, total

contains

    ! The next line of the deck, without the carriage return of a CR LF line end.
    subroutine next_line(status)
        integer, intent(out) :: status
        integer :: length
        read (10, '(A)', iostat=status) line
        if (status /= 0) return
        length = len_trim(line)
        if (length > 0) then
            if (line(length:length) == achar(13)) line(length:length) = ' '
        end if
    end subroutine next_line

end program read_deck
