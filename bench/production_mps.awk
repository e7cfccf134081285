# A multi-period production and transport model as free MPS, for the sparse engine's benchmark
# of a large model that a simplex can finish:
#   awk -v periods=20 -v plants=1000 -v customers=4000 -v arcs=6 -v seed=7 -f production_mps.awk
# Rows: per period a balance row per plant (B t_f: production + stock brought in - stock kept
# - shipments = 0) and a demand row per customer (D t_c: shipments >= demand).
# Columns: per period each plant's production (its own cost per period, bounded by a capacity
# half as large again as the demand of the customers it is the home plant of), its stock kept
# for the next period (a holding cost), and `arcs` shipments per customer (the home plant and
# random others, each at its own cost). Every cost is distinct and every capacity slack, so the
# optimum is not degenerate as a transport model with equal costs and tight capacities is; a
# customer's home plant alone can always serve it, so the model is feasible. The defaults give
# 100,000 rows and about 1,000,000 nonzeros.
BEGIN {
    if (periods == "") periods = 20
    if (plants == "") plants = 1000
    if (customers == "") customers = 4000
    if (arcs == "") arcs = 6
    if (seed == "") seed = 7
    srand(seed)
    for (c = 1; c <= customers; c++) {
        home = 1 + (c - 1) % plants
        from[c, 1] = home
        cost[c, 1] = 1 + rand() * 9
        for (k = 2; k <= arcs; k++) {
            from[c, k] = 1 + int(rand() * plants)
            cost[c, k] = 1 + rand() * 19
        }
        for (t = 1; t <= periods; t++) {
            demand[t, c] = 10 + int(rand() * 91)
            load[t, home] += demand[t, c]
        }
    }
    for (f = 1; f <= plants; f++) {
        peak = 0
        for (t = 1; t <= periods; t++) if (load[t, f] > peak) peak = load[t, f]
        cap[f] = int(1.5 * peak) + 1
        base[f] = 20 + rand() * 30
    }
    print "NAME PRODUCTION"
    print "ROWS"
    print " N COST"
    for (t = 1; t <= periods; t++) {
        for (f = 1; f <= plants; f++) print " E B" t "_" f
        for (c = 1; c <= customers; c++) print " G D" t "_" c
    }
    print "COLUMNS"
    for (t = 1; t <= periods; t++) {
        for (f = 1; f <= plants; f++) {
            printf " P%d_%d COST %.4f B%d_%d 1\n", t, f, base[f] * (1 + 0.2 * rand()), t, f
            if (t < periods)
                printf " S%d_%d COST %.4f B%d_%d -1\n S%d_%d B%d_%d 1\n", t, f,
                       0.5 + rand(), t, f, t, f, t + 1, f
        }
        for (c = 1; c <= customers; c++)
            for (k = 1; k <= arcs; k++) {
                f = from[c, k]
                printf " X%d_%d_%d COST %.4f B%d_%d -1\n", t, c, k, cost[c, k] * (1 + 0.1 * rand()), t, f
                printf " X%d_%d_%d D%d_%d 1\n", t, c, k, t, c
            }
    }
    print "RHS"
    for (t = 1; t <= periods; t++)
        for (c = 1; c <= customers; c++) printf " RHS D%d_%d %d\n", t, c, demand[t, c]
    print "BOUNDS"
    for (t = 1; t <= periods; t++)
        for (f = 1; f <= plants; f++) printf " UP BND P%d_%d %d\n", t, f, cap[f]
    print "ENDATA"
}
