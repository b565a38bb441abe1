// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/align/TextAlignWork.h"

#include "components/transcript/TextEncoding.h"
#include "components/transcript/TranscriptFile.h"
#include "components/transcript/TranscriptWriter.h"
#include "window/DialogPrompts.h"
#include "window/align/AlignPanel.h"
#include "window/align/AlignedTranscript.h"
#include "window/commands/WindowCommands.h"
#include "window/media/CurrentMedia.h"
#include "window/media/MediaSession.h"
#include "window/pausepoints/PausePointText.h"
#include "window/preferences/Preferences.h"
#include "window/sentences/SentenceFinder.h"
#include "window/text/TextFile.h"
#include "window/transcript/LineSnapping.h"
#include "window/transcript/SpareTranscript.h"
#include "window/transcript/TranscriptWindow.h"
#include "window/transcript/TranscriptWork.h"

#include <QAction>
#include <algorithm>
#include <filesystem>
#include <fcntl.h>
#include <unistd.h>

namespace {

const QString kVoiceKey = QStringLiteral("Align/Voice");
constexpr const char* kDefaultVoice = "en";
constexpr const char* kTextFilter = "Text files|*.txt *.text|All files|*.*||";
// Larger texts are refused: no lesson's text is that long.
constexpr std::uint64_t kLargestText = 20ull * 1024 * 1024;
// How far into a pause an edge stays from the sound, as the transcript's own
// snapping keeps it.
constexpr double kSnapMargin = 0.1;

std::string Utf8(const QString& text)
{
    return text.toStdString();
}

// The first line holding a byte no text has (NUL, or a control character
// other than tab, line and page ends); 0 for none.
std::size_t FirstBinaryLine(const std::string& utf8)
{
    std::size_t line = 1;
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte == '\n')
            ++line;
        else if (byte < 0x20 && byte != '\t' && byte != '\r' && byte != '\f')
            return line;
        else if (byte == 0x7F)
            return line;
    }
    return 0;
}

bool HoldsNoText(const std::string& utf8)
{
    return std::all_of(utf8.begin(), utf8.end(), [](char c) { return std::isspace(static_cast<unsigned char>(c)); });
}

bool IsPausePointFile(const std::string& chosen, const std::string& mediaPath)
{
    std::error_code error;
    const std::string points = PausePointPathFor(mediaPath);
    return std::filesystem::equivalent(chosen, points, error)
           || std::filesystem::path(chosen).lexically_normal() == std::filesystem::path(points).lexically_normal();
}

std::string BesideMedia(const std::string& mediaPath)
{
    return std::filesystem::path(mediaPath).replace_extension(".lrc").string();
}

bool TakesNewFile(const std::string& folder)
{
    // As the program's effective user, who writes the file.
    return ::faccessat(AT_FDCWD, folder.empty() ? "." : folder.c_str(), W_OK | X_OK, AT_EACCESS) == 0;
}

} // namespace

TextAlignWork::TextAlignWork(std::unique_ptr<TextAligner> aligner, const CurrentMedia& media,
                             const MediaSession& opening, TranscriptWork& transcript, const SentenceFinder& finder,
                             Preferences& preferences, DialogPrompts& prompts, std::string spareFolder)
    : m_aligner(std::move(aligner)),
      m_media(media),
      m_transcript(transcript),
      m_finder(finder),
      m_preferences(preferences),
      m_prompts(prompts),
      m_spareFolder(std::move(spareFolder))
{
    connect(m_aligner.get(), &TextAligner::progressed, this, &TextAlignWork::OnProgress);
    connect(&opening, &MediaSession::mediaLoaded, this, &TextAlignWork::OnMediaLoaded);
    connect(&finder, &SentenceFinder::sentencesChanged, this, &TextAlignWork::UpdateEnabled);
    connect(&transcript, &TranscriptWork::windowMade, this, &TextAlignWork::OnWindowMade);
}

TextAlignWork::~TextAlignWork() = default;

void TextAlignWork::AddCommands(WindowCommands& commands)
{
    m_command = commands.Add(tr("Align text..."), {}, [this] { AlignText(); }, m_transcript.Submenu());
    UpdateEnabled();
}

void TextAlignWork::OnWindowMade(TranscriptWindow& window)
{
    m_panel = new AlignPanel(window);
    window.AddPanel(m_panel);
    // The button runs the command, through the window's dispatch as the menu does.
    connect(m_panel, &AlignPanel::alignRequested, this, [this] {
        if (m_command)
            m_command->trigger();
    });
    connect(m_panel, &AlignPanel::cancelRequested, this, &TextAlignWork::Cancel);
    UpdateEnabled();
}

void TextAlignWork::UpdateEnabled()
{
    const bool sound = !m_media.Path().empty() && m_finder.Progress() != SentenceFinder::State::NoSound;
    if (m_command)
        m_command->setEnabled(sound);
    if (m_panel)
        m_panel->SetAlignEnabled(sound);
}

void TextAlignWork::AlignText()
{
    if (m_media.Path().empty() || m_finder.Progress() == SentenceFinder::State::NoSound)
        return;
    const std::string mediaPath = m_media.Path();
    m_transcript.ShowWindow();
    const std::optional<std::string> chosen = m_prompts.OpenFile(mediaPath, kTextFilter);
    if (!chosen)
        return;
    if (IsPausePointFile(*chosen, mediaPath)) {
        m_prompts.ShowMessage(m_prompts.AppName(),
                              Utf8(tr("\"%1\" holds the pause points of this media, not a text to align. Choose "
                                      "the text that is read in the recording.")
                                       .arg(QString::fromStdString(*chosen))),
                              BoxIcon::Exclamation);
        return;
    }
    const std::optional<std::string> text = ReadText(*chosen);
    if (!text)
        return;
    const std::optional<std::string> voice = ChooseVoice();
    if (!voice)
        return;
    const std::string key = AlignmentKey(*text, *voice);
    if (ShowSavedResult(key) || !m_transcript.OfferToSave())
        return;
    m_running = Running{mediaPath, std::filesystem::path(*chosen).filename().string(), key};
    if (m_panel)
        m_panel->ShowRunning(0, std::nullopt);
    m_aligner->Align(mediaPath, *text, *voice);
}

std::optional<std::string> TextAlignWork::ReadText(const std::string& path)
{
    const auto refuse = [this](const QString& why) {
        m_prompts.ShowMessage(m_prompts.AppName(), Utf8(tr("The text cannot be aligned: %1").arg(why)),
                              BoxIcon::Exclamation);
        return std::nullopt;
    };
    const QString name = QString::fromStdString(path);
    const FileBytesResult read = ReadSmallFile(path, kLargestText);
    if (!read.bytes)
        return refuse(QString::fromStdString(read.error));
    DecodedText decoded = DecodeText(*read.bytes);
    if (const std::size_t line = FirstBinaryLine(decoded.utf8))
        return refuse(tr("%1 is no text file: line %2 holds binary bytes.").arg(name).arg(line));
    if (HoldsNoText(decoded.utf8))
        return refuse(tr("%1 holds no text.").arg(name));
    return std::move(decoded.utf8);
}

std::optional<std::string> TextAlignWork::ChooseVoice()
{
    const std::vector<AlignVoice> voices = m_aligner->Voices();
    if (voices.empty()) {
        m_prompts.ShowMessage(m_prompts.AppName(),
                              Utf8(tr("The text cannot be aligned: the speech synthesiser has no voice.")),
                              BoxIcon::Stop);
        return std::nullopt;
    }
    const std::string remembered = Utf8(m_preferences.Value(kVoiceKey, kDefaultVoice).toString());
    // The voice chosen last time, else English, else the first.
    const auto withId = [&voices](const std::string& id) {
        return std::find_if(voices.begin(), voices.end(), [&id](const AlignVoice& voice) { return voice.id == id; });
    };
    auto current = withId(remembered);
    if (current == voices.end())
        current = withId(kDefaultVoice);
    std::vector<std::string> names;
    for (const AlignVoice& voice : voices)
        names.push_back(voice.name);
    const std::optional<std::size_t> chosen =
        m_prompts.ChooseOne(m_prompts.AppName(), Utf8(tr("The language of the text:")), names,
                           current == voices.end() ? 0 : std::size_t(current - voices.begin()));
    if (!chosen || *chosen >= voices.size())
        return std::nullopt;
    m_preferences.SetValue(kVoiceKey, QString::fromStdString(voices[*chosen].id));
    return voices[*chosen].id;
}

bool TextAlignWork::ShowSavedResult(const std::string& key)
{
    for (const std::string& path : {BesideMedia(m_media.Path()), SpareTranscriptPath(m_spareFolder, m_media.Path())}) {
        const TranscriptReadResult read = ReadTranscriptFile(path);
        if (!read.transcript)
            continue;
        if (!IsAlignmentOf(*read.transcript, key))
            continue;
        m_transcript.LoadTranscript(path);
        ShowEnded(tr("This text was aligned with this voice before: its times are read from \"%1\".")
                      .arg(QString::fromStdString(path)),
                  false);
        return true;
    }
    return false;
}

void TextAlignWork::Cancel()
{
    if (!m_running)
        return;
    m_aligner->Cancel();
    m_running.reset();
    ShowEnded(tr("The alignment was cancelled; nothing was saved."), false);
}

void TextAlignWork::OnMediaLoaded()
{
    if (m_running) {
        m_aligner->Cancel();
        m_running.reset();
        ShowEnded({}, false);
    }
    UpdateEnabled();
}

void TextAlignWork::OnProgress(const AlignmentReport& report)
{
    if (!m_running || report.mediaPath != m_running->mediaPath)
        return;
    const QString textName = QString::fromStdString(m_running->textName);
    if (!report.finished) {
        // The lines are made again only when more were timed: a book's
        // thousands of lines are not rebuilt with every report.
        if (report.sentences.size() != m_running->shown) {
            m_running->shown = report.sentences.size();
            m_transcript.AdoptTranscript(AlignedTranscript(report.sentences, SpansOf(report.sentences)), TargetPath(),
                                         tr("%1, being aligned: %2 of %3 sentences")
                                             .arg(textName)
                                             .arg(report.sentences.size())
                                             .arg(report.total));
        }
        if (m_panel)
            m_panel->ShowRunning(report.fraction, report.secondsLeft);
        return;
    }
    if (!report.problem.empty() || report.sentences.empty()) {
        m_running.reset();
        const QString why = tr("The text could not be aligned: %1")
                                .arg(report.problem.empty() ? tr("no sentence of it was timed.")
                                                            : QString::fromStdString(report.problem));
        ShowEnded(why, true);
        m_prompts.ShowMessage(m_prompts.AppName(), Utf8(why), BoxIcon::Stop);
        return;
    }
    Keep(report);
}

std::string TextAlignWork::TargetPath() const
{
    const std::string beside = BesideMedia(m_media.Path());
    return TakesNewFile(std::filesystem::path(beside).parent_path().string())
               ? beside
               : SpareTranscriptPath(m_spareFolder, m_media.Path());
}

void TextAlignWork::Keep(const AlignmentReport& report)
{
    const Running done = *m_running;
    m_running.reset();
    Transcript transcript = AlignedTranscript(
        report.sentences, SnapLines(SpansOf(report.sentences), m_finder.Map().silences, kSnapMargin));
    TagAlignment(transcript, done.key);
    const QString textName = QString::fromStdString(done.textName);
    const std::string path = TargetPath();
    const QString shownPath = QString::fromStdString(path);
    const auto keepUnsaved = [&](const QString& line, bool failed) {
        m_transcript.AdoptTranscript(std::move(transcript), path, tr("%1, aligned, not saved").arg(textName));
        ShowEnded(line, failed);
    };

    std::error_code error;
    if (std::filesystem::exists(path, error)
        && m_prompts.AskYesNo(m_prompts.AppName(),
                              Utf8(tr("\"%1\" exists. Replace it with the aligned text?").arg(shownPath)),
                              BoxIcon::Question)
               != BoxAnswer::Yes) {
        keepUnsaved(tr("Not saved: \"Save transcript\" writes it to \"%1\".").arg(shownPath), false);
        return;
    }
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), error);
    if (std::optional<std::string> failure = ReplaceFileBytes(path, WriteTranscript(transcript))) {
        const QString why = tr("The aligned transcript could not be saved: %1: %2")
                                .arg(shownPath, QString::fromStdString(*failure));
        keepUnsaved(why, true);
        m_prompts.ShowMessage(m_prompts.AppName(), Utf8(why), BoxIcon::Stop);
        return;
    }
    const std::size_t lines = transcript.lines.size();
    m_transcript.LoadTranscript(path);
    ShowEnded(tr("%1 sentences aligned and saved in \"%2\".").arg(lines).arg(shownPath), false);
}

void TextAlignWork::ShowEnded(const QString& line, bool failed)
{
    if (m_panel)
        m_panel->ShowEnded(line, failed);
}
