#pragma once

namespace zanfeld {

// The kinds of an undo run's steps, kept in their records' mode so that an
// undo stopped or killed part-way is finished by the next one, each step
// once. Stored numbers: the same in every journal.
enum class UndoStep { RemoveCopy = 0, MoveBack = 1, Restore = 2 };

}  // namespace zanfeld
