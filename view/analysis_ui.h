// The editor's "解の検証" command: the complete analysis of the current
// puzzle's clues, run on another thread behind a progress dialog, then the
// verdict, and on request the solution (unique) or the two solutions side by
// side in turn (several).
#pragma once

#include "analysis.h"

#include <QString>

namespace ombrix {

class COmbrixView;

// The verdict line: "唯一解です（難易度 N）", "解がありません",
// "複数の解があります（N マスが異なります）" or "中止しました".
QString VerdictText(const AnalysisResult& result, int grade);

// Runs the whole command on the view's board. The board is left as it was
// unless the user asks for the solution of a unique puzzle.
void AnalyzePuzzle(COmbrixView& view);

} // namespace ombrix
