NAME INT
ROWS
 N obj
 L r
 G s
COLUMNS
 M0 'MARKER' 'INTORG'
 a obj 1 r 1
 b obj 2 s 1
 M1 'MARKER' 'INTEND'
 c r 1 s -1
 d obj -1 r 2
RHS
 RHS r 7 s 1
BOUNDS
 UP BND b 4
 BV BND c
 LI BND d -2
 UI BND d 9
ENDATA
