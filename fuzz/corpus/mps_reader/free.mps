NAME TEST
OBJSENSE MAX
ROWS
 N obj
 E e
 L l
 G g
 N other
COLUMNS
 x obj 1 e 1
 x l 2 other 5
 y g -1
RHS
 RHS obj 2.5 e 4
 RHS l 6 g -3
RANGES
 RNG e -2 l 4
 RNG g 1
BOUNDS
 UP BND x -1
 LO BND y -5
 UP BND y 5
 FR BND z
ENDATA
