// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/WindowHarness.h"

#include "components/player/CreateMediaPlayer.h"
#include "components/player/PlayerFault.h"
#include "components/recorder/CMP3Enc.h"
#include "support/FileBytes.h"
#include "window/commands/WindowCommands.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <gtest/gtest.h>

WindowHarness::WindowHarness()
{
    environment.appName = "ardeno-recorder";
    environment.settingsPath = PathIn("ardeno-recorder.ini");
    environment.preferencesPath = PathIn("preferences.ini");
    environment.transcriptFolder = PathIn("data/transcripts");
    environment.homePageUrl = "file:///guide.html";
}

WindowHarness::~WindowHarness() = default;

void WindowHarness::Create(std::unique_ptr<IRecorder> realRecorder, std::unique_ptr<IMediaPlayer> realPlayer,
                           std::unique_ptr<SoundProfiler> realProfiler, TakeEngines takes,
                           std::unique_ptr<TextAligner> realAligner)
{
    dlg.reset();
    player = nullptr;
    recorder = nullptr;
    profiler = nullptr;
    auto fakeSubtitles = std::make_unique<FakeSubtitleStreams>();
    subtitles = fakeSubtitles.get();
    aligner = nullptr;
    if (!realAligner) {
        auto fake = std::make_unique<FakeTextAligner>();
        aligner = fake.get();
        realAligner = std::move(fake);
    }
    takeRecorder = nullptr;
    takePlayer = nullptr;
    if (!realRecorder) {
        auto fake = std::make_unique<FakeRecorder>();
        recorder = fake.get();
        realRecorder = std::move(fake);
    }
    if (!realPlayer) {
        auto fake = std::make_unique<FakePlayer>();
        player = fake.get();
        realPlayer = std::move(fake);
    }
    if (!realProfiler) {
        auto fake = std::make_unique<FakeSoundProfiler>();
        profiler = fake.get();
        realProfiler = std::move(fake);
    }
    if (!takes.recorder) {
        auto fake = std::make_unique<FakeTakeRecorder>();
        takeRecorder = fake.get();
        takes.recorder = std::move(fake);
    }
    if (!takes.player) {
        auto fake = std::make_unique<FakeTakePlayer>();
        takePlayer = fake.get();
        takes.player = std::move(fake);
    }
    takeComparer = nullptr;
    if (!takes.comparer) {
        auto fake = std::make_unique<FakeTakeComparer>();
        takeComparer = fake.get();
        takes.comparer = std::move(fake);
    }
    dlg = std::make_unique<CRecorderDlg>(std::move(realRecorder), std::move(realPlayer), std::move(realProfiler),
                                         std::move(fakeSubtitles), std::move(realAligner), std::move(takes), prompts, environment);
}

void WindowHarness::Start(std::unique_ptr<IRecorder> recorder, std::unique_ptr<IMediaPlayer> player,
                          std::unique_ptr<SoundProfiler> profiler, TakeEngines takes,
                          std::unique_ptr<TextAligner> aligner)
{
    Create(std::move(recorder), std::move(player), std::move(profiler), std::move(takes), std::move(aligner));
    dlg->OnInitDialog();
    dlg->show();
}

std::unique_ptr<IMediaPlayer> WindowHarness::RealPlayer()
{
    try {
        return CreateMediaPlayer();
    } catch (const PlayerFault& fault) {
        ADD_FAILURE() << "the player cannot be built: " << fault.what();
        return nullptr;
    }
}

std::unique_ptr<IRecorder> WindowHarness::RealRecorder(const std::string& input)
{
    return std::make_unique<CMP3Enc>(input);
}

QWidget* WindowHarness::Control(ControlId id) const
{
    return dlg->Control(id);
}

QAbstractButton* WindowHarness::Button(ControlId id) const
{
    return qobject_cast<QAbstractButton*>(Control(id));
}

QLineEdit* WindowHarness::Edit(ControlId id) const
{
    return qobject_cast<QLineEdit*>(Control(id));
}

std::string WindowHarness::Text(ControlId id) const
{
    if (QLineEdit* edit = Edit(id))
        return edit->text().toStdString();
    return qobject_cast<QLabel*>(Control(id))->text().toStdString();
}

bool WindowHarness::IsEnabled(ControlId id) const
{
    return Control(id)->isEnabled();
}

void WindowHarness::Click(ControlId id)
{
    Button(id)->click();
}

void WindowHarness::LoseFocus(ControlId id)
{
    QFocusEvent focusOut(QEvent::FocusOut);
    QApplication::sendEvent(Control(id), &focusOut);
}

QAction* WindowHarness::MenuCommand(const QString& text) const
{
    if (QAction* found = dlg->Commands().CommandNamed(text))
        return found;
    ADD_FAILURE() << "no command " << text.toStdString();
    return nullptr;
}

std::string WindowHarness::PathIn(const std::string& name) const
{
    return dir.filePath(QString::fromStdString(name)).toStdString();
}

std::string WindowHarness::OpenMedia(const std::string& name, const std::optional<std::string>& pointFile)
{
    std::string path = PathIn(name);
    if (pointFile)
        WriteFileBytes(PathIn(name.substr(0, name.size() - 3) + "txt"), *pointFile);
    prompts.openAnswers.push_back(path);
    Click(ControlId::Open);
    return path;
}

QListWidget* WindowHarness::PointList() const
{
    return static_cast<QListWidget*>(Control(ControlId::PointList));
}

std::vector<std::string> WindowHarness::Entries() const
{
    QListWidget* list = PointList();
    std::vector<std::string> texts;
    for (int row = 0; row < list->count(); ++row)
        texts.push_back(list->item(row)->text().toStdString());
    return texts;
}

int WindowHarness::SelectedEntry() const
{
    QListWidget* list = PointList();
    QList<QListWidgetItem*> selected = list->selectedItems();
    return selected.isEmpty() ? -1 : list->row(selected.front());
}

void WindowHarness::SelectEntry(int row)
{
    PointList()->setCurrentRow(row);
}

void WindowHarness::RecordInto(const std::string& path)
{
    prompts.saveAnswers.push_back(path);
    Click(ControlId::SaveAs);
    Click(ControlId::Record);
}
