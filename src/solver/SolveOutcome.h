#pragma once
// What a solve came to, for the solver, its step recorder and everyone who reads an answer.

namespace kvado {

// PassLimit: the guard against a solve that would never end stopped it (see passLimit());
// Stopped: the host asked for a stop. Neither is an answer: the last basis is reported as for
// an infeasible problem.
enum class SolveOutcome { Optimal, Infeasible, Unbounded, PassLimit, Stopped };

} // namespace kvado
