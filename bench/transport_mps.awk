# A multi-period transport model as free MPS, for the sparse engine's benchmark:
#   awk -v periods=20 -v plants=1000 -v customers=4000 -v arcs=5 -v seed=42 -f transport_mps.awk
# Rows: per period a capacity row per plant (C t_f: shipments <= capacity) and a demand row per
# customer (D t_c: shipments + stock from the period before - stock kept + unmet >= demand).
# Columns: per period `arcs` shipments per customer from random plants (2 coefficients each),
# the customer's stock kept for the next period (2, 1 in the last period) and its unmet demand
# at a penalty (1). The defaults give 100,000 rows and about 1,000,000 nonzeros.
BEGIN {
    if (periods == "") periods = 20
    if (plants == "") plants = 1000
    if (customers == "") customers = 4000
    if (arcs == "") arcs = 5
    if (seed == "") seed = 42
    srand(seed)
    for (f = 1; f <= plants; f++) cap[f] = 100 + int(rand() * 201)
    for (c = 1; c <= customers; c++) {
        for (k = 1; k <= arcs; k++) {
            from[c, k] = 1 + int(rand() * plants)
            cost[c, k] = 1 + rand() * 20
        }
    }
    print "NAME TRANSPORT"
    print "ROWS"
    print " N COST"
    for (t = 1; t <= periods; t++) {
        for (f = 1; f <= plants; f++) print " L C" t "_" f
        for (c = 1; c <= customers; c++) print " G D" t "_" c
    }
    print "COLUMNS"
    for (t = 1; t <= periods; t++) {
        for (c = 1; c <= customers; c++) {
            for (k = 1; k <= arcs; k++) {
                f = from[c, k]
                printf " X%d_%d_%d COST %.4f C%d_%d 1\n", t, c, k, cost[c, k] + t % 3, t, f
                printf " X%d_%d_%d D%d_%d 1\n", t, c, k, t, c
            }
            if (t < periods)
                printf " I%d_%d COST 1 D%d_%d -1\n I%d_%d D%d_%d 1\n", t, c, t, c, t, c, t + 1, c
            printf " U%d_%d COST 1000 D%d_%d 1\n", t, c, t, c
        }
    }
    print "RHS"
    for (t = 1; t <= periods; t++) {
        for (f = 1; f <= plants; f++) printf " RHS C%d_%d %d\n", t, f, cap[f]
        for (c = 1; c <= customers; c++) printf " RHS D%d_%d %d\n", t, c, 10 + int(rand() * 41)
    }
    print "ENDATA"
}
