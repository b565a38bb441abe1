// SPDX-License-Identifier: GPL-3.0-or-later
// The whole process under a comma-decimal locale (LC_ALL and Qt's default
// locale): every number the window shows, reads, writes to its files and
// reads back stays C-locale text with a decimal point.

#include "support/FileBytes.h"
#include "support/WindowTest.h"

#include <QLineEdit>
#include <QLocale>
#include <clocale>
#include <cstring>

namespace {

constexpr ControlId kStartBox = ControlId::StartTime, kEndBox = ControlId::EndTime, kTimeStepBox = ControlId::TimeStep,
                    kPointStepBox = ControlId::PointStep, kLeadInBox = ControlId::LeadIn;
constexpr ControlId kAddPointButton = ControlId::AddPoint;
constexpr ControlId kSavePointsButton = ControlId::SavePoints;

// LC_ALL and Qt's default locale set to German for as long as the object lives.
class GermanEverywhere {
public:
    GermanEverywhere() : m_savedC(std::setlocale(LC_ALL, nullptr)), m_savedQt(QLocale())
    {
        for (const char* name : {"de_DE.UTF-8", "de_DE.utf8"}) {
            if (std::setlocale(LC_ALL, name) && std::strcmp(std::localeconv()->decimal_point, ",") == 0) {
                QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
                m_active = true;
                return;
            }
        }
        std::setlocale(LC_ALL, m_savedC.c_str());
    }
    GermanEverywhere(const GermanEverywhere&) = delete;
    GermanEverywhere& operator=(const GermanEverywhere&) = delete;
    ~GermanEverywhere()
    {
        std::setlocale(LC_ALL, m_savedC.c_str());
        QLocale::setDefault(m_savedQt);
    }

    bool Active() const { return m_active; }

private:
    std::string m_savedC;
    QLocale m_savedQt;
    bool m_active = false;
};

class CommaLocaleTest : public WindowTest {};

TEST_F(CommaLocaleTest, EveryNumberShownReadWrittenAndReadBackKeepsItsDecimalPoint)
{
    GermanEverywhere german;
    if (!german.Active())
        GTEST_SKIP() << "de_DE.UTF-8 is not installed (scripts/install-deps.sh generates it)";
    const std::string media = PathIn("lesson.mp3");
    WriteFileBytes(environment.settingsPath,
                   "4.500000\r\n9.250000\r\n0.250000\r\n0.125000\r\n0.330000\r\n" + media);
    WriteFileBytes(PathIn("lesson.txt"), "1.500000\r\n2.750000\r\n");

    // Read from the files and shown in the boxes.
    Start();
    EXPECT_EQ(Text(kStartBox), "4.5");
    EXPECT_EQ(Text(kEndBox), "9.25");
    EXPECT_EQ(Text(kTimeStepBox), "0.25");
    EXPECT_EQ(Text(kPointStepBox), "0.125");
    EXPECT_EQ(Text(kLeadInBox), "0.33");
    EXPECT_EQ(dlg->Points().Times(), (std::vector<double>{1.5, 2.75}));

    // Typed in: a decimal point is read as one, a comma ends the number.
    Edit(kLeadInBox)->setText("0.5");
    Edit(kTimeStepBox)->setText("1,5");
    player->position = 12.75;
    Click(kAddPointButton);
    EXPECT_EQ(dlg->Points().LeadIn(), 0.5);
    EXPECT_EQ(dlg->Segment().Step(), 1);
    EXPECT_EQ(Entries().back(), "12.250000");

    // Written to the files.
    prompts.answers.push_back(BoxAnswer::Yes); // replace the existing pause-point file
    Click(kSavePointsButton);
    EXPECT_EQ(ReadFileBytes(PathIn("lesson.txt")), "1.500000\r\n2.750000\r\n12.250000\r\n");
    dlg->close();
    EXPECT_EQ(ReadFileBytes(environment.settingsPath),
              "4.500000\r\n9.250000\r\n1.000000\r\n0.125000\r\n0.500000\r\n" + media);

    // And read back by the next start.
    prompts.boxes.clear();
    Start();
    EXPECT_EQ(Text(kLeadInBox), "0.5");
    EXPECT_EQ(dlg->Points().Times(), (std::vector<double>{1.5, 2.75, 12.25}));
    EXPECT_TRUE(prompts.boxes.empty()) << prompts.boxes.front().text;
}

} // namespace
