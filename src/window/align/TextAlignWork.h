// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "components/align/TextAligner.h"
#include "window/align/AlignPanel.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <memory>
#include <optional>
#include <string>

class CurrentMedia;
class DialogPrompts;
class MediaSession;
class Preferences;
class QAction;
class SentenceFinder;
class TranscriptWindow;
class TranscriptWork;
class WindowCommands;

// "Align text...": a plain text the user chooses (a chapter, a handout, with
// no times) timed against the media's sound by the aligner in the
// background. Its sentences become the transcript's lines as they are timed;
// at the end each line's edges go into the pauses beside its sound and the
// transcript is written as LRC beside the media (or in the user's data
// folder when the media's folder takes no file), tagged with the text and
// the voice, so that aligning the same text again reads that file instead.
// Progress and Cancel are in the Transcript window; nothing blocks.
class TextAlignWork : public QObject {
    Q_OBJECT
public:
    // `spareFolder`: where a transcript goes whose media's folder takes none.
    TextAlignWork(std::unique_ptr<TextAligner> aligner, const CurrentMedia& media, const MediaSession& opening,
                  TranscriptWork& transcript, const SentenceFinder& finder, Preferences& preferences,
                  DialogPrompts& prompts, std::string spareFolder);
    ~TextAlignWork() override;

    // Adds "Align text..." to the transcript's submenu.
    void AddCommands(WindowCommands& commands);

    // The command: asks for the text and its language, then aligns it.
    void AlignText();
    // Stops the running alignment at once; nothing of it is written.
    void Cancel();
    bool IsAligning() const { return m_running.has_value(); }
    // The panel in the Transcript window; nullptr before the window is made.
    AlignPanel* Panel() const { return m_panel; }

private:
    struct Running {
        std::string mediaPath;
        std::string textName;
        // Names the text and the voice in the LRC written.
        std::string key;
        // The sentences the Transcript window shows so far.
        std::size_t shown = 0;
    };

    void OnWindowMade(TranscriptWindow& window);
    void OnProgress(const AlignmentReport& report);
    void OnMediaLoaded();
    void UpdateEnabled();
    // The text of `path` as UTF-8, or nothing after a box that says why not.
    std::optional<std::string> ReadText(const std::string& path);
    // The voice to speak the text with, as the user chose it; nothing when cancelled.
    std::optional<std::string> ChooseVoice();
    // A file written for this text and voice before, shown again; false when none.
    bool ShowSavedResult(const std::string& key);
    // The whole text timed: snapped, written and shown.
    void Keep(const AlignmentReport& report);
    // Where the transcript of the current media is written.
    std::string TargetPath() const;
    void ShowEnded(const QString& line, bool failed);

    std::unique_ptr<TextAligner> m_aligner;
    const CurrentMedia& m_media;
    TranscriptWork& m_transcript;
    const SentenceFinder& m_finder;
    Preferences& m_preferences;
    DialogPrompts& m_prompts;
    std::string m_spareFolder;
    QAction* m_command = nullptr;
    QPointer<AlignPanel> m_panel;
    std::optional<Running> m_running;
};
