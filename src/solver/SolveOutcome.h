#pragma once
// What a solve came to, for the solver, its step recorder and everyone who reads an answer.

namespace kvado {

// PassLimit: the guard against a solve that would never end stopped it (see passLimit());
// Stopped: the host asked for a stop. Neither is an answer: the last basis is reported as for
// an infeasible problem.
// Overflow: a number of the method went beyond the extended range (an infinity or NaN), so
// its last state proves nothing; never taken for an answer.
enum class SolveOutcome { Optimal, Infeasible, Unbounded, PassLimit, Stopped, Overflow };

} // namespace kvado
