// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "components/feedback/TakeComparer.h"
#include "window/feedback/TakeScores.h"

#include <QObject>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

class CurrentMedia;
class MediaSession;
class SegmentRepeat;
class Shadowing;
class TakePlayer;
class WaveformView;
class WindowCommands;

// Feedback on a take: when a take plays (just recorded, or "Play my take"),
// it is compared with its sentence in the background, and the sound area
// shows both melodies over the sentence (the original's and the take's, said
// with it, each in semitones around its speaker's middle), marks where the
// learner was slower or faster than the speaker or said something else ("not
// matched"), and a melody and a timing score beside what the last take of
// that sentence scored. A fresh take's scores are kept beside it (TakeScores).
// A click on a mark plays that stretch of the original, then of the take.
// All of it stays until the next command, the next take or other media; why
// a take cannot be compared is said in a line instead.
class TakeFeedback : public QObject {
    Q_OBJECT
public:
    // Takes are played through `player` and stretches of the original
    // through `segment`.
    TakeFeedback(std::unique_ptr<TakeComparer> comparer, TakePlayer& player, const Shadowing& shadowing,
                 const CurrentMedia& media, const MediaSession& opening, SegmentRepeat& segment,
                 WaveformView& waveform, const WindowCommands& commands);
    ~TakeFeedback() override;

    // A stretch marked on the sentence: where it is in the media and in the take.
    struct Mark {
        TimeSpan original;  // in the media; empty where the take added something
        TimeSpan take;      // in the take file; empty where it left something out
    };
    const std::vector<Mark>& Marks() const { return m_marks; }

private:
    void OnTakePlaying(const TimeSpan& sentence, const std::string& path, bool fresh);
    void OnCompared(const ComparedTake& result);
    void Show(const ComparedTake& result);
    // The line beside the contours: the scores, and the last take's.
    QString ScoreLine(const TakeComparison& comparison, const std::vector<TakeScore>& earlier) const;
    // Plays mark `index` of the original, and then of the take.
    void PlayMark(int index);
    void OnOriginalPlayed();
    // Takes everything shown away; a stretch being played gives the segment back.
    void Clear();
    void SetNotice(const QString& text);

    std::unique_ptr<TakeComparer> m_comparer;
    TakePlayer& m_player;
    const CurrentMedia& m_media;
    SegmentRepeat& m_segment;
    WaveformView& m_waveform;
    // The take being compared or shown, and whether it was just recorded.
    std::optional<TakeToCompare> m_take;
    bool m_fresh = false;
    std::vector<Mark> m_marks;
    QString m_notice;
    // A mark being played: the segment to give back, and the take's stretch to play next.
    struct Replay {
        TimeSpan segment;
        TimeSpan take;
    };
    std::optional<Replay> m_replay;
};
