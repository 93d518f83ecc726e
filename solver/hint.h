// The hint: the next step a player can take from the board as it stands. The
// answer check comes first; then the solver's rules run on the clues and the
// player's own decisions, in the rule table's order, and the first rule run
// that decides a cell the player has not decided is the hint. When the rules
// have nothing, the trial search's next decision is. Nothing here changes
// the player's board.
#pragma once

#include "board.h"
#include "solver_parts.h"

#include <cstdint>
#include <string>
#include <vector>

namespace ombrix {

enum class HintKind : std::uint8_t {
    Rule,   // a rule decides the cells
    Error,  // the board already breaks a rule, or leads to a contradiction
    Trial,  // only a hypothesis and its contradiction decide the cell
    Solved, // every cell is decided and nothing is broken
    None,   // nothing can be decided from here
};

struct HintCell {
    int x, y; // playable coordinates from 1
    // Rule and trial: the state code the cell gets (Black, WhiteDot or the
    // area cell of its clue). Error: the cell's state as it stands.
    std::uint8_t state;
};

struct Hint {
    HintKind kind = HintKind::None;
    // Rule: the rule's name as the trace gives it ("RuleAreaGap"), or
    // "PrepareBoard" for the cells known from the clues alone. Error: the
    // check's name of the violation ("black-block"), or "contradiction".
    std::string name;
    // One Japanese sentence saying why (UTF-8).
    std::string why;
    // Rule and trial: the cells the step decides, column by column. Error:
    // the offending cells of the first kind of violation.
    std::vector<HintCell> cells;
};

Hint FindHint(const Board& player);

// The hint's sentence for each rule of the rule table.
const char* RuleHintSentence(Rule rule);

// The name of the step that paints the cells the clues alone decide (the
// walls round a 1, and under Tandrel the corners of a 2), and its sentence.
inline constexpr const char* kSetupStepName = "PrepareBoard";
inline constexpr const char* kSetupSentence = "数字のまわりで、初めから黒と決まるマスです";

} // namespace ombrix
