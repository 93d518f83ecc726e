// The editor's window: the rule-set check marks, and the help dialogs,
// closed by OK, Enter and Esc without touching the board. (Its caption and
// size: document_test.cpp and assist_test.cpp.)
#include "editor_fixture.h"

#include "commands.h"

#include <QAction>
#include <QPushButton>

namespace ombrix::test {
namespace {

TEST(Window, RuleSetCheckMarksAndHelpDialogsUnderTheirCaptionsClosedByOkEnterEsc) {
    Editor w;
    QAction* ombrix = w.frame.menuAction(ID_RULESET_OMBRIX);
    QAction* tandrel = w.frame.menuAction(ID_RULESET_TANDREL);
    ASSERT_TRUE(ombrix && tandrel);
    EXPECT_TRUE(ombrix->isChecked());
    EXPECT_FALSE(tandrel->isChecked());
    w.board.state(3, 3) = 200;
    tandrel->trigger();
    EXPECT_TRUE(tandrel->isChecked() && !ombrix->isChecked());
    EXPECT_EQ(RegionDiff(w.grab(), 10, 5, sprites::kBannerTandrel), 0);
    ombrix->trigger();
    EXPECT_EQ(w.board.state(3, 3), 200); // the switch keeps given black cells
    EXPECT_TRUE(ombrix->isChecked());
    // A rule set from a file that is neither: no check mark at all.
    w.board.ruleSet = 7;
    w.frame.UpdateCommandUI();
    EXPECT_FALSE(ombrix->isChecked() || tandrel->isChecked());

    // The help dialogs change nothing.
    const std::pair<int, const char*> cases[] = {
        {ID_APP_ABOUT, "ﾊﾞｰｼﾞｮﾝ情報"},
        {ID_HELP_OMBRIX_RULES, "Ombrixルール説明"},
        {ID_HELP_TANDREL_RULES, "Tandrelルール説明"},
        {ID_HELP_EDIT_OPERATION, "操作説明(作成時)"},
        {ID_HELP_SOLVE_OPERATION, "操作説明(解答時)"},
    };
    w.board.status = StatusUnsolvable;
    const QByteArray before = w.snapshot();
    QString title;
    int way = 0, result = -1;
    w.modal.dialogScript = [&](QDialog& d) {
        d.show();
        title = d.windowTitle();
        if (way == 0)
            QTest::mouseClick(d.findChild<QPushButton*>(QStringLiteral("id1")), Qt::LeftButton);
        else
            QTest::keyClick(&d, way == 1 ? Qt::Key_Return : Qt::Key_Escape);
        return result = d.isVisible() ? -1 : d.result();
    };
    for (const auto& [command, caption] : cases)
        for (way = command == ID_APP_ABOUT ? 0 : 2; way < 3; ++way) {
            SCOPED_TRACE(testing::Message() << caption << " way " << way);
            w.frame.OnCommand(command);
            EXPECT_EQ(title, QString::fromUtf8(caption));
            EXPECT_EQ(result, way == 2 ? QDialog::Rejected : QDialog::Accepted);
        }
    EXPECT_EQ(w.snapshot(), before);
    EXPECT_EQ(w.modal.dialogs.size(), 7);
}

} // namespace
} // namespace ombrix::test
