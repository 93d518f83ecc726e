// An independent judge of complete boards: does a painted board obey the
// rules of its rule set? Written apart from the solver (it reads the board
// record only and calls no solver code), so the two can be held against each
// other.
#pragma once

#include "board.h"

#include <string>

namespace ombrix::testing {

// True when every playable cell is decided (black, a clue or an area cell)
// and the painting obeys the rules of board.ruleSet (0 Ombrix, else Tandrel).
// On failure `why` says which rule is broken and where.
bool CheckSolution(const Board& board, std::string& why);

} // namespace ombrix::testing
