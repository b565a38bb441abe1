// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/ShadowingScene.h"

#include "components/profile/CreateSoundProfiler.h"
#include "components/recorder/CMP3Enc.h"
#include "components/takes/CreateTakeEngines.h"
#include "support/FileBytes.h"
#include "support/WavFile.h"
#include "window/sentences/SentenceWork.h"
#include "window/shadowing/Shadowing.h"

#include <QAction>
#include <QTest>
#include <stdexcept>

namespace {

// Writes the corpus as a WAV file at the monitor's rate; its decoded sound.
DecodedSound WriteSpoken(const SpokenCorpus& corpus, const std::string& path)
{
    WriteFileBytes(path, WavBytes(AtTwiceTheRate(corpus.samples), 2 * corpus.rate));
    DecodedSound sound = DecodeSound(path);
    if (!sound.problem.empty())
        throw std::runtime_error(path + ": " + sound.problem);
    return sound;
}

} // namespace

ShadowingScene::ShadowingScene(const std::string& folder, PrivatePulseSession& server, ServerRecording& monitor,
                               const std::string& said, const SpokenReading& reading)
    : lesson(MakeSpokenCorpus({EverydaySentences()[0], EverydaySentences()[1]}, {0.5}, std::nullopt)),
      repetition(MakeSpokenCorpus({said}, {}, std::nullopt, 0.3, reading)),
      m_server(server),
      m_monitor(monitor),
      m_repetitionPath(folder + "/repetition.wav")
{
    const std::string media = folder + "/lesson.wav";
    lessonSound = WriteSpoken(lesson, media);
    repetitionSound = WriteSpoken(repetition, m_repetitionPath);

    window.Start(WindowHarness::RealRecorder(CMP3Enc::kDefaultInput), WindowHarness::RealPlayer(),
                 CreateSoundProfiler(folder + "/cache"), CreateTakeEngines());
    window.prompts.openAnswers.push_back(media);
    window.Click(ControlId::Open);
    const SentenceFinder& finder = window.dlg->Sentences().Finder();
    if (!QTest::qWaitFor([&] { return finder.Progress() == SentenceFinder::State::Found; }, 10000)
        || finder.Sentences().size() != 2)
        throw std::runtime_error("the lesson's two sentences were not found");
    window.Click(ControlId::TopStop);
    sentence = finder.Sentences()[0];
}

ShadowingScene::Turn ShadowingScene::DrillTheFirstSentence()
{
    Turn turn;
    Shadowing& shadowing = window.dlg->Shadow();
    const QMetaObject::Connection watch =
        QObject::connect(&shadowing, &Shadowing::phaseChanged, [&](Shadowing::Phase phase) {
            if (phase == Shadowing::Phase::Recording)
                turn.recordingMark = m_monitor.Size();
            if (phase == Shadowing::Phase::PlayingTake)
                turn.playbackMark = m_monitor.Size();
        });
    window.dlg->Segment().SetSegment(sentence.start, sentence.end);
    window.prompts.drillAnswers.push_back(DrillSettings{1, 0, false, true, false});
    turn.sentenceMark = m_monitor.Size();
    QAction* drill = window.MenuCommand(QStringLiteral("Drill..."));
    if (!drill)
        throw std::runtime_error("no Drill... command");
    drill->trigger();
    const bool recording =
        QTest::qWaitFor([&] { return shadowing.CurrentPhase() == Shadowing::Phase::Recording; }, 10000);
    bool ended = false;
    if (recording) {
        turn.capturingMark = m_monitor.Size();
        m_server.PlayFile(m_repetitionPath);
        ended = QTest::qWaitFor([&] { return !window.dlg->Sentences().Drilling().IsRunning(); }, 20000);
    }
    QObject::disconnect(watch);
    if (!recording)
        throw std::runtime_error("the take never started recording");
    if (!ended)
        throw std::runtime_error("the drill's turn did not end within 20 s");
    // What the server still plays.
    QTest::qWait(300);
    return turn;
}
