#!/usr/bin/env python3
"""The sound cues reach a real sound server: a private PulseAudio with a null sink whose monitor is
recorded. The welcome cue plays while the main window loads, and the goodbye cue is heard for its whole
length while the splash countdown holds the program's only thread. The recording is kept."""

import array
import math
import os
import shutil
import subprocess
import sys
import time
import wave

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from harness import SOURCE_ROOT, Sandbox, check, run  # noqa: E402

BINARY, ARTIFACTS = sys.argv[1], sys.argv[2]
TITLE = "^Ann's Tolvane Version 1.0$"
RATE = 22050
FRAME = RATE // 100  # 10 ms
MEDIA = os.path.join(SOURCE_ROOT, "assets", "packs", "Media")


def start_sound_server(box):
    """PulseAudio with one null sink on a socket in the private runtime folder, which PULSE_SERVER names
    for everything started afterwards."""
    socket = os.path.join(box.env["XDG_RUNTIME_DIR"], "pulse", "native")
    os.makedirs(os.path.dirname(socket), exist_ok=True)
    log = open(os.path.join(box.artifacts, "pulseaudio.log"), "w")
    box.processes.append(subprocess.Popen(
        ["pulseaudio", "--daemonize=no", "-n", "--exit-idle-time=-1", "--use-pid-file=no",
         "--disable-shm=yes", "--log-target=stderr",
         f"--load=module-null-sink sink_name=cues rate={RATE} channels=1",
         f"--load=module-native-protocol-unix socket={socket} auth-anonymous=1"],
        env=box.env, stdout=log, stderr=log))
    box.env["PULSE_SERVER"] = f"unix:{socket}"
    deadline = time.monotonic() + 20
    while box.x("pactl", "info").returncode != 0:
        check(time.monotonic() < deadline, "the sound server did not start")
        time.sleep(0.1)


def levels(samples):
    """Loudness of each 10 ms frame in dB below full scale."""
    out = []
    for start in range(0, len(samples) - FRAME + 1, FRAME):
        frame = samples[start:start + FRAME]
        rms = math.sqrt(sum(s * s for s in frame) / FRAME)
        out.append(20 * math.log10(rms / 32768) if rms > 0 else -200.0)
    return out


def audible_runs(samples, floor=-60.0, gap=0.15):
    """(start, end) in seconds of the stretches louder than `floor`, bridging quieter gaps up to `gap` s."""
    runs = []
    for index, level in enumerate(levels(samples)):
        if level <= floor:
            continue
        start, end = index / 100, (index + 1) / 100
        if runs and start - runs[-1][1] <= gap:
            runs[-1] = (runs[-1][0], end)
        else:
            runs.append((start, end))
    return runs


def wav_samples(path):
    """The 16-bit mono samples of a cue file (a plain PCM WAV)."""
    with wave.open(path) as cue:
        check(cue.getframerate() == RATE and cue.getnchannels() == 1, f"{path}: unexpected format")
        return array.array("h", cue.readframes(cue.getnframes()))


def audible_length(path):
    runs = audible_runs(wav_samples(path))
    return runs[-1][1] - runs[0][0]


def test():
    with Sandbox(BINARY, ARTIFACTS) as box:
        # Without thunder.wav the load's weather refresh stays silent (a missing cue is silence), so the
        # welcome cue is heard alone.
        os.remove(os.path.join(box.app_dir, "Media", "thunder.wav"))
        box.seed_settings({"My Name": "Ann Example", "State": "Tennessee", "Station": "KCHA",
                           "Time Server": "utcnist.colorado.edu", "Sound": "1", "Splash": "0",
                           "Update": "1", "UTC": "0"})
        start_sound_server(box)
        recording = os.path.join(box.artifacts, "sink.raw")
        with open(recording, "wb") as out:
            recorder = subprocess.Popen(["parec", "-d", "cues.monitor", "--format=s16le", f"--rate={RATE}",
                                         "--channels=1", "--latency-msec=20"], env=box.env, stdout=out)
        box.processes.append(recorder)

        def recorded_seconds():
            return os.path.getsize(recording) / 2 / RATE
        # Times below are positions in the recording, so it must be running before anything plays.
        deadline = time.monotonic() + 20
        while recorded_seconds() < 0.5:
            check(time.monotonic() < deadline, "the sink's monitor delivered nothing")
            time.sleep(0.1)

        program = box.start_program()
        window = box.wait_for_window(TITLE)
        time.sleep(2)
        exit_at = recorded_seconds()
        box.key(window, "ctrl+x")
        splash = box.wait_for_window("^Tolvane$", timeout=10)
        box.screenshot(splash, "goodbye_countdown")
        check(program.wait(timeout=30) == 0, "Exit must end the program")
        ended_at = recorded_seconds()
        time.sleep(0.5)
        recorder.terminate()
        recorder.wait(timeout=10)

        with open(recording, "rb") as raw:
            samples = array.array("h", raw.read())
        subprocess.run(["sox", "-t", "raw", "-r", str(RATE), "-e", "signed", "-b", "16", "-c", "1", recording,
                        os.path.join(box.artifacts, "sink.wav")], check=True)
        runs = audible_runs(samples)
        welcome = audible_length(os.path.join(MEDIA, "myfriend.wav"))
        goodbye = audible_length(os.path.join(MEDIA, "goodbye.wav"))
        with open(os.path.join(box.artifacts, "measurements.txt"), "w") as notes:
            notes.write(f"audible runs (s): {runs}\n"
                        f"exit at {exit_at:.2f} s, program ended at {ended_at:.2f} s\n"
                        f"cue lengths (s): myfriend {welcome:.2f}, goodbye {goodbye:.2f}\n")
        check(len(runs) == 2, f"expected the welcome and the goodbye cue, heard {runs}")
        (welcome_start, welcome_end), (goodbye_start, goodbye_end) = runs
        check(0 < welcome_start and welcome_end <= exit_at, "the welcome cue must play at load")
        check(abs((welcome_end - welcome_start) - welcome) < 0.2,
              f"the welcome cue lasted {welcome_end - welcome_start:.2f} s of its {welcome:.2f} s")
        check(exit_at <= goodbye_start < exit_at + 1.0, f"the goodbye cue started at {goodbye_start:.2f} s, "
              f"Exit was pressed at {exit_at:.2f} s")
        check(abs((goodbye_end - goodbye_start) - goodbye) < 0.2,
              f"the goodbye cue lasted {goodbye_end - goodbye_start:.2f} s of its {goodbye:.2f} s")
        check(goodbye_end < ended_at, "the goodbye cue must end while the countdown still holds the program")
        check(ended_at - exit_at >= 5.0, f"the countdown held the program only {ended_at - exit_at:.2f} s")


if shutil.which("pulseaudio") is None or shutil.which("parec") is None:
    print("FAIL: pulseaudio and parec (pulseaudio-utils) are needed")
    raise SystemExit(1)
run(test)
