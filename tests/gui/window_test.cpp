// The editor's window: caption and size, the menu bar with every text and
// command, the accelerators (keys without a handler do nothing), the rule-set
// check marks, and the five help dialogs, each closed by OK, Enter and Esc
// without touching the board.
#include "editor_fixture.h"

#include "commands.h"
#include "dialog_template.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

#include <vector>

namespace ombrix {
namespace {

using test::Editor;
using test::RegionDiff;
using test::WithModalDialog;

// The expected menu bar, written out entry by entry.
struct ExpectedItem {
    const char* text;
    int id;
};
struct ExpectedMenu {
    const char* title;
    int barCommand;
    std::vector<ExpectedItem> items;
};
const ExpectedMenu kExpectedMenus[] = {
    {"ﾌｧｲﾙ(&F)",
     0,
     {{"新規作成(&N)", 57600},
      {"問題を読み込む(&O)", 57601},
      {"問題集(&B)...", 32798},
      {"最近使ったファイル", 57616},
      {"上書き保存(&S)", 57603},
      {"問題を保存する(&W)", 57604},
      {"名前を付けて保存(&A)...", 32790},
      {"ﾃｷｽﾄ形式で保存(&T)", 32775},
      {"", 0},
      {"印刷(&P)", 57607},
      {"印刷ﾌﾟﾚﾋﾞｭｰ(&V)", 57609},
      {"ﾌﾟﾘﾝﾀの設定(&R)", 57606},
      {"", 0},
      {"終了(&X)", 57665}}},
    {"編集(&E)", 0, {{"元に戻す(&U)", 57643}, {"やり直し(&R)", 57644}}},
    {"表示(&V)",
     0,
     {{"拡大(&I)", 32791},
      {"縮小(&O)", 32792},
      {"100%(&A)", 32793},
      {"ウィンドウに合わせる(&F)", 32794}}},
    {"ﾓｰﾄﾞ(&M)", 0, {{"Ombrixﾓｰﾄﾞ", 32776}, {"Tandrelﾓｰﾄﾞ", 32777}}},
    {"ｻｲｽﾞ変更(&S)", 32771, {}},
    {"ﾂｰﾙ(&T)",
     0,
     {{"解の検証(&A)", 32779},
      {"答え合わせ(&C)", 32795},
      {"ヒント(&H)", 32796},
      {"問題の自動作成(&G)...", 32797}}},
    {"ﾍﾙﾌﾟ(&H)",
     0,
     {{"Ombrixﾙｰﾙ説明(&N)", 32772},
      {"Tandrelﾙｰﾙ説明(&B)", 32778},
      {"", 0},
      {"操作説明(作成時)(&M)", 32773},
      {"操作説明(解答時)(&A)", 32774},
      {"", 0},
      {"ﾊﾞｰｼﾞｮﾝ情報(&V)", 57664}}},
};

TEST(Window, CaptionSizeAndMenuBarTextsAndCommands) {
    Editor w;
    EXPECT_EQ(w.frame.windowTitle(), QStringLiteral("Ombrix＆Tandrel - 解答ツール"));
    // The first paint's layout step sized the frame: 27W + 240 by 27H + 170.
    EXPECT_EQ(w.frame.frameGeometry().size(), QSize(510, 440));
    EXPECT_EQ(w.view().scrollExtent(), QSize(490, 390));
    EXPECT_EQ(w.ui.layoutState, LayoutReady);
    EXPECT_EQ(w.ui.barLength, 12);

    const QList<QAction*> bar = w.frame.menuBar()->actions();
    ASSERT_EQ(bar.size(), static_cast<qsizetype>(std::size(kExpectedMenus)));
    for (int m = 0; m < bar.size(); ++m) {
        const ExpectedMenu& want = kExpectedMenus[m];
        EXPECT_EQ(bar[m]->text(), QString::fromUtf8(want.title));
        if (want.barCommand) {
            EXPECT_EQ(bar[m]->menu(), nullptr);
            EXPECT_EQ(w.frame.menuAction(want.barCommand), bar[m]);
            continue;
        }
        ASSERT_NE(bar[m]->menu(), nullptr);
        const QList<QAction*> items = bar[m]->menu()->actions();
        ASSERT_EQ(items.size(), static_cast<qsizetype>(want.items.size())) << want.title;
        for (int i = 0; i < items.size(); ++i) {
            if (want.items[i].id == 0) {
                EXPECT_TRUE(items[i]->isSeparator());
                continue;
            }
            EXPECT_EQ(items[i]->text(), QString::fromUtf8(want.items[i].text));
            EXPECT_EQ(w.frame.menuAction(want.items[i].id), items[i]);
            EXPECT_TRUE(items[i]->isEnabled());
        }
    }
}

TEST(Window, AcceleratorsAreThereAndKeysWithoutAHandlerDoNothing) {
    Editor w;
    QList<QKeySequence> keys;
    for (QAction* a : w.frame.actions())
        keys << a->shortcuts();
    for (const char* k :
         {"Ctrl+N", "Ctrl+O", "Ctrl+S", "Ctrl+P", "Ctrl+Z", "Ctrl+X", "Ctrl+C", "Ctrl+V",
          "Alt+Backspace", "Shift+Del", "Ctrl+Ins", "Shift+Ins", "F6", "Shift+F6"})
        EXPECT_TRUE(keys.contains(QKeySequence(QString::fromLatin1(k)))) << k;

    w.board.state(2, 2) = 4;
    const QByteArray before = w.snapshot();
    for (const auto& [key, modifiers] : {std::pair{Qt::Key_Z, Qt::ControlModifier},
                                         {Qt::Key_X, Qt::ControlModifier},
                                         {Qt::Key_C, Qt::ControlModifier},
                                         {Qt::Key_V, Qt::ControlModifier},
                                         {Qt::Key_F6, Qt::NoModifier},
                                         {Qt::Key_Backspace, Qt::AltModifier}})
        QTest::keyClick(&w.frame, key, modifiers);
    EXPECT_EQ(w.snapshot(), before);
    EXPECT_TRUE(w.frame.isVisible());
    EXPECT_TRUE(w.modal.openFilters.isEmpty());
    EXPECT_TRUE(w.modal.saveFilters.isEmpty());
}

TEST(Window, RuleSetCheckMarks) {
    Editor w;
    QAction* ombrix = w.frame.menuAction(ID_RULESET_OMBRIX);
    QAction* tandrel = w.frame.menuAction(ID_RULESET_TANDREL);
    ASSERT_TRUE(ombrix && tandrel);
    w.frame.UpdateCommandUI();
    EXPECT_TRUE(ombrix->isChecked());
    EXPECT_FALSE(tandrel->isChecked());
    w.board.state(3, 3) = 200;
    tandrel->trigger();
    EXPECT_EQ(w.board.ruleSet, RuleSetTandrel);
    EXPECT_FALSE(ombrix->isChecked());
    EXPECT_TRUE(tandrel->isChecked());
    EXPECT_EQ(RegionDiff(w.grab(), 10, 5, sprites::kBannerTandrel), 0);
    ombrix->trigger();
    EXPECT_EQ(w.board.ruleSet, RuleSetOmbrix);
    EXPECT_EQ(w.board.state(3, 3), 200); // the switch keeps given black cells
    EXPECT_TRUE(ombrix->isChecked());
    // A rule set from a file that is neither: no check mark at all.
    w.board.ruleSet = 7;
    w.frame.UpdateCommandUI();
    EXPECT_FALSE(ombrix->isChecked());
    EXPECT_FALSE(tandrel->isChecked());
}

struct HelpCase {
    int command;
    const char* caption;
    int labels;        // static texts
    const char* among; // one of them
    int w, h;          // size in dialog units
};

const HelpCase kHelp[] = {
    {ID_APP_ABOUT, "ﾊﾞｰｼﾞｮﾝ情報", 1, "簡易Ombrix　　Ver 1.6", 95, 53},
    {ID_HELP_OMBRIX_RULES, "Ombrixルール説明", 8,
     "・黒マスが２×２マス以上のかたまりになってはいけません．", 243, 111},
    {ID_HELP_TANDREL_RULES, "Tandrelルール説明", 7,
     "・エリアどうしはタテ・ヨコ・ナナメで接してはいけません．", 237, 107},
    {ID_HELP_EDIT_OPERATION, "操作説明(作成時)", 5, "「全クリア」　　：全ての数をクリアします．",
     147, 87},
    {ID_HELP_SOLVE_OPERATION, "操作説明(解答時)", 7,
     "「最初に戻る」　：解答モードの初期状態に戻ります．", 189, 97},
};

int StaticTexts(QDialog* d, const QString& among, bool& found) {
    int n = 0;
    for (QLabel* l : d->findChildren<QLabel*>()) {
        if (l->text().isEmpty()) continue; // the icon
        ++n;
        if (l->text() == among) found = true;
    }
    return n;
}

TEST(HelpDialogs, EachOpensWithItsTextsAndClosesByOkEnterEsc) {
    // The app's about handler needs the application object; route it here.
    Editor w;
    w.frame.registry().app[ID_APP_ABOUT] = [](CommandContext&) {
        CTemplateDialog dlg(res::kAboutBox);
        dlg.exec();
    };
    w.board.state(4, 4) = 9;
    w.board.status = StatusUnsolvable;
    const QByteArray before = w.snapshot();
    const DialogBaseUnits u = DialogUnits();
    for (const HelpCase& c : kHelp) {
        for (int way = 0; way < 3; ++way) {
            SCOPED_TRACE(testing::Message() << c.caption << " way " << way);
            int result = -1;
            const bool opened = WithModalDialog(
                [&] { w.frame.OnCommand(c.command); },
                [&](QDialog* d) {
                    EXPECT_EQ(d->windowTitle(), QString::fromUtf8(c.caption));
                    bool found = false;
                    EXPECT_EQ(StaticTexts(d, QString::fromUtf8(c.among), found), c.labels);
                    EXPECT_TRUE(found);
                    EXPECT_EQ(d->size(), QSize(u.x(c.w), u.y(c.h)));
                    QObject::connect(d, &QDialog::finished, [&](int r) { result = r; });
                    if (way == 0) {
                        auto* ok = d->findChild<QPushButton*>(QStringLiteral("id1"));
                        ASSERT_NE(ok, nullptr);
                        EXPECT_EQ(ok->text(), QStringLiteral("OK"));
                        EXPECT_TRUE(ok->isDefault());
                        QTest::mouseClick(ok, Qt::LeftButton);
                    } else {
                        QTest::keyClick(d, way == 1 ? Qt::Key_Return : Qt::Key_Escape);
                    }
                });
            EXPECT_TRUE(opened);
            EXPECT_EQ(result, way == 2 ? QDialog::Rejected : QDialog::Accepted);
            EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
        }
    }
    EXPECT_EQ(w.snapshot(), before);
}

TEST(DialogUnits, ConversionAndTheFontItUses) {
    const DialogBaseUnits u{7, 13};
    EXPECT_EQ(u.x(243), 425);
    EXPECT_EQ(u.y(111), 180);
    EXPECT_EQ(u.x(4), 7);
    EXPECT_EQ(u.y(8), 13);
    const DialogBaseUnits real = DialogUnits();
    EXPECT_GT(real.cx, 3);
    EXPECT_GT(real.cy, 8);
    // The dialog face is mapped to an installed Japanese Gothic.
    EXPECT_TRUE(
        QFontInfo(DialogFont()).family().contains(QStringLiteral("Gothic"), Qt::CaseInsensitive))
        << QFontInfo(DialogFont()).family().toStdString();
}

} // namespace
} // namespace ombrix
