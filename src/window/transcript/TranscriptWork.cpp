// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/transcript/TranscriptWork.h"

#include "components/transcript/TranscriptFile.h"
#include "components/transcript/TranscriptWriter.h"
#include "window/CMediaplayer1.h"
#include "window/DialogPrompts.h"
#include "window/commands/WindowCommands.h"
#include "window/media/CurrentMedia.h"
#include "window/media/MediaSession.h"
#include "window/preferences/Preferences.h"
#include "window/segment/SegmentRepeat.h"
#include "window/sentences/Drill.h"
#include "window/sentences/SentenceFinder.h"
#include "window/text/TextFile.h"
#include "window/transcript/LineCaption.h"
#include "window/transcript/LineSnapping.h"
#include "window/transcript/SpareTranscript.h"
#include "window/transcript/TranscriptWindow.h"
#include "window/waveform/WaveformView.h"

#include <QAction>
#include <QFileInfo>
#include <QMenu>
#include <algorithm>
#include <filesystem>

namespace {

const QString kSnapKey = QStringLiteral("Transcript/SnapLines");
const QString kBandLayer = QStringLiteral("transcript");
const QColor kLineBand(250, 200, 80, 36);
const QColor kOtherLineBand(250, 160, 60, 36);
// How far into a pause a snapped edge stays from the sound.
constexpr double kSnapMargin = 0.1;
// One step of "Transcript earlier" and "Transcript later".
constexpr double kShiftStep = 0.05;
// Where the media's length is not known yet, an LRC file's last line lasts this long.
constexpr double kLongestLastLine = 15.0;
// The highlight follows the sound this often.
constexpr int kFollowMs = 20;
// A band's label: the line's first words, up to this many characters.
constexpr int kLabelLength = 24;

constexpr const char* kTranscriptFilter =
    "Transcripts (*.lrc *.srt *.vtt)|*.lrc;*.srt;*.vtt|All Files |*.*||";

QString FirstWords(const std::string& text)
{
    // Only the start is decoded: a label is a few words of what may be a long cue.
    std::size_t bytes = std::min(text.size(), std::size_t(8 * kLabelLength));
    while (bytes < text.size() && (static_cast<unsigned char>(text[bytes]) & 0xC0) == 0x80)
        --bytes;
    QString words = QString::fromUtf8(text.data(), qsizetype(bytes)).simplified();
    if (words.size() > kLabelLength)
        words = words.left(kLabelLength - 1) + QChar(0x2026);
    return words;
}

// A stream's name in the menu: its title and language, or its number.
QString StreamLabel(const SubtitleStream& stream, std::size_t index)
{
    const QString title = QString::fromStdString(stream.title);
    const QString language = QString::fromStdString(stream.language);
    if (!title.isEmpty() && !language.isEmpty())
        return title + QStringLiteral(" (") + language + QStringLiteral(")");
    if (!title.isEmpty() || !language.isEmpty())
        return title + language;
    return TranscriptWork::tr("Stream %1").arg(index + 1);
}

// The media path without its extension and with `extension`.
std::string BesideMedia(const std::string& mediaPath, const char* extension)
{
    return std::filesystem::path(mediaPath).replace_extension(extension).string();
}

} // namespace

TranscriptWork::TranscriptWork(CMediaplayer1& player, const CurrentMedia& media, const MediaSession& opening,
                               SentenceFinder& finder, SegmentRepeat& segment, Drill& drill, WaveformView& waveform,
                               const QWidget& repeatButton, QWidget& window, Preferences& preferences,
                               WindowCommands& commands, DialogPrompts& prompts,
                               std::unique_ptr<SubtitleStreams> subtitles, std::string spareFolder)
    : m_player(player),
      m_media(media),
      m_finder(finder),
      m_segment(segment),
      m_drill(drill),
      m_waveform(waveform),
      m_repeatButton(repeatButton),
      m_mainWindow(window),
      m_preferences(preferences),
      m_commands(commands),
      m_prompts(prompts),
      m_model(m_document),
      m_caption(std::make_unique<LineCaption>(player)),
      m_subtitles(std::move(subtitles)),
      m_spareFolder(std::move(spareFolder))
{
    connect(m_subtitles.get(), &SubtitleStreams::streamsRead, this, &TranscriptWork::OnStreamsRead);
    m_snapping = preferences.Value(kSnapKey, true).toBool();
    m_follow.setInterval(kFollowMs);
    m_follow.setTimerType(Qt::PreciseTimer);
    connect(&m_follow, &QTimer::timeout, this, &TranscriptWork::Follow);
    connect(&opening, &MediaSession::mediaLoaded, this, &TranscriptWork::OnMediaLoaded);
    connect(&player, &CMediaplayer1::stateChanged, this, &TranscriptWork::OnPlaybackState);
    connect(&player, &CMediaplayer1::seeked, this, &TranscriptWork::Follow);
    m_waveform.SetMovableEdges(kBandLayer);
    connect(&m_waveform, &WaveformView::bandEdgeMoved, this,
            [this](const QString& layer, int band, bool start, double seconds) {
                if (layer == kBandLayer)
                    PlaceLineEdge(band, start, seconds);
            });
    // New pauses found in the sound snap the lines again.
    connect(&finder, &SentenceFinder::mapChanged, this, [this] {
        if (m_document.IsLoaded() && m_snapping)
            Update();
    });
}

TranscriptWork::~TranscriptWork() = default;

void TranscriptWork::AddCommands(WindowCommands& commands)
{
    using Keys = WindowCommands::Keys;
    QMenu* menu = m_menu = commands.AddSubmenu(tr("Transcript"));
    commands.Add(tr("Transcript window"), Keys{Qt::ControlModifier | Qt::Key_L}, [this] { ShowWindow(); },
                 menu);
    commands.Add(tr("Open transcript..."), {}, [this] { OpenTranscript(); }, menu);
    m_streamMenu = commands.AddSubmenu(tr("Subtitle stream"), menu);
    ListStreams();
    m_needTranscript = {
        commands.Add(tr("Save transcript"), {}, [this] { SaveTranscript(); }, menu),
        commands.Add(tr("Transcript earlier"), Keys{Qt::AltModifier | Qt::Key_Left},
                     [this] { Shift(-kShiftStep); }, menu),
        commands.Add(tr("Transcript later"), Keys{Qt::AltModifier | Qt::Key_Right},
                     [this] { Shift(kShiftStep); }, menu),
    };
    commands.AddCheckable(tr("Snap lines to pauses"), {}, m_snapping, [this](bool on) { SetSnapping(on); },
                          menu);
    commands.AddSeparator(menu);
    commands.Add(tr("Save sentence times as LRC"), {}, [this] { SaveSentenceTimes(TranscriptFormat::Lrc); },
                 menu);
    commands.Add(tr("Save sentence times as SRT"), {}, [this] { SaveSentenceTimes(TranscriptFormat::Srt); },
                 menu);
    for (QAction* command : m_needTranscript)
        command->setEnabled(false);
}

void TranscriptWork::OnMediaLoaded(const std::string& path)
{
    OfferToSave();
    m_document.Clear();
    m_placedByHand.clear();
    m_failure.clear();
    m_adoptedHeadline.clear();
    std::optional<std::string> found = FindTranscriptBeside(path);
    // Else one the program wrote for this media where the user keeps data.
    std::error_code error;
    if (const std::string spare = SpareTranscriptPath(m_spareFolder, path);
        !found && std::filesystem::is_regular_file(spare, error))
        found = spare;
    if (found)
        LoadTranscript(*found);
    else
        DocumentChanged();
    m_streams.clear();
    m_streamProblem.clear();
    m_shownStream = -1;
    ListStreams();
    m_subtitles->Read(path);
}

void TranscriptWork::OnStreamsRead(const SubtitleReading& reading)
{
    if (reading.path != m_media.Path())
        return;
    m_streams = reading.streams;
    m_streamProblem = reading.problem;
    ListStreams();
    // A file beside the media, or one the user opened meanwhile, wins.
    if (!m_streams.empty() && !m_document.IsLoaded() && m_failure.empty())
        ShowStream(0);
}

void TranscriptWork::ShowStream(std::size_t index)
{
    if (index >= m_streams.size() || !OfferToSave())
        return;
    m_failure.clear();
    m_adoptedHeadline.clear();
    m_document.Adopt(m_streams[index].transcript, BesideMedia(m_media.Path(), ".srt"),
                     StreamLabel(m_streams[index], index).toStdString());
    MarkShownStream(int(index));
    DocumentChanged();
    ShowWindow();
}

void TranscriptWork::ListStreams()
{
    if (!m_streamMenu)
        return;
    m_streamMenu->clear();
    m_streamPicks.clear();
    for (std::size_t index = 0; index < m_streams.size(); ++index) {
        QAction* pick = m_commands.Add(StreamLabel(m_streams[index], index), {}, [this, index] { ShowStream(index); },
                                       m_streamMenu);
        pick->setCheckable(true);
        m_streamPicks.push_back(pick);
    }
    MarkShownStream(m_shownStream);
    if (!m_streamProblem.empty())
        m_streamMenu->addAction(tr("Not all streams could be read: %1").arg(QString::fromStdString(m_streamProblem)))
            ->setEnabled(false);
    else if (m_streams.empty())
        m_streamMenu->addAction(tr("No subtitle stream in this media"))->setEnabled(false);
}

void TranscriptWork::MarkShownStream(int index)
{
    m_shownStream = index;
    for (std::size_t pick = 0; pick < m_streamPicks.size(); ++pick)
        m_streamPicks[pick]->setChecked(int(pick) == index);
}

void TranscriptWork::OpenTranscript()
{
    const std::string start = m_document.IsLoaded() ? m_document.Path() : m_media.Path();
    if (std::optional<std::string> chosen = m_prompts.OpenFile(start, kTranscriptFilter))
        LoadTranscript(*chosen);
}

void TranscriptWork::LoadTranscript(const std::string& path)
{
    if (!OfferToSave())
        return;
    m_failure.clear();
    m_adoptedHeadline.clear();
    m_placedByHand.clear();
    if (std::optional<std::string> failure = m_document.Load(path))
        m_failure = *failure;
    MarkShownStream(-1);
    DocumentChanged();
    ShowWindow();
}

void TranscriptWork::AdoptTranscript(Transcript transcript, const std::string& savePath, const QString& headline)
{
    m_failure.clear();
    m_placedByHand.clear();
    m_document.Adopt(std::move(transcript), savePath, headline.toStdString());
    m_adoptedHeadline = headline;
    MarkShownStream(-1);
    DocumentChanged();
}

bool TranscriptWork::OfferToSave()
{
    if (!m_document.IsModified())
        return true;
    const BoxAnswer answer = m_prompts.AskYesNo(
        m_prompts.AppName(), tr("The times of the transcript \"%1\" were changed. Save them?")
                                   .arg(QString::fromStdString(m_document.Path()))
                                   .toStdString(),
        BoxIcon::Question);
    if (answer == BoxAnswer::Yes)
        SaveTranscript();
    return !m_document.IsModified() || answer == BoxAnswer::No;
}

void TranscriptWork::ShowWindow()
{
    MadeWindow().Present();
    m_window->ShowHeard(m_model.Heard());
}

TranscriptWindow& TranscriptWork::MadeWindow()
{
    if (!m_window) {
        m_window = std::make_unique<TranscriptWindow>(m_mainWindow, m_model, m_preferences, m_commands);
        connect(m_window.get(), &TranscriptWindow::lineClicked, this,
                [this](int row) { m_commands.Post([this, row] { PlayLine(row, false); }); });
        connect(m_window.get(), &TranscriptWindow::lineDoubleClicked, this,
                [this](int row) { m_commands.Post([this, row] { PlayLine(row, true); }); });
        DocumentChanged();
        emit windowMade(*m_window);
    }
    return *m_window;
}

void TranscriptWork::SaveTranscript()
{
    if (!m_document.IsLoaded())
        return;
    std::error_code error;
    const QString path = QString::fromStdString(m_document.Path());
    const QString replace = m_adoptedHeadline.isEmpty()
                                ? tr("\"%1\" exists. Replace it with the subtitle stream?").arg(path)
                                : tr("\"%1\" exists. Replace it with \"%2\"?").arg(path, m_adoptedHeadline);
    if (m_document.FromStream() && std::filesystem::exists(m_document.Path(), error) &&
        m_prompts.AskYesNo(m_prompts.AppName(), replace.toStdString(), BoxIcon::Question) != BoxAnswer::Yes)
        return;
    if (m_document.ChangedOnDisk() &&
        m_prompts.AskYesNo(m_prompts.AppName(),
                           tr("\"%1\" was changed by another program since it was read. Replace it?")
                               .arg(QString::fromStdString(m_document.Path()))
                               .toStdString(),
                           BoxIcon::Exclamation) != BoxAnswer::Yes)
        return;
    if (std::optional<std::string> failure = m_document.Save())
        m_prompts.ShowMessage(m_prompts.AppName(),
                              tr("The transcript could not be saved: %1")
                                  .arg(QString::fromStdString(*failure))
                                  .toStdString(),
                              BoxIcon::Stop);
}

void TranscriptWork::SaveSentenceTimes(TranscriptFormat format)
{
    const std::vector<TimeSpan>& sentences = m_finder.Sentences();
    if (m_media.Path().empty() || sentences.empty()) {
        m_prompts.ShowMessage(m_prompts.AppName(),
                              tr("No sentences have been found in this media's sound yet.").toStdString(),
                              BoxIcon::Information);
        return;
    }
    const std::string path = BesideMedia(m_media.Path(), format == TranscriptFormat::Lrc ? ".lrc" : ".srt");
    std::error_code error;
    if (std::filesystem::exists(path, error) &&
        m_prompts.AskYesNo(m_prompts.AppName(), tr("\"%1\" exists. Replace it with the sentence times?")
                               .arg(QString::fromStdString(path))
                               .toStdString(),
                           BoxIcon::Question) != BoxAnswer::Yes)
        return;
    std::vector<std::pair<double, double>> spans;
    spans.reserve(sentences.size());
    for (const TimeSpan& sentence : sentences)
        spans.emplace_back(sentence.start, sentence.end);
    if (std::optional<std::string> failure = ReplaceFileBytes(path, WriteTimesOnly(spans, format)))
        m_prompts.ShowMessage(m_prompts.AppName(), tr("The sentence times could not be saved: %1: %2")
                                  .arg(QString::fromStdString(path), QString::fromStdString(*failure))
                                  .toStdString(),
                              BoxIcon::Stop);
    else
        m_prompts.ShowMessage(m_prompts.AppName(), tr("The times of %1 sentences were saved in \"%2\".")
                                  .arg(spans.size())
                                  .arg(QString::fromStdString(path))
                                  .toStdString(),
                              BoxIcon::Information);
}

void TranscriptWork::Shift(double seconds)
{
    m_document.Shift(seconds);
    m_model.TimesChanged();
    Update();
}

void TranscriptWork::PlaceLineEdge(int row, bool start, double seconds)
{
    if (row < 0 || std::size_t(row) >= m_spans.size())
        return;
    const TimeSpan before = m_spans[std::size_t(row)];
    TimeSpan placed = before;
    (start ? placed.start : placed.end) = seconds;
    if (placed.end <= placed.start)
        return;
    m_document.SetLineSpan(std::size_t(row), placed.start, placed.end);
    m_placedByHand[std::size_t(row)] = true;
    m_model.TimesChanged();
    Update();
    // A segment that was the line follows it.
    if (m_segment.Start() == before.start && m_segment.End() == before.end)
        m_segment.SetSegment(placed.start, placed.end);
}

void TranscriptWork::SetSnapping(bool on)
{
    m_snapping = on;
    m_preferences.SetValue(kSnapKey, on);
    Update();
}

void TranscriptWork::PlayLine(int row, bool again)
{
    if (row < 0 || std::size_t(row) >= m_spans.size() || !m_repeatButton.isEnabled())
        return;
    const TimeSpan& line = m_spans[std::size_t(row)];
    m_segment.SetSegment(line.start, line.end);
    if (again)
        m_drill.Start(DrillSettings{0, 1.0, false});
    else
        m_segment.Repeat();
}

double TranscriptWork::MediaLength() const
{
    if (std::optional<double> length = m_player.Length())
        return *length;
    const auto& lines = m_document.Lines();
    return lines.empty() ? 0 : lines.back().start + kLongestLastLine;
}

void TranscriptWork::Update()
{
    const double length = MediaLength();
    const std::vector<TimeSpan> given = m_document.Spans(length);
    const std::vector<TimeSpan>& silences = m_finder.Map().silences;
    m_spans = m_snapping ? SnapLines(given, silences, kSnapMargin) : given;
    m_placedByHand.resize(m_spans.size(), false);
    for (std::size_t index = 0; index < m_spans.size(); ++index)
        if (m_placedByHand[index])
            m_spans[index] = given[index];
    // Unsnapped lines are heard from the times the file gives.
    m_onsets = SoundOnsets(m_spans, m_snapping ? silences : std::vector<TimeSpan>{});
    m_finder.SetGivenSentences(m_document.IsLoaded() ? std::optional(m_spans) : std::nullopt);

    std::vector<WaveformBand> bands;
    bands.reserve(m_spans.size());
    for (std::size_t index = 0; index < m_spans.size(); ++index)
        bands.push_back({m_spans[index].start, m_spans[index].end, index % 2 ? kOtherLineBand : kLineBand,
                         FirstWords(m_document.Lines()[index].text)});
    m_waveform.SetBands(kBandLayer, std::move(bands));
    Follow();
}

void TranscriptWork::DocumentChanged()
{
    for (QAction* command : m_needTranscript)
        command->setEnabled(m_document.IsLoaded());
    m_model.Reload();
    if (m_window) {
        if (!m_failure.empty())
            m_window->SetHeadline(QString::fromStdString(m_failure), true);
        else if (m_document.FromStream() && !m_adoptedHeadline.isEmpty())
            m_window->SetHeadline(m_adoptedHeadline, false);
        else if (m_document.FromStream())
            m_window->SetHeadline(tr("%1, subtitle stream %2")
                                      .arg(QFileInfo(QString::fromStdString(m_media.Path())).fileName(),
                                           QString::fromStdString(m_document.StreamLabel())),
                                  false);
        else if (m_document.IsLoaded())
            m_window->SetHeadline(QFileInfo(QString::fromStdString(m_document.Path())).fileName() +
                                      (m_document.Title().empty()
                                           ? QString()
                                           : QStringLiteral(" — ") + QString::fromStdString(m_document.Title())),
                                  false);
        else
            m_window->SetHeadline(tr("No transcript beside this media. \"Open transcript...\" reads one."),
                                  false);
        m_window->SetProblem(QString::fromStdString(m_document.ProblemLine()));
    }
    Update();
    FollowWhilePlaying();
}

void TranscriptWork::OnPlaybackState(PlaybackState)
{
    FollowWhilePlaying();
}

void TranscriptWork::FollowWhilePlaying()
{
    // Nothing is looked up while nothing moves.
    if (m_player.PlayState() == PlaybackState::Playing && m_document.IsLoaded()) {
        if (!m_follow.isActive())
            m_follow.start();
    } else {
        m_follow.stop();
    }
    Follow();
}

void TranscriptWork::Follow()
{
    int heard = -1;
    if (!m_spans.empty() && m_player.PlayState() != PlaybackState::Stopped) {
        const double position = m_player.GetCurrentPosition();
        // The last line whose sound has begun, while it lasts.
        const auto after = std::upper_bound(m_onsets.begin(), m_onsets.end(), position);
        const auto line = std::size_t(after - m_onsets.begin());
        if (line > 0 && position < m_spans[line - 1].end)
            heard = int(line - 1);
    }
    if (heard == m_model.Heard())
        return;
    m_model.SetHeard(heard);
    if (m_window)
        m_window->ShowHeard(heard);
    QString caption;
    if (heard >= 0) {
        const TranscriptLine& line = m_document.Lines()[std::size_t(heard)];
        caption = QString::fromStdString(line.translation.empty() ? line.text : line.text + "\n" + line.translation);
    }
    m_caption->ShowLine(caption, m_waveform.isVisible() ? m_waveform.OverviewArea().top() - 2 : -1);
}
