// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "components/sentences/PauseFinder.h"
#include "components/transcript/SubtitleStreams.h"
#include "window/transcript/TranscriptDocument.h"
#include "window/transcript/TranscriptLineModel.h"

#include <QObject>
#include <QTimer>
#include <memory>
#include <string>
#include <vector>

class CMediaplayer1;
class CurrentMedia;
class DialogPrompts;
class Drill;
class LineCaption;
class MediaSession;
class Preferences;
class QAction;
class QMenu;
class QWidget;
class SegmentRepeat;
class SentenceFinder;
class TranscriptWindow;
class WaveformView;
class WindowCommands;
class WindowDispatch;
enum class PlaybackState;

// Working line by line with the words of the media: the transcript found
// beside it (or opened from anywhere) read, shown in the Transcript window,
// the line being heard followed there and under the waveform, and its lines
// made the sentences that N, P, the drill and shadowing step through. Each
// line plays from the pause before its first sound to the pause after its
// last ("Snap lines to pauses", on unless turned off). All lines can be
// shifted together; nothing is written to the file unless the user saves.
// Without a transcript nothing of this shows. The text streams inside the
// media are transcripts too, read by `subtitles` as the media loads: the first
// becomes the transcript when no file is beside the media, and the "Subtitle
// stream" submenu picks any of them.
class TranscriptWork : public QObject {
    Q_OBJECT
public:
    // Lines play through `segment` while `repeatButton` is enabled; the
    // window's commands run the clicks on lines; `window` owns the
    // Transcript window. Without a transcript beside the media, one the
    // program wrote for it in `spareFolder` is read.
    TranscriptWork(CMediaplayer1& player, const CurrentMedia& media, const MediaSession& opening,
                   SentenceFinder& finder, SegmentRepeat& segment, Drill& drill, WaveformView& waveform,
                   const QWidget& repeatButton, QWidget& window, Preferences& preferences, WindowCommands& commands,
                   DialogPrompts& prompts, std::unique_ptr<SubtitleStreams> subtitles, std::string spareFolder);
    ~TranscriptWork() override;

    // Adds the "Transcript" submenu.
    void AddCommands(WindowCommands& commands);
    // The "Transcript" submenu, for the commands of other features on the
    // transcript; nullptr before AddCommands.
    QMenu* Submenu() const { return m_menu; }

    const TranscriptDocument& Document() const { return m_document; }
    // The lines as the segments they play (snapped, when snapping is on).
    const std::vector<TimeSpan>& LineSpans() const { return m_spans; }
    // The line being heard; -1 for none.
    int HeardLine() const { return m_model.Heard(); }
    // The Transcript window, made when first shown; nullptr before.
    TranscriptWindow* Window() const { return m_window.get(); }

    // The commands.
    void OpenTranscript();
    // Reads `path` as the transcript of the current media and shows it.
    void LoadTranscript(const std::string& path);
    void ShowWindow();
    // The media's text stream `index` (in the file's order) becomes the
    // transcript.
    void ShowStream(std::size_t index);
    // The text streams of the current media, as far as they have been read.
    const std::vector<SubtitleStream>& Streams() const { return m_streams; }
    // A transcript from a stream is saved beside the media as SRT.
    void SaveTranscript();
    // `transcript`, made by the program (a text aligned to the sound), is
    // shown with `headline`, unsaved; Save transcript writes it to `savePath`.
    void AdoptTranscript(Transcript transcript, const std::string& savePath, const QString& headline);
    // Offers to save changed times before they would be lost; false when the
    // user chose to stay.
    bool OfferToSave();
    void SaveSentenceTimes(TranscriptFormat format);
    void Shift(double seconds);
    // One line's start (or end) placed by hand, as a drag on the waveform
    // gives it; that line is no longer snapped.
    void PlaceLineEdge(int row, bool start, double seconds);
    void SetSnapping(bool on);
    // The line becomes the segment and plays, as Next sentence plays; with
    // `again`, it is drilled until a key stops it.
    void PlayLine(int row, bool again);

signals:
    // The Transcript window was made (when first shown).
    void windowMade(TranscriptWindow& window);

private:
    void OnMediaLoaded(const std::string& path);
    void OnPlaybackState(PlaybackState state);
    void OnStreamsRead(const SubtitleReading& reading);
    // The submenu lists the streams again, the one shown checked.
    void ListStreams();
    // Only stream `index` is checked (-1: none); the submenu is left as it is,
    // since its command may be the one running.
    void MarkShownStream(int index);
    // The lines' spans and everything drawn from them again.
    void Update();
    // Another transcript, or none: the list and the window's lines too.
    void DocumentChanged();
    void Follow();
    // The line heard is looked up while the sound plays, and only then.
    void FollowWhilePlaying();
    double MediaLength() const;
    TranscriptWindow& MadeWindow();

    CMediaplayer1& m_player;
    const CurrentMedia& m_media;
    SentenceFinder& m_finder;
    SegmentRepeat& m_segment;
    Drill& m_drill;
    WaveformView& m_waveform;
    const QWidget& m_repeatButton;
    QWidget& m_mainWindow;
    Preferences& m_preferences;
    WindowCommands& m_commands;
    DialogPrompts& m_prompts;

    TranscriptDocument m_document;
    TranscriptLineModel m_model;
    std::unique_ptr<TranscriptWindow> m_window;
    std::unique_ptr<LineCaption> m_caption;
    // Why the last transcript could not be read; empty when it could.
    std::string m_failure;
    bool m_snapping = true;
    std::vector<TimeSpan> m_spans;
    // Where each line's sound begins, from which on it is the line heard.
    std::vector<double> m_onsets;
    // The lines whose edges the user placed, which keep them as placed.
    std::vector<bool> m_placedByHand;
    // While playing: the line being heard is looked up.
    QTimer m_follow;
    std::vector<QAction*> m_needTranscript;
    std::unique_ptr<SubtitleStreams> m_subtitles;
    std::vector<SubtitleStream> m_streams;
    // Why the streams could not be read to their end; empty when they could.
    std::string m_streamProblem;
    // The stream shown as the transcript; -1 for none.
    int m_shownStream = -1;
    // Where transcripts are kept that could not be written beside their media.
    std::string m_spareFolder;
    // The headline of a transcript the program made; empty for others.
    QString m_adoptedHeadline;
    QMenu* m_menu = nullptr;
    QMenu* m_streamMenu = nullptr;
    std::vector<QAction*> m_streamPicks;
};
