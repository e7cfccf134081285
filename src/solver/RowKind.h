#pragma once
// The one name of a constraint row's kind, for the problem record, the model, the ranging and
// the plane geometry alike.

namespace kvado {

// The problem record's rows are Greater (">="), Equal ("=") and Less ("<="), in that order
// (whatever the order of the values here); a row of a model as the user states it may also be
// a Range (lower <= a·x <= upper), which the standard form turns into rows of the other kinds.
enum class RowKind { Less, Greater, Equal, Range };

// ">=", "=" or "<=" as the texts of the report, the ranging and the explanation write a row's
// relation; a Range row is written by its two sides, never by this text.
inline const char* relationText(RowKind kind) {
    switch (kind) {
    case RowKind::Greater:
        return ">=";
    case RowKind::Equal:
        return "=";
    case RowKind::Less:
    case RowKind::Range:
        break;
    }
    return "<=";
}

} // namespace kvado
