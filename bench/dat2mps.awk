# Writes a Kvado data file (G E L N Eps, A row by row, C, B) as free MPS for other solvers:
# minimise C.X, rows R1..RM typed G/E/L in the file's order, columns X1..XN, X >= 0 (the MPS
# default, so no BOUNDS section). Numbers are copied as written, so nothing is rounded.
#
#   awk -f dat2mps.awk FILE.dat > FILE.mps
#
# MPS lists the matrix by columns and the data file by rows, so the nonzeros are kept in memory
# (about 75 bytes each in mawk: 220 MB for a dense 2000 x 2000 problem).
{
    gsub(/\r/, " ")   # data files are often written with CR LF line ends
    for (f = 1; f <= NF; f++) {
        t = $f
        k++
        if (k <= 5) {
            h[k] = t
            if (k == 5) { G = h[1]; E = h[2]; L = h[3]; N = h[4]; M = G + E + L; na = M * N }
            continue
        }
        p = k - 6
        if (p < na) { if (t + 0 != 0) a[p] = t; continue }
        p -= na
        if (p < N) { c[p + 1] = t; continue }
        p -= N
        if (p < M) { b[p + 1] = t; continue }
        extra++
    }
}
END {
    if (k < 5) { print "dat2mps: no G E L N Eps header" > "/dev/stderr"; exit 1 }
    if (extra) { print "dat2mps: " extra " numbers after B" > "/dev/stderr"; exit 1 }
    # A file that ends early reads zeros, as in the program.
    print "NAME KVADO"
    print "ROWS"
    print " N OBJ"
    for (i = 1; i <= M; i++) print " " (i <= G ? "G" : (i <= G + E ? "E" : "L")) " R" i
    print "COLUMNS"
    for (j = 1; j <= N; j++) {
        # The objective entry is written even when zero so that every column is declared.
        print " X" j " OBJ " ((j in c) ? c[j] : 0)
        for (i = 1; i <= M; i++) {
            p = (i - 1) * N + j - 1
            if (p in a) print " X" j " R" i " " a[p]
        }
    }
    print "RHS"
    for (i = 1; i <= M; i++) if ((i in b) && b[i] + 0 != 0) print " RHS R" i " " b[i]
    print "ENDATA"
}
