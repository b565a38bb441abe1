// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/InterfaceLanguage.h"
#include "support/WindowTest.h"
#include "window/sentences/DrillDialog.h"

#include <QAbstractButton>
#include <QAction>
#include <QMenu>

// The Chinese interface: the program's own additions come in Chinese, the
// dialog's captions and its About item stay as they are.

namespace {

const QLocale kChinese(QLocale::Chinese, QLocale::China);

// The texts of a menu and its submenus, without their keys.
QStringList CommandTexts(const QMenu& menu)
{
    QStringList texts;
    for (QAction* action : menu.actions()) {
        texts << action->text().section('\t', 0, 0);
        if (action->menu())
            texts << CommandTexts(*action->menu());
    }
    return texts;
}

class TranslationTest : public WindowTest {};

TEST_F(TranslationTest, TheAdditionsAreInChineseAndTheDialogsCaptionsStay)
{
    auto language = std::make_unique<InterfaceLanguage>(kChinese);
    ASSERT_TRUE(language->Installed());
    Start();

    const QStringList texts = CommandTexts(*dlg->SystemMenu());
    EXPECT_TRUE(texts.contains(QString::fromUtf8("下一句")));
    EXPECT_TRUE(texts.contains(QString::fromUtf8("播放/暂停")));
    EXPECT_TRUE(texts.contains(QString::fromUtf8("文稿窗口")));
    EXPECT_FALSE(texts.contains("Next sentence"));
    // The commands named after a button say what the button says.
    EXPECT_TRUE(texts.contains("Stop"));
    EXPECT_TRUE(texts.contains("Start Repeat Time"));
    EXPECT_EQ(texts.back(), QString::fromUtf8("关于 Ardeno Audio Recorder(&A)..."));
    EXPECT_EQ(Button(ControlId::Play)->text(), QString("Play"));
    EXPECT_EQ(Button(ControlId::MarkEnd)->text(), QString("End  Repeat Time"));
    EXPECT_EQ(DrillDialog(DrillSettings{}).windowTitle(), QString::fromUtf8("跟读练习"));

    language.reset();
    EXPECT_EQ(DrillDialog(DrillSettings{}).windowTitle(), QString("Drill"));
}

TEST_F(TranslationTest, ALocaleWithoutATranslationKeepsEnglish)
{
    const InterfaceLanguage language(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_FALSE(language.Installed());
    Start();
    EXPECT_TRUE(CommandTexts(*dlg->SystemMenu()).contains("Next sentence"));
    EXPECT_EQ(DrillDialog(DrillSettings{}).windowTitle(), QString("Drill"));
}

} // namespace
