#include "analysis_ui.h"

#include "modal.h"
#include "ombrix_view.h"
#include "solver.h"

#include <atomic>
#include <memory>

namespace ombrix {

namespace {

// The analysis on its own thread, over a copy of the puzzle.
class AnalysisWork : public BackgroundWork, private AnalysisObserver {
  public:
    explicit AnalysisWork(const Board& puzzle)
        : puzzle_(std::make_unique<Board>(puzzle)), result_(std::make_unique<AnalysisResult>()) {
        thread_.start([this] {
            AnalysisLimits limits;
            limits.cancel = thread_.cancelFlag();
            limits.observer = this;
            limits.threads = 2;
            *result_ = Analyze(*puzzle_, limits);
            if (result_->verdict == Verdict::Unique) grade_ = GradeByAutoSolve(*puzzle_);
        });
    }
    bool finished() const override { return thread_.finished(); }
    void cancel() override { thread_.cancel(); }
    QString progressText() const override {
        return QStringLiteral("解析中です…　%1 ノード　%2 秒")
            .arg(static_cast<qulonglong>(nodes_.load()))
            .arg(thread_.seconds(), 0, 'f', 1);
    }
    // After finished(): the outcome.
    const AnalysisResult& result() {
        thread_.join();
        return *result_;
    }
    int grade() const { return grade_; }

  private:
    void progress(std::uint64_t nodes, int) override { nodes_ = nodes; }

    std::unique_ptr<Board> puzzle_;
    std::unique_ptr<AnalysisResult> result_;
    std::atomic<std::uint64_t> nodes_{0};
    int grade_ = 0;
    WorkThread thread_; // last: joined before the rest goes
};

// Puts a solution's cells on the board: clues and given black cells stay.
void PutSolution(Board& board, const Board& solution) {
    for (int x = 1; x <= board.width; ++x)
        for (int y = 1; y <= board.height; ++y) {
            board.at(x, y).state = solution.state(x, y);
            board.at(x, y).areaId = 0;
        }
    board.undecidedCount = 0;
    board.status = StatusNone;
}

// The two solutions on the view in turn; the board and the interaction
// state as they were come back when it ends.
class Comparison : public SolutionToggle {
  public:
    Comparison(COmbrixView& view, const AnalysisResult& result)
        : view_(view), result_(result), board_(std::make_unique<Board>(view.board())),
          ui_(std::make_unique<UiState>(view.ui())) {
        view_.SetOutlinedCells(result.differing);
        show(0);
    }
    ~Comparison() override {
        view_.board() = *board_;
        view_.ui() = *ui_;
        view_.SetOutlinedCells({});
        view_.InvalidateAll();
    }
    void toggle() override { show(1 - shown_); }
    int shown() const override { return shown_; }

  private:
    void show(int k) {
        shown_ = k;
        PutSolution(view_.board(), result_.solutions[k]);
        view_.InvalidateAll();
    }
    COmbrixView& view_;
    const AnalysisResult& result_;
    std::unique_ptr<Board> board_;
    std::unique_ptr<UiState> ui_;
    int shown_ = 0;
};

} // namespace

QString VerdictText(const AnalysisResult& result, int grade) {
    switch (result.verdict) {
    case Verdict::Unique:
        return QStringLiteral("唯一解です（難易度 %1）").arg(grade);
    case Verdict::None:
        return QStringLiteral("解がありません");
    case Verdict::Several:
        return QStringLiteral("複数の解があります（%1 マスが異なります）")
            .arg(result.differing.size());
    case Verdict::Stopped:
        break;
    }
    return QStringLiteral("中止しました");
}

void AnalyzePuzzle(COmbrixView& view) {
    AnalysisWork work(view.board());
    Modal().RunProgress(&view, work);
    const AnalysisResult& result = work.result();
    const QString text = VerdictText(result, work.grade());
    switch (result.verdict) {
    case Verdict::Unique:
        if (Modal().AskChoice(&view, text,
                              {QStringLiteral("解答を表示"), QStringLiteral("閉じる")}) == 0) {
            // As the automatic solver leaves a solved board: its own board
            // where it solves the puzzle, else the analysis's solution.
            auto solved = std::make_unique<Board>(view.board());
            AutoSolve(*solved);
            if (solved->status == StatusNone)
                view.board() = *solved;
            else
                PutSolution(view.board(), result.solutions[0]);
            view.ui().phase = PhaseAutoSolved;
            view.InvalidateAll();
        }
        break;
    case Verdict::Several:
        if (Modal().AskChoice(&view, text,
                              {QStringLiteral("解を表示"), QStringLiteral("閉じる")}) == 0) {
            Comparison comparison(view, result);
            Modal().RunSolutionView(&view, comparison);
        }
        break;
    default:
        Modal().ShowMessage(&view, text);
    }
}

} // namespace ombrix
