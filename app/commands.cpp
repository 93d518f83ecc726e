// The command table. Menu texts are the program's own (half-width katakana
// and mnemonics included), and so are the keys. Keys without a handler (the
// clipboard keys and the pane keys) do nothing: the editor has no clipboard
// and no panes.
#include "commands.h"

#include "analysis_ui.h"
#include "collection_ui.h"
#include "dialog_template.h"
#include "generate_ui.h"
#include "main_frame.h"
#include "modal.h"
#include "ombrix_view.h"
#include "print_commands.h"

#include <QAction>
#include <iterator>

namespace ombrix {
namespace {

// The help texts and the version box: one template dialog each, closed with
// OK, Enter, Esc or the close box. They read and change no state.
template <const res::DialogTemplate& kText> void ShowText(CommandContext&) {
    CTemplateDialog dialog(kText);
    Modal().RunDialog(dialog);
}

constexpr WhileSolving kWaits = WhileSolving::Waits;
constexpr WhileSolving kRuns = WhileSolving::Runs;

// clang-format off
constexpr CommandEntry kCommands[] = {
    {ID_FILE_NEW, "ID_FILE_NEW", "ﾌｧｲﾙ(&F)", "新規作成(&N)", "Ctrl+N", kWaits, [](CommandContext& c) { c.view.OnFileNew(); }, nullptr},
    {ID_FILE_OPEN, "ID_FILE_OPEN", "ﾌｧｲﾙ(&F)", "問題を読み込む(&O)", "Ctrl+O", kWaits, [](CommandContext& c) { c.view.OnLoadPuzzle(); }, nullptr},
    {ID_FILE_COLLECTION, "ID_FILE_COLLECTION", "ﾌｧｲﾙ(&F)", "問題集(&B)...", nullptr, kWaits, [](CommandContext& c) { OpenFromCollection(c.view); }, nullptr},
    {ID_FILE_MRU_FILE1, "ID_FILE_MRU_FILE1", "ﾌｧｲﾙ(&F)", "最近使ったファイル", nullptr, kWaits, nullptr, nullptr},
    {ID_FILE_SAVE, "ID_FILE_SAVE", "ﾌｧｲﾙ(&F)", "上書き保存(&S)", "Ctrl+S", kWaits, [](CommandContext& c) { c.view.OnFileSave(); }, nullptr},
    {ID_FILE_SAVE_AS, "ID_FILE_SAVE_AS", "ﾌｧｲﾙ(&F)", "問題を保存する(&W)", nullptr, kWaits, [](CommandContext& c) { c.view.OnSavePuzzle(); }, nullptr},
    {ID_FILE_SAVE_AS_NAMED, "ID_FILE_SAVE_AS_NAMED", "ﾌｧｲﾙ(&F)", "名前を付けて保存(&A)...", nullptr, kWaits, [](CommandContext& c) { c.view.OnFileSaveAs(); }, nullptr},
    {ID_FILE_SAVE_TEXT, "ID_FILE_SAVE_TEXT", "ﾌｧｲﾙ(&F)", "ﾃｷｽﾄ形式で保存(&T)", nullptr, kWaits, [](CommandContext& c) { c.view.OnSaveText(); }, nullptr},
    {0, nullptr, "ﾌｧｲﾙ(&F)", nullptr, nullptr, kWaits, nullptr, nullptr},
    {ID_FILE_PRINT, "ID_FILE_PRINT", "ﾌｧｲﾙ(&F)", "印刷(&P)", "Ctrl+P", kWaits, [](CommandContext& c) { OnFilePrint(c.view.board(), &c.frame); }, nullptr},
    {ID_FILE_PRINT_PREVIEW, "ID_FILE_PRINT_PREVIEW", "ﾌｧｲﾙ(&F)", "印刷ﾌﾟﾚﾋﾞｭｰ(&V)", nullptr, kWaits, [](CommandContext& c) { OnFilePrintPreview(c.view.board(), &c.frame); }, nullptr},
    {ID_FILE_PRINT_SETUP, "ID_FILE_PRINT_SETUP", "ﾌｧｲﾙ(&F)", "ﾌﾟﾘﾝﾀの設定(&R)", nullptr, kRuns, [](CommandContext& c) { OnFilePrintSetup(&c.frame); }, nullptr},
    {0, nullptr, "ﾌｧｲﾙ(&F)", nullptr, nullptr, kWaits, nullptr, nullptr},
    {ID_APP_EXIT, "ID_APP_EXIT", "ﾌｧｲﾙ(&F)", "終了(&X)", nullptr, kRuns, [](CommandContext& c) { c.frame.close(); }, nullptr},
    {ID_EDIT_UNDO, "ID_EDIT_UNDO", "編集(&E)", "元に戻す(&U)", "Ctrl+Z;Alt+Backspace", kWaits, [](CommandContext& c) { c.view.OnUndo(); }, nullptr},
    {ID_EDIT_REDO, "ID_EDIT_REDO", "編集(&E)", "やり直し(&R)", "Ctrl+Y;Ctrl+Shift+Z", kWaits, [](CommandContext& c) { c.view.OnRedo(); }, nullptr},
    {ID_VIEW_ZOOM_IN, "ID_VIEW_ZOOM_IN", "表示(&V)", "拡大(&I)", "Ctrl++;Ctrl+=", kRuns, [](CommandContext& c) { c.view.OnZoomIn(); }, nullptr},
    {ID_VIEW_ZOOM_OUT, "ID_VIEW_ZOOM_OUT", "表示(&V)", "縮小(&O)", "Ctrl+-", kRuns, [](CommandContext& c) { c.view.OnZoomOut(); }, nullptr},
    {ID_VIEW_ZOOM_RESET, "ID_VIEW_ZOOM_RESET", "表示(&V)", "100%(&A)", "Ctrl+0", kRuns, [](CommandContext& c) { c.view.OnZoomReset(); }, nullptr},
    {ID_VIEW_ZOOM_FIT, "ID_VIEW_ZOOM_FIT", "表示(&V)", "ウィンドウに合わせる(&F)", nullptr, kRuns, [](CommandContext& c) { c.view.OnZoomFit(); }, nullptr},
    {ID_RULESET_OMBRIX, "ID_RULESET_OMBRIX", "ﾓｰﾄﾞ(&M)", "Ombrixﾓｰﾄﾞ", nullptr, kWaits, [](CommandContext& c) { c.view.OnRuleSetOmbrix(); }, [](CommandContext& c, QAction* a) { c.view.OnUpdateRuleSetOmbrix(a); }},
    {ID_RULESET_TANDREL, "ID_RULESET_TANDREL", "ﾓｰﾄﾞ(&M)", "Tandrelﾓｰﾄﾞ", nullptr, kWaits, [](CommandContext& c) { c.view.OnRuleSetTandrel(); }, [](CommandContext& c, QAction* a) { c.view.OnUpdateRuleSetTandrel(a); }},
    {ID_SIZE_CHANGE, "ID_SIZE_CHANGE", "ｻｲｽﾞ変更(&S)", nullptr, nullptr, kWaits, [](CommandContext& c) { c.view.OnSizeChange(); }, nullptr},
    {ID_TOOLS_ANALYZE, "ID_TOOLS_ANALYZE", "ﾂｰﾙ(&T)", "解の検証(&A)", "Ctrl+K", kWaits, [](CommandContext& c) { AnalyzePuzzle(c.view); }, nullptr},
    {ID_TOOLS_CHECK, "ID_TOOLS_CHECK", "ﾂｰﾙ(&T)", "答え合わせ(&C)", "F7", kWaits, [](CommandContext& c) { c.view.OnCheck(); }, nullptr},
    {ID_TOOLS_HINT, "ID_TOOLS_HINT", "ﾂｰﾙ(&T)", "ヒント(&H)", "F8", kWaits, [](CommandContext& c) { c.view.OnHint(); }, nullptr},
    {ID_TOOLS_GENERATE, "ID_TOOLS_GENERATE", "ﾂｰﾙ(&T)", "問題の自動作成(&G)...", nullptr, kWaits, [](CommandContext& c) { GeneratePuzzleInto(c.view); }, nullptr},
    {ID_HELP_OMBRIX_RULES, "ID_HELP_OMBRIX_RULES", "ﾍﾙﾌﾟ(&H)", "Ombrixﾙｰﾙ説明(&N)", nullptr, kRuns, ShowText<res::kOmbrixRules>, nullptr},
    {ID_HELP_TANDREL_RULES, "ID_HELP_TANDREL_RULES", "ﾍﾙﾌﾟ(&H)", "Tandrelﾙｰﾙ説明(&B)", nullptr, kRuns, ShowText<res::kTandrelRules>, nullptr},
    {0, nullptr, "ﾍﾙﾌﾟ(&H)", nullptr, nullptr, kWaits, nullptr, nullptr},
    {ID_HELP_EDIT_OPERATION, "ID_HELP_EDIT_OPERATION", "ﾍﾙﾌﾟ(&H)", "操作説明(作成時)(&M)", nullptr, kRuns, ShowText<res::kEditHelp>, nullptr},
    {ID_HELP_SOLVE_OPERATION, "ID_HELP_SOLVE_OPERATION", "ﾍﾙﾌﾟ(&H)", "操作説明(解答時)(&A)", nullptr, kRuns, ShowText<res::kSolveHelp>, nullptr},
    {0, nullptr, "ﾍﾙﾌﾟ(&H)", nullptr, nullptr, kWaits, nullptr, nullptr},
    {ID_APP_ABOUT, "ID_APP_ABOUT", "ﾍﾙﾌﾟ(&H)", "ﾊﾞｰｼﾞｮﾝ情報(&V)", nullptr, kRuns, ShowText<res::kAboutBox>, nullptr},
    {ID_FILE_PRINT_DIRECT, "ID_FILE_PRINT_DIRECT", nullptr, nullptr, nullptr, kWaits, [](CommandContext& c) { OnFilePrintDirect(c.view.board(), &c.frame); }, nullptr},
    {ID_EDIT_CUT, "ID_EDIT_CUT", nullptr, nullptr, "Ctrl+X;Shift+Del", kWaits, nullptr, nullptr},
    {ID_EDIT_COPY, "ID_EDIT_COPY", nullptr, nullptr, "Ctrl+C;Ctrl+Ins", kWaits, nullptr, nullptr},
    {ID_EDIT_PASTE, "ID_EDIT_PASTE", nullptr, nullptr, "Ctrl+V;Shift+Ins", kWaits, nullptr, nullptr},
    {ID_NEXT_PANE, "ID_NEXT_PANE", nullptr, nullptr, "F6", kWaits, nullptr, nullptr},
    {ID_PREV_PANE, "ID_PREV_PANE", nullptr, nullptr, "Shift+F6", kWaits, nullptr, nullptr},
};
// clang-format on

constexpr bool IdsAreUnique() {
    for (const CommandEntry& a : kCommands)
        for (const CommandEntry& b : kCommands)
            if (&a != &b && a.id != 0 && a.id == b.id) return false;
    return true;
}
static_assert(IdsAreUnique(), "two commands share an id");

} // namespace

std::span<const CommandEntry> Commands() {
    return kCommands;
}

const CommandEntry* FindCommand(int id) {
    for (const CommandEntry& c : kCommands)
        if (c.id == id && id != 0) return &c;
    return nullptr;
}

} // namespace ombrix
