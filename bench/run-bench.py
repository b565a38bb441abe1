#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Runs every benchmark of the program and prints one table of its figures.

    run-bench.py BUILD_DIR [PART...]    (needs an X display: `make bench` gives it Xvfb)

PART names the parts to run (all by default): long_media, whole_program, player, repeat, speed, mpris,
recorder, profile, sentence, shadow, transcript, subtitle, transcript_window, align, feedback, take_feedback.

The in-process figures come from the Google Benchmark programs (player_bench,
recorder_bench, repeat_bench, speed_bench, mpris_bench, profile_bench,
long_media_bench, sentence_bench, shadow_bench, transcript_bench,
subtitle_bench, transcript_window_bench, align_bench, feedback_bench, take_feedback_bench) as JSON; the whole-program figures (start-up, memory)
from starting the real executable under window_probe, with a private PulseAudio server standing in for a desktop's
sound server, in turns with a bare Qt dialog of the same size (bare_dialog) as the yardstick.

With BENCH_BASELINE=PATH naming another build of the executable (the same program before a change), the
whole_program part starts it too, in the same turns, so that before and after stand beside the bare dialog in one run.
"""

import json
import os
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import time

TITLE = "Ardeno Audio Recorder"
BARE_TITLE = "Bare dialog"
# Centre of the top Play button (template 339,46 48x14 in a 457x243 window).
PLAY_BUTTON = "0.794,0.218"
SETTINGS = "0.000000\r\n0.000000\r\n0.500000\r\n0.500000\r\n0.330000\r\n{}"

rows = []
# Benchmark programs that failed, with why; `make bench` fails when any did.
failures = []


def row(figure, value, unit, how):
    rows.append((figure, value, unit, how))


def fmt(value, digits=1):
    return "n/a" if value is None else f"{value:.{digits}f}"


def spread(values, digits=1):
    if not values:
        return "n/a"
    return "/".join(fmt(v, digits) for v in (min(values), statistics.median(values), max(values)))


def min_median_max(result, key, digits=1, suffix=""):
    """A figure a benchmark counted as `{key}_min{suffix}`, `_median` and `_max`, as min/median/max."""
    return "/".join(fmt(result[f"{key}_{k}{suffix}"], digits) for k in ("min", "median", "max"))


def google_benchmark(program, *arguments):
    """The benchmarks of one program, by name; a program that fails, or a
    benchmark that reports an error, is kept in `failures` with its output."""
    name = os.path.basename(program)
    print(f"running {name} ...", file=sys.stderr, flush=True)
    done = subprocess.run([program, "--benchmark_format=json", *arguments],
                          stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
    try:
        results = json.loads(done.stdout)["benchmarks"]
    except (ValueError, KeyError):
        results = []
    if done.returncode != 0 or not results:
        failures.append(f"{name} exited {done.returncode} with {len(results)} results:\n{done.stderr.strip()[-2000:]}")
    for b in results:
        if b.get("error_occurred"):
            failures.append(f"{name}: {b['name']}: {b.get('error_message', 'error')}")
    return {b["name"]: b for b in results if not b.get("error_occurred")}


class PulseServer:
    """A private PulseAudio server with a null sink; stopped by its own pid."""

    def __init__(self):
        self.folder = tempfile.mkdtemp(prefix="bench-pulse-")
        script = os.path.join(self.folder, "server.pa")
        with open(script, "w") as out:
            out.write(f"load-module module-native-protocol-unix auth-anonymous=1 socket={self.folder}/native\n"
                      "load-module module-null-sink sink_name=spk\nset-default-sink spk\n"
                      "set-default-source spk.monitor\n")
        env = dict(os.environ, HOME=self.folder, XDG_RUNTIME_DIR=self.folder)
        self.process = subprocess.Popen(
            ["pulseaudio", "-n", "-F", script, "--daemonize=no", "--exit-idle-time=-1",
             "--use-pid-file=no", "--system=no"],
            env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        deadline = time.monotonic() + 10
        while not os.path.exists(f"{self.folder}/native"):
            if time.monotonic() > deadline or self.process.poll() is not None:
                raise RuntimeError("the private PulseAudio server did not start")
            time.sleep(0.02)
        self.address = f"unix:{self.folder}/native"

    def stop(self):
        self.process.send_signal(signal.SIGTERM)
        try:
            self.process.wait(timeout=5)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
        shutil.rmtree(self.folder, ignore_errors=True)


def run_pipeline(arguments, attempts=4, timeout=60):
    """Runs a gst-launch pipeline that makes a file; the MPEG-1 multiplexer
    now and then misreads its audio input and then stalls for good or exits,
    and making the file again from scratch gets past it."""
    for attempt in range(attempts):
        try:
            subprocess.run(["gst-launch-1.0", "-q", *arguments], check=True, timeout=timeout)
            return
        except subprocess.TimeoutExpired:
            print(f"gst-launch stalled making a benchmark file (attempt {attempt + 1})", file=sys.stderr, flush=True)
        except subprocess.CalledProcessError as failure:
            print(f"gst-launch failed making a benchmark file with {failure.returncode} (attempt {attempt + 1})",
                  file=sys.stderr, flush=True)
    raise RuntimeError(f"gst-launch failed {attempts} times: {' '.join(arguments)}")


def make_media(folder):
    """A 10 s MP3 and a 10 s MPEG-1 video with sound."""
    mp3 = os.path.join(folder, "lesson.mp3")
    mpg = os.path.join(folder, "lesson.mpg")
    run_pipeline(["audiotestsrc", "num-buffers=430", "samplesperbuffer=1024", "!",
                  "audioconvert", "!", "lamemp3enc", "target=bitrate", "cbr=true", "bitrate=128", "!",
                  "filesink", f"location={mp3}"])
    run_pipeline(["mplex", "name=mux", "format=mpeg-1", "!", "filesink", f"location={mpg}",
                  "videotestsrc", "pattern=ball", "num-buffers=250", "!",
                  "video/x-raw,width=352,height=288,framerate=25/1", "!", "videoconvert", "!",
                  "mpeg2enc", "format=0", "!", "queue", "!", "mux.",
                  "audiotestsrc", "num-buffers=430", "samplesperbuffer=1024", "!", "audioconvert", "!",
                  "avenc_mp2", "!", "queue", "!", "mux."])
    return mp3, mpg


def probe_once(build, program, title, media=None, click=False, folder=None):
    """Starts `program` (a command line) once under window_probe, with the
    settings beside the executable in `folder` (the program's by default);
    its JSON report, or None when it failed (kept in `failures`)."""
    settings = os.path.join(folder or app_folder, "ardeno-recorder.ini")
    if os.path.exists(settings):
        os.remove(settings)
    if media:
        with open(settings, "w", newline="") as out:
            out.write(SETTINGS.format(media))
    command = [os.path.join(build, "tests", "window_probe"), "--title", title, "--settle-ms", "2000"]
    if click:
        command += ["--click", PLAY_BUTTON, "--play-ms", "4000"]
    command += ["--", *program]
    done = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True, env=app_env)
    if done.returncode == 0:
        return json.loads(done.stdout)
    failures.append(f"window_probe exited {done.returncode} on {program[0]}: {done.stderr.strip()[-2000:]}")
    return None


def probe_runs(build, runs, media=None, click=False):
    """Starts the program `runs` times under window_probe; its JSON reports."""
    reports = [probe_once(build, [os.path.join(app_folder, "ardeno-recorder")], TITLE, media, click)
               for _ in range(runs)]
    return [r for r in reports if r]


def beside_bare_dialog(build, rounds, media, size, baseline_folder=None):
    """The program with `media` re-opened and a bare Qt dialog of the window's
    `size` (WIDTHxHEIGHT), started in turns, `rounds` times each, so that
    both see the same X server and the same load; both lists of reports, and
    a third of the baseline executable in `baseline_folder` (empty without)."""
    program, bare, baseline = [], [], []
    bare_command = [os.path.abspath(os.path.join(build, "bench", "bare_dialog")), BARE_TITLE, size]
    for _ in range(rounds):
        program += probe_runs(build, 1, media=media)
        report = probe_once(build, bare_command, BARE_TITLE)
        if report:
            bare.append(report)
        if baseline_folder:
            report = probe_once(build, [os.path.join(baseline_folder, "ardeno-recorder")], TITLE, media,
                                folder=baseline_folder)
            if report:
                baseline.append(report)
    return program, bare, baseline


def start_up_rows(program, bare):
    """The map times and idle memory of the program beside the bare dialog's."""
    median = lambda reports, key: statistics.median([r[key] for r in reports]) if reports else None
    how = f"min/median/max of {len(program)} starts, each beside a start of the bare dialog"
    row("Window shown after process start, last media re-opened", spread([r["mapped_ms"] for r in program]),
        "ms", how + ": fork to MapNotify of the titled window (window_probe), settings naming a 10 s MP3")
    row("  a bare Qt dialog of the same size", spread([r["mapped_ms"] for r in bare]), "ms",
        f"min/median/max of {len(bare)} starts of bench/bare_dialog, in turns with the program")
    ratio = median(program, "mapped_ms") / median(bare, "mapped_ms") if program and bare else None
    row("  program / bare dialog", fmt(ratio, 2), "x", "ratio of the two medians (target: 1.3 x at most)")
    rss = lambda reports: median(reports, "idle_rss_kib") / 1024 if reports else None
    row("Resident memory, idle window with the MP3 loaded", fmt(rss(program)), "MiB",
        "median VmRSS of the starts above, 2 s after the window was shown")
    row("  the bare dialog, idle", fmt(rss(bare)), "MiB", "as above, of the bare dialog's starts")
    row("  program - bare dialog", fmt(rss(program) - rss(bare)) if program and bare else "n/a", "MiB",
        "difference of the two medians (target: 15 MiB at most)")


def baseline_rows(baseline, bare):
    """The same figures of the baseline executable, started in the same turns."""
    median = lambda reports, key: statistics.median([r[key] for r in reports]) if reports else None
    row("Baseline (BENCH_BASELINE): window shown, last media re-opened", spread([r["mapped_ms"] for r in baseline]),
        "ms", f"min/median/max of {len(baseline)} starts of the baseline executable, in turns with the two above")
    ratio = median(baseline, "mapped_ms") / median(bare, "mapped_ms") if baseline and bare else None
    row("  baseline / bare dialog", fmt(ratio, 2), "x", "ratio of the two medians")
    rss = median(baseline, "idle_rss_kib") / 1024 if baseline else None
    row("  baseline, idle with the MP3 loaded", fmt(rss), "MiB", "median VmRSS, 2 s after the window was shown")
    row("  baseline - bare dialog", fmt(rss - median(bare, "idle_rss_kib") / 1024) if baseline and bare else "n/a",
        "MiB", "difference of the two medians")


def whole_program(build, pulse):
    global app_folder, app_env
    app_folder = tempfile.mkdtemp(prefix="bench-app-")
    try:
        shutil.copy(os.path.join(build, "ardeno-recorder"), app_folder)
        shutil.copy(os.path.join(build, "guide.html"), app_folder)
        # The guide opened at start-up goes to a stand-in, not a browser.
        opener = os.path.join(app_folder, "bin", "xdg-open")
        os.makedirs(os.path.dirname(opener))
        with open(opener, "w") as out:
            out.write("#!/bin/sh\nexit 0\n")
        os.chmod(opener, 0o755)
        app_env = dict(os.environ, PATH=f"{os.path.dirname(opener)}:{os.environ['PATH']}",
                       PULSE_SERVER=pulse.address)
        mp3, mpg = make_media(app_folder)
        print("starting the program ...", file=sys.stderr, flush=True)

        first = probe_runs(build, 10)
        row("Window shown after process start, first start", spread([r["mapped_ms"] for r in first]), "ms",
            "min/median/max of 10 starts under Xvfb: fork to MapNotify of the titled window (window_probe)")
        if not first:
            raise RuntimeError("the program's window never came, so the bare dialog has no size to copy")
        baseline_folder = None
        if os.environ.get("BENCH_BASELINE"):
            baseline_folder = os.path.join(app_folder, "baseline")
            os.makedirs(baseline_folder)
            shutil.copy(os.environ["BENCH_BASELINE"], os.path.join(baseline_folder, "ardeno-recorder"))
            shutil.copy(os.path.join(build, "guide.html"), baseline_folder)
        reopened, bare, baseline = beside_bare_dialog(build, 7, mp3, f"{first[0]['width']}x{first[0]['height']}",
                                                      baseline_folder)
        start_up_rows(reopened, bare)
        if baseline_folder:
            baseline_rows(baseline, bare)
        book = os.path.join(build, "player-media", "noise-10h-cbr.mp3")
        long_reopened = probe_runs(build, 10, media=book) if os.path.exists(book) else []
        video = probe_runs(build, 3, media=mpg, click=True)
        idle = lambda reports: statistics.median([r["idle_rss_kib"] for r in reports]) / 1024 if reports else None
        row("Resident memory, idle window with a 10-hour MP3 loaded", fmt(idle(long_reopened)), "MiB",
            "median VmRSS of 10 starts, 2 s after the window was shown, the settings naming a ten-hour 128 kbit/s MP3 "
            "(576 MB) made by long_media_bench")
        row("  more than with the 10 s MP3",
            fmt(idle(long_reopened) - idle(reopened)) if long_reopened and reopened else "n/a", "MiB",
            "difference of the two medians (target: 10 MiB)")
        row("Resident memory, playing an MPEG-1 video",
            fmt(statistics.median([r["clicked_rss_kib"] for r in video]) / 1024) if video else "n/a", "MiB",
            "median VmRSS of 3 starts, 4 s after a click on Play (352x288 video, MP2 sound)")
        row("CPU while playing that video",
            fmt(statistics.median([r["clicked_cpu_s"] / 4 * 100 for r in video])) if video else "n/a", "%",
            "CPU time of the process over those 4 s (shows that Play was clicked)")
    finally:
        shutil.rmtree(app_folder, ignore_errors=True)


def player_figures(build):
    results = google_benchmark(os.path.join(build, "bench", "player_bench"), "--benchmark_filter=Load|SeekAccuracy")
    for name, result in results.items():
        label = result.get("label", "")
        if name.startswith("BM_Load"):
            row(f"Media load time, {label}", fmt(result["real_time"]), result["time_unit"],
                "player_bench: SetMediaFileName on the real player (preroll), mean of the iterations")
        elif name.startswith("BM_SeekAccuracy"):
            row(f"Seek accuracy, {label}", f"{fmt(result['mean_ms'], 2)}/{fmt(result['worst_ms'], 2)}", "ms",
                "player_bench: mean/worst distance of the first sample played from the target, "
                f"found by content, 25 random seeks ({int(result['unmatched'])} unmatched)")


def repeat_figures(build):
    results = google_benchmark(os.path.join(build, "bench", "repeat_bench"))
    if not results:
        row("Segment repeat at the sound server", "n/a", "", "repeat_bench failed")
    for name, result in results.items():
        what = result.get("label") or name.split("/")[0].removeprefix("BM_")
        measured = int(result["repeats_measured"])
        if not measured:
            row(f"Segment repeat at the sound server, {what}", "n/a", "", "repeat_bench: no repeat was heard")
            continue
        row(f"Sound heard past the segment end, {what}",
            min_median_max(result, "past_end", suffix="_ms"), "ms",
            f"repeat_bench: min/median/max over {measured} repeats of 1 s segments of white noise, real window "
            "and player, heard at a PulseAudio null sink's monitor")
        during = ""
        if "repeats_while_analysing" in result:
            during = (f"; the sound profile of the whole hour was being made during "
                      f"{int(result['repeats_while_analysing'])} of the {measured} repeats")
        row(f"Repeat to first sound, {what}",
            min_median_max(result, "repeat_to_sound", suffix="_ms"), "ms",
            "repeat_bench: min/median/max from the click on Repeat to the first sample heard at the monitor" + during)
        row(f"First sample heard after Repeat vs the segment start, {what}",
            f"{fmt(result['first_sample_error_min_ms'], 2)}..{fmt(result['first_sample_error_max_ms'], 2)}", "ms",
            "repeat_bench: where the heard sound sits in the file, found by content")


# Later repeats per hour in long_media_bench (its kLaterRepeats).
LATER_REPEATS = 5


def long_media_figures(build):
    """Ten-hour MP3s: made (minutes, once) and decoded around three hours
    (once) by long_media_bench, kept in the build tree."""
    results = google_benchmark(os.path.join(build, "bench", "long_media_bench"))
    for name, r in results.items():
        label = r.get("label", "")
        if name.startswith("BM_LongLoad"):
            row(f"Load time, {label}", fmt(r["real_time"]), "ms",
                "long_media_bench: SetMediaFileName into a player holding nothing, mean of 10 (target: 100 ms)")
        elif name.startswith("BM_LongFirstDeepSeek"):
            row(f"First seek to hour 9.9 right after a load, {label}", fmt(r["real_time"]), "ms",
                "long_media_bench: a new player each time, mean of 5 (the seek waits for the file's index)")
        elif name.startswith("BM_LongRepeat"):
            row(f"Repeat to first sound, {label}",
                f"{fmt(r['first_right_after_load_ms'])} | {fmt(r['first_after_10s_ms'])} | {min_median_max(r, 'later_ms')}",
                "ms", "long_media_bench: real window started with the file, at a PulseAudio null sink's monitor: "
                "first Repeat right after the start-up load (target: 300 ms) | first after 10 s loaded | "
                f"{LATER_REPEATS} later min/median/max (targets: 40 ms)")
            row(f"First sample heard after Repeat vs the segment start, {label}", min_median_max(r, "first_sample_error_ms"),
                "ms", f"long_media_bench: min/median/max over {int(r['repeats_measured'])} repeats of 1 s segments, "
                f"found by content ({int(r['unmatched'])} unmatched; one sample is 0.023 ms)")
            row(f"Sound heard past the segment end, {label}", min_median_max(r, "past_end_ms"), "ms",
                "long_media_bench: min/median/max over the same repeats "
                f"({int(r['repeats_with_dropouts'])} with dropouts)")
        elif name.startswith("BM_LongPlay"):
            row(f"Play to first sound, {label}", min_median_max(r, "play_to_sound_ms"), "ms",
                "long_media_bench: min/median/max of 5 clicks on Play (reload, seek to the end time, play) "
                "in a window that has played (target: 40 ms)")
            row(f"First sample heard after Play vs the end time, {label}", min_median_max(r, "first_sample_error_ms"), "ms",
                f"long_media_bench: found by content ({int(r['unmatched'])} unmatched)")
        elif name.startswith("BM_LongSeekAccuracy"):
            row(f"Seek accuracy, {label}", f"{fmt(r['median_samples'], 0)}/{fmt(r['worst_samples'], 0)}", "samples",
                "long_media_bench: median/worst distance of the first sample played from the target, found by "
                f"content, 25 random seeks ({int(r['unmatched'])} unmatched)")
        elif name.startswith("BM_PausePointsLoad"):
            row(f"Pause points loaded, {int(r['points'])} points, {label}", fmt(r["real_time"], 2), "ms",
                "long_media_bench: LoadPausePoints in the window (file beside the media)")
        elif name.startswith("BM_PausePointAdd"):
            row(f"Pause point added to {int(r['points']) - 100} points, {label}", fmt(r["real_time"], 1), "us",
                "long_media_bench: Add in the window, mean of 100")


def mpris_figures(build):
    results = google_benchmark(os.path.join(build, "bench", "mpris_bench"))
    if not results:
        row("PlayPause to first sound", "n/a", "", "mpris_bench failed")
    for result in results.values():
        measured = int(result["playpauses_measured"])
        row(f"PlayPause to first sound, {result.get('label', '')}",
            min_median_max(result, "playpause_to_sound", suffix="_ms") if measured
            else "n/a", "ms",
            f"mpris_bench: min/median/max over {measured} plays from a pause (target 40 ms): from the call on a "
            "private session bus, or the key, to the first sample heard at a PulseAudio null sink's monitor, "
            "real window and player")


def speed_figures(build):
    results = google_benchmark(os.path.join(build, "bench", "speed_bench"))
    if not results:
        row("Playback speed at the sound server", "n/a", "", "speed_bench failed")
    for name, result in results.items():
        label = result.get("label", "")
        if name.startswith("BM_SegmentAtSpeed"):
            measured = int(result["repeats_measured"])
            how = (f"speed_bench: min/median/max over {measured} repeats of a 2 s segment, real window and player, "
                   "heard at a PulseAudio null sink's monitor")
            if not measured:
                row(f"Segment at a speed, {label}", "n/a", "", "speed_bench: no repeat was heard")
                continue
            row(f"Repeat to first sound, {label}", min_median_max(result, "repeat_to_sound_ms"), "ms", how + " (target 35 ms)")
            row(f"Heard duration minus 2 s / speed, {label}", min_median_max(result, "duration_error_ms", 2), "ms",
                how + ": first to last sound heard (target within 2 ms)")
            if "pitch_error_percent_max" in result:
                row(f"Pitch error, {label}", min_median_max(result, "pitch_error_percent", 3), "%",
                    how + ": worst of the three tones in the segment, from their zero crossings (target 0.5 %)")
            else:
                row(f"Sound past the segment end, {label}", min_median_max(result, "past_end_ms", 2), "ms",
                    how + ": the last 5 ms heard found in the file by their content (target 0 ms lost or added; "
                    f"{int(result['unmatched'])} not found)")
                row(f"First sample heard vs the segment start, {label}", min_median_max(result, "first_sample_error_ms", 2),
                    "ms", how + ": found by content")
                row(f"Clicks heard per click played, {label}", min_median_max(result, "click_ratio", 2), "",
                    how + f": {int(result['clicks_played'])} clicks played (target 1.00)")
                row(f"Click width at half level, {label}", min_median_max(result, "click_width_ms"), "ms",
                    how + f": median per repeat, {fmt(result['played_click_width_ms'])} ms as played "
                    "(target at 50 %: 12 ms)")
        elif name.startswith("BM_SpeedKeyToSound"):
            measured = int(result["changes_measured"])
            how = (f"speed_bench: min/median/max over {measured} key presses while white noise plays at 100 %, "
                   "real window and player, heard at a PulseAudio null sink's monitor")
            if not measured:
                row(f"Speed key to the new speed heard, {label}", "n/a", "", "speed_bench: no change was heard")
                continue
            row(f"Speed key to the new speed heard, {label}", min_median_max(result, "key_to_new_speed_ms"), "ms",
                how + " (target 100 ms)")
            row(f"Jump of the sound at a speed change, {label}", min_median_max(result, "position_jump_ms", 2), "ms",
                how + ": the first sound at the new speed against the last before it, found by content "
                "(negative: heard again; target within 5 ms)")


def recorder_figures(build):
    results = google_benchmark(os.path.join(build, "bench", "recorder_bench"),
                               "--benchmark_filter=CpuPerRecordedMinute|MemoryOverHoursOfSound")
    for name, result in results.items():
        if name.startswith("BM_CpuPerRecordedMinute"):
            row("CPU per recorded minute", fmt(result["cpu_s_per_recorded_min"], 2), "s",
                "recorder_bench: process CPU time to encode 1 min of pink noise to 128 kbit/s CBR MP3, mean of 3")
        elif name.startswith("BM_MemoryOverHoursOfSound"):
            row("Resident memory after 1 min of audio encoded", fmt(result["rss_MiB_after_1_min"]), "MiB",
                "recorder_bench: VmRSS of the recording process (recorder only, no window)")
            row("Resident memory after 60 min of audio encoded", fmt(result["rss_MiB_after_60_min"]), "MiB",
                "recorder_bench: as above, after an hour of sound encoded as fast as it goes")
            row("Resident memory after 180 min of audio encoded", fmt(result["rss_MiB_after_180_min"]), "MiB",
                "recorder_bench: as above, after three hours")


def profile_figures(build):
    results = google_benchmark(os.path.join(build, "bench", "profile_bench"))
    by_prefix = lambda prefix: [r for n, r in results.items() if n.startswith(prefix)]
    for result in by_prefix("BM_FirstWaveformDrawn"):
        row("First waveform drawn after Open, 60 min MP3", fmt(result["real_time"]), result["time_unit"],
            "profile_bench: real window and player, from the click on Open to the first paint of the view with "
            "levels, nothing kept before, mean of 5 (target: 300 ms)")
    decode = by_prefix("BM_DecodeOnly")
    for result in by_prefix("BM_WholeProfile"):
        row("CPU for the whole profile of 60 min MP3", fmt(result["cpu_s"], 2), "s",
            "profile_bench: process CPU time from Analyse to the complete profile, mean of 3")
        if decode:
            floor = decode[0]["cpu_s"]
            row("CPU to decode the same file only (the floor)", fmt(floor, 2), "s",
                "profile_bench: filesrc ! decodebin ! fakesink, as fast as it goes, mean of 3")
            row("Whole profile / decoding only", fmt(result["cpu_s"] / floor, 2), "x", "the two above (target: 1.3)")
        row("Profile kept in the cache, per hour of sound", fmt(result["kept_MiB_per_hour"], 2), "MiB",
            "profile_bench: size of the profile file (16-bit levels, 100 blocks a second)")
        row("Profile held in memory, per hour of sound", fmt(result["summary_KiB_per_hour"]), "KiB",
            "profile_bench: the summary (one entry per 64 blocks); the blocks stay in the file")
        row("Resident memory added while the hour is profiled", fmt(result["resident_growth_peak_MiB"], 2), "MiB",
            "profile_bench: peak VmRSS during the analysis minus VmRSS before it")
    for result in by_prefix("BM_ReopenFromCache"):
        row("Profile of 60 min MP3 from the cache", fmt(result["real_time"], 2), result["time_unit"],
            "profile_bench: Analyse on a kept profile, complete on return, mean of 20 (target: 50 ms)")
    for result in by_prefix("BM_Cancel"):
        row("Cancel of a profile being made", fmt(result["real_time"], 2), result["time_unit"],
            "profile_bench: Cancel half a second into the hour, until its pipeline has stopped, mean of 10 "
            "(target: well under 100 ms)")
    for name, result in results.items():
        if name.startswith("BM_Repaint"):
            how = "made afresh" if name.startswith("BM_RepaintAfresh") else "from its picture (a cursor frame paints less)"
            row(f"Repaint of the view, {int(result['span_s'])} s shown, {how}", fmt(result["real_time"], 2),
                result["time_unit"],
                f"profile_bench: QWidget::repaint of the {int(result['width_px'])} px view, 60 min profile "
                "(target: 8 ms)")


def sentence_figures(build):
    results = google_benchmark(os.path.join(build, "bench", "sentence_bench"))
    by_prefix = lambda prefix: [r for n, r in results.items() if n.startswith(prefix)]
    for result in by_prefix("BM_SentenceBoundaries"):
        row(f"Sentence boundary F1, {result['label']}", fmt(result["f1"], 3), "",
            f"sentence_bench: {int(result['sentences_found'])} found of {int(result['sentences_spoken'])} spoken "
            "(espeak-ng, pauses 180 to 800 ms, pink noise at the SNR); an edge counts within 100 ms of a true one "
            "(targets: 1.0 clean, 0.9 at 20 dB, 0.8 at 10 dB)")
        row(f"Sentence onsets clipped by more than 20 ms, {result['label']}", fmt(result["onsets_clipped"], 0), "",
            "sentence_bench: spoken sentences whose found sentence starts more than 20 ms after their first sound "
            "(target: 0)")
    for result in by_prefix("BM_SentencesHeard"):
        measured = int(result["nexts_measured"])
        row("Next sentence (N) to first sound",
            min_median_max(result, "next_to_sound", suffix="_ms") if measured else "n/a",
            "ms", f"sentence_bench: min/median/max over {measured} presses, real window and player, heard at a "
            "PulseAudio null sink's monitor (target: 35 ms)")
        row("Sound heard past the sentence's end after N", fmt(result["past_end_max_ms"]), "ms",
            "sentence_bench: the largest over the presses above, found by content (target: 0)")
    for result in by_prefix("BM_DrillHeard"):
        row("Drill: sound heard past the sentence's end",
            f"{fmt(result['past_end_min_ms'])}..{fmt(result['past_end_max_ms'])}", "ms",
            f"sentence_bench: {int(result['plays_measured'])} plays (two sentences twice, twice) at the monitor, "
            "found by content (target: 0)")
        row("Drill: pause after each play against the one set",
            f"{fmt(result['pause_error_min_ms'])}..{fmt(result['pause_error_max_ms'])}", "ms",
            "sentence_bench: silence between the plays heard minus half the sentence's length (target: within 20)")


def shadow_figures(build):
    results = google_benchmark(os.path.join(build, "bench", "shadow_bench"))
    if not results:
        row("Shadowing at the sound server", "n/a", "", "shadow_bench failed")
    for result in results.values():
        measured = int(result["turns_measured"])
        how = (f"shadow_bench: min/median/max over {measured} turns ({int(result['unmatched'])} unmatched) of a drill "
               "with takes, real window, player and take engines at a PulseAudio null sink, a spoken sentence played "
               "into it as the learner")
        row("Take end to first sound of its playback", min_median_max(result, "take_end_to_sound_ms") if measured else "n/a", "ms",
            how + "; from the end of the 0.6 s of silence to the first sample heard at the monitor (target: 150 ms)")
        row("Sentence end to the take capturing", min_median_max(result, "sentence_end_to_capture_ms") if measured else "n/a", "ms",
            "shadow_bench: from the sentence's last sound at the monitor until the take's capture runs; about 0.1 s "
            "of it is the sentence's own margin of silence; a learner who starts sooner loses that much")
        row("Silence left before the take's first sound", min_median_max(result, "lead_left_ms") if measured else "n/a", "ms",
            "shadow_bench: where playback starts against the first sound in the take, found by content; "
            "negative would be sound cut off (target: 0 to 30 ms)")
        row("Sound unheard at either end, sentence / take",
            f"{fmt(result['sentence_clipped_ms_max'])} / {fmt(result['take_clipped_ms_max'])}" if measured else "n/a",
            "ms", "shadow_bench: the most of either that went unheard at its two ends, found by content (target: 0)")
        row("CPU while shadowing", min_median_max(result, "cpu_percent"), "%",
            "shadow_bench: process CPU time of a whole turn (sentence, take, playback) over its wall time, one core")


def transcript_figures(build):
    results = google_benchmark(os.path.join(build, "bench", "transcript_bench"))
    for name, result in results.items():
        subject = ("a ten-hour book's LRC, 10,000 bilingual lines" if name.startswith("BM_TenHourBookLrc")
                   else "an SRT of 5,000 cues")
        row(f"Read {subject}, {result['label']}", fmt(result["real_time"], 2), result["time_unit"],
            f"transcript_bench: ReadTranscriptFile on a {fmt(result['file_MiB'], 2)} MiB {result['label']} file "
            f"({int(result['lines'])} lines), mean of the iterations (target: 30 ms)")
        row(f"Heap held by the transcript of {subject}, {result['label']}", fmt(result["heap_MiB"], 2), "MiB",
            "transcript_bench: mallinfo2's bytes in use after the read against before it (target: 5 MiB)")


def feedback_figures(build):
    results = google_benchmark(os.path.join(build, "bench", "feedback_bench"))
    by_prefix = lambda prefix: [r for n, r in results.items() if n.startswith(prefix)]
    for result in by_prefix("BM_PitchUnderNoise"):
        snr = result["label"]
        how = (f"feedback_bench: 12 espeak-ng sentences in four voices and pitches, white noise at {snr}; "
               "truth: the tracker on the clean sound where a second estimate (normalised cross-correlation) agrees")
        gross_target = "5 %" if snr.startswith("10 ") else "1 %"
        row(f"Pitch gross errors, {snr}", fmt(100 * result["gross_error_share"], 2), "%",
            how + f"; frames voiced in both more than 20 % off (target: {gross_target} or less)")
        row(f"Pitch fine error, {snr}", fmt(result["fine_error_median_cents"], 2), "cents",
            how + "; median over the frames voiced in both and not gross errors (target: 20 cents or less)")
        row(f"Voicing F1, {snr}", fmt(result["voicing_f1"], 3), "", how + " (target: 0.9 or more)")
    for result in by_prefix("BM_PitchUnderNoise")[:1]:
        row("Pitch of the clean sound against a second estimate", fmt(100 * result["clean_disagreeing_share"], 2), "%",
            f"feedback_bench: of {int(result['clean_frames_checked'])} clean frames the tracker voices and the "
            "normalised cross-correlation (40 ms) finds a clear period in, those more than 20 % apart; they are left "
            "out of the truth above")
    for result in by_prefix("BM_TimingOnSpokenTakes"):
        noisy = "SNR" in result["label"]
        how = (f"feedback_bench: {int(result['points'])} phoneme onsets (of {int(result['phonemes'])}; those the "
               f"take's reading has too) of 12 espeak-ng sentences mapped onto {int(result['takes'])} takes "
               f"({result['label']}; {int(result['takes_refused'])} refused), against the take's own phoneme "
               f"times; {fmt(100 * result['unmatched_share'])} % of the original not matched")
        row(f"Take time error, {result['label']}", fmt(result["median_error_ms"]), "ms",
            how + "; median (target: 20 ms or less)")
        row(f"Take times within 50 ms, {result['label']}", fmt(100 * result["within_50ms_share"]), "%",
            how + f" (target: {90 if noisy else 95} % or more)")
    for result in by_prefix("BM_SlowerAndFasterWords"):
        how = (f"feedback_bench: {int(result['words_changed'])} takes by other voices with their longest word said "
               "x-slow or x-fast (SSML prosody), at the original's 160 words a minute, at 120 and under noise at 15 dB; "
               f"the same unchanged at 160, 120 and 200 and under noise ({int(result['takes'])} takes in all)")
        row("Slowed or sped words marked", fmt(100 * result["recall"]), "%",
            how + "; a mark of the right kind overlapping the word by 50 ms (target: 90 % or more)")
        row("False tempo marks", fmt(100 * result["false_mark_share"]), "%",
            how + f"; of {int(result['marks'])} marks, those on no changed word (target: 5 % or less)")
    for result in by_prefix("BM_ChangedMelodyScoresLower"):
        row(f"Changed melodies scoring lower, {result['label']}", fmt(100 * result["changed_scores_lower_share"]), "%",
            f"feedback_bench: {int(result['pairs'])} pairs of takes of espeak-ng sentences by another voice, the "
            f"original's melody against one {result['label']}; median margin {fmt(result['median_margin'])} points, "
            f"{int(result['unscored'])} takes unscored (target: 95 % or more)")
    for result in by_prefix("BM_DifferentSentenceToldApart"):
        row("A different sentence told apart", fmt(100 * result["told_apart_share"]), "%",
            f"feedback_bench: {int(result['takes'])} takes saying another sentence, by another voice; told apart "
            f"when refused ({int(result['refused'])}) or over half the original not matched")
    for result in by_prefix("BM_CompareTenSecondTake"):
        row("Compare a 10 s take", fmt(result["real_time"]), result["time_unit"],
            f"feedback_bench: CompareTake, espeak-ng sentences ({result['label']}), wall time, mean of the "
            f"iterations, {fmt(result['cpu_time'])} {result['time_unit']} of it on the CPU (target: 100 ms)")


def take_feedback_figures(build):
    results = google_benchmark(os.path.join(build, "bench", "take_feedback_bench"))
    by_prefix = lambda prefix: [r for n, r in results.items() if n.startswith(prefix)]
    compared = by_prefix("BM_TakeComparedInBackground")
    drawn = by_prefix("BM_FeedbackDrawn")
    for result in compared:
        row("A 10 s take compared in the background", fmt(result["median_ms"]), "ms",
            "take_feedback_bench: the real comparer, from Compare to its report on the GUI thread: a 10 s sentence "
            "decoded from 5 s into a 30 s MP3 and a 10.5 s MP3 take, then compared; median of 10 "
            f"(min {fmt(result['min_ms'])}, max {fmt(result['max_ms'])})")
    for result in drawn:
        row("Its melodies and marks drawn", fmt(result["median_ms"], 2), "ms",
            "take_feedback_bench: the window with fakes, from the report to the sound area painted; median of 10 "
            f"(max {fmt(result['max_ms'], 2)})")
    if compared and drawn:
        row("Feedback shown after a 10 s take ends", fmt(compared[0]["median_ms"] + drawn[0]["median_ms"]), "ms",
            "take_feedback_bench: the two above together (target: 100 ms)")


def subtitle_figures(build):
    results = google_benchmark(os.path.join(build, "bench", "subtitle_bench"))
    for result in results.values():
        row("Subtitle streams of an hour of Matroska read", fmt(result["real_time"], 0), result["time_unit"],
            f"subtitle_bench: from Read to the report of both streams ({int(result['lines'])} lines) of a "
            f"{fmt(result['file_MiB'])} MiB file with Opus sound, sound undecoded, mean of 3; "
            f"CPU {fmt(result['cpu_s'], 2)} s a read")
        row("Peak memory while reading the subtitle streams", fmt(result["peak_growth_MiB"]), "MiB",
            "subtitle_bench: the process's peak resident memory during a read (VmHWM, reset before it) against "
            "its resident memory before, largest of 3")


def transcript_window_figures(build):
    results = google_benchmark(os.path.join(build, "bench", "transcript_window_bench"))
    by_prefix = lambda prefix: [r for n, r in results.items() if n.startswith(prefix)]
    for result in by_prefix("BM_BookShown"):
        how = result["label"]
        row(f"Transcript window shown with 10,000 bilingual LRC lines, {how}", fmt(result["real_time"], 2),
            result["time_unit"],
            "transcript_window_bench: fake player and profiler, from Open of the media beside the LRC until the "
            "window is shown with all its rows and its events handled, mean of 5 (target: 30 ms)")
        row(f"Heap grown for the shown transcript of 10,000 lines, {how}", fmt(result["heap_growth_max_MiB"], 2),
            "MiB", "transcript_window_bench: mallinfo2's bytes in use, largest growth over the same opens "
            "(target: 5 MiB for the transcript, with the window already open)")
        row(f"Resident memory grown for the shown transcript of 10,000 lines, {how}",
            fmt(result["rss_growth_max_MiB"], 2), "MiB",
            "transcript_window_bench: VmRSS, largest growth over the same opens "
            "(target: 5 MiB for the transcript, with the window already open)")
    for result in by_prefix("BM_FollowWhilePaused"):
        row("Player reads in 1 s of pause, transcript shown",
            fmt(result["player_reads_paused_with_transcript"], 0), "",
            "transcript_window_bench: fake player's position and status reads by the whole window after Pause "
            f"({fmt(result['player_reads_paused_without_transcript'], 0)} without a transcript; target: none more)")
    for result in by_prefix("BM_LinesSnapped"):
        row("Snapped lines holding their sound and none of their neighbours'",
            fmt(result["lines_holding_their_sound_alone_pct"], 0), "%",
            f"transcript_window_bench: {int(result['lines_holding_their_sound_alone'])} of {int(result['lines'])} "
            "espeak-ng sentences (pauses 180 to 800 ms) whose LRC times are 300 ms late, real profiler; "
            f"{int(result['lines_clipping_their_sound'])} clip their own sound, "
            f"{int(result['lines_taking_a_neighbours_sound'])} take a neighbour's (target: 100 %)")
    for result in by_prefix("BM_HighlightHeard"):
        measured = int(result["highlights_measured"])
        row("Heard line highlighted after its first sound",
            min_median_max(result, "highlight_after_sound", suffix="_ms") if measured else "n/a", "ms",
            f"transcript_window_bench: min/median/max over {measured} lines of two plays from the lesson's start "
            f"({int(result['highlights_missed'])} not measured), real player, counted in the monitor's samples; "
            "negative: before the sound (target: 50 ms)")
    for result in by_prefix("BM_LineClickHeard"):
        measured = int(result["lines_measured"])
        how = (f"transcript_window_bench: min/median/max over {measured} clicks on lines, real window and player, "
               "heard at a PulseAudio null sink's monitor")
        row("Click on a transcript line to first sound",
            min_median_max(result, "line_to_sound", suffix="_ms") if measured else "n/a", "ms", how + " (target: 35 ms)")
        row("Sound heard past the clicked line's end", fmt(result["past_end_max_ms"]) if measured else "n/a", "ms",
            "transcript_window_bench: the largest over the clicks above, found by content (target: 0)")


def alignment_rows(result, what, how):
    """The accuracy of one alignment of `what`, made `how` (align_bench's counters)."""
    n = int(result["sentences"])
    row(f"Sentence starts within 100 ms / 50 ms, {what}",
        f"{fmt(result['within_100ms_pct'])} / {fmt(result['within_50ms_pct'])}", "%",
        f"align_bench: {n} sentences of {fmt(result['media_s'] / 60)} min, {how}; the real aligner "
        "against the true starts (targets: 95 / 80 %)")
    row(f"Largest start error, {what}", fmt(result["max_error_ms"], 0), "ms",
        f"align_bench: at sentence {int(result['max_error_sentence'])}; mean signed error "
        f"{fmt(result['mean_signed_error_ms'], 0)} ms, positive late (target: none over 500 ms)")
    row(f"Median start error, first / last tenth, {what}",
        f"{fmt(result['median_error_first_tenth_ms'], 0)} / {fmt(result['median_error_last_tenth_ms'], 0)}", "ms",
        "align_bench: of the first and the last tenth of the sentences (no growth along the chapter)")


def align_figures(build):
    results = google_benchmark(os.path.join(build, "bench", "align_bench"))
    by_prefix = lambda prefix: [r for n, r in results.items() if n.startswith(prefix)]
    synthetic = ("tempo changed by up to 25 % in parts of six sentences, pink noise at 20 dB SNR, a 30 s introduction "
                 "the text lacks, pauses of 0.2 to 1.2 s")
    for result in by_prefix("BM_SyntheticChapterAccuracy"):
        alignment_rows(result, f"chapter read by {result['label']}", f"{synthetic}; aligner voice en")
    for result in by_prefix("BM_FirstWindowFit"):
        told = "told wrong" if result["told_wrong"] else "timed"
        row(f"First window's boundaries in pauses, {result['label']}", fmt(result["paused_boundaries_pct"], 0), "%",
            f"align_bench: sentence boundaries of the first window in a pause of 150 ms or more; {told} (rule: under "
            f"80 % is told wrong); distance ratio {fmt(result['distance_ratio'], 2)}, length-ratio spread "
            f"{fmt(result['duration_spread'], 2)}, tempo spread {fmt(result['tempo_spread'], 2)}")
    for result in by_prefix("BM_LibriVoxAccuracy"):
        alignment_rows(result, f"LibriVox clips, {result['label']}",
                       "the 5 clips of pocketsphinx-testdata joined, each transcription a sentence; aligner voice en")
    for result in by_prefix("BM_MandarinAccuracy"):
        alignment_rows(result, "Mandarin chapter", f"read by espeak-ng cmn+f3 at 140 wpm, {synthetic}; aligner voice cmn")
    for name, hours in (("BM_HourLongChapter", "one hour"), ("BM_TenHourChapter", "ten hours")):
        for result in by_prefix(name):
            media_h = result["media_s"] / 3600
            repeated = "" if hours == "one hour" else "; the hour repeated ten times, its introduction only once"
            alignment_rows(result, f"{hours} read by espeak-ng en-us+f3",
                           f"140 wpm, {synthetic}{repeated}; aligner voice en")
            row(f"Align to the finished report, {hours}", fmt(result["align_s"]), "s",
                f"align_bench: {fmt(media_h, 2)} h WAV read by espeak-ng en-us+f3 at 140 wpm under noise, "
                f"{fmt(result['realtime_x'])} x real time (targets for an hour: 120 s, 30 x)")
            row(f"Align to the first report with sentences, {hours}", fmt(result["first_sentences_s"]), "s",
                "align_bench: from Align to the first progress report holding any timed sentence")
            row(f"Peak resident memory grown while aligning, {hours}", fmt(result["peak_growth_MiB"]), "MiB",
                "align_bench: VmHWM (reset before Align) minus VmRSS before (target: 300 MiB for ten hours)")


def print_table():
    headers = ("Figure", "Value", "Unit", "How measured")
    widths = [max(len(str(r[i])) for r in rows + [headers]) for i in range(3)]
    line = lambda r: f"| {r[0]:<{widths[0]}} | {r[1]:>{widths[1]}} | {r[2]:<{widths[2]}} | {r[3]} |"
    print(line(headers))
    print(f"|{'-' * (widths[0] + 2)}|{'-' * (widths[1] + 2)}|{'-' * (widths[2] + 2)}|---|")
    for r in rows:
        print(line(r))


def with_sound_server(build):
    pulse = PulseServer()
    try:
        whole_program(build, pulse)
    finally:
        pulse.stop()


PARTS = {"long_media": long_media_figures, "whole_program": with_sound_server, "player": player_figures,
         "repeat": repeat_figures, "speed": speed_figures, "mpris": mpris_figures, "recorder": recorder_figures,
         "profile": profile_figures, "sentence": sentence_figures, "shadow": shadow_figures,
         "transcript": transcript_figures, "subtitle": subtitle_figures,
         "transcript_window": transcript_window_figures, "align": align_figures, "feedback": feedback_figures,
         "take_feedback": take_feedback_figures}


def main():
    if len(sys.argv) < 2 or any(name not in PARTS for name in sys.argv[2:]):
        sys.exit(__doc__)
    build = sys.argv[1]
    # A part that fails is named at the end; the others still give their figures.
    # The long media go first: the memory figures start the program with one.
    for name, part in PARTS.items():
        if len(sys.argv) > 2 and name not in sys.argv[2:]:
            continue
        try:
            part(build)
        except Exception as error:
            failures.append(f"{part.__name__}: {error}")
    print_table()
    if failures:
        print("\nBENCHMARKS FAILED; their figures are missing from the table:", file=sys.stderr)
        for failure in failures:
            print(f"- {failure}", file=sys.stderr)
        sys.exit(1)


if __name__ == "__main__":
    main()
