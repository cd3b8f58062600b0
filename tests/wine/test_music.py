"""Background music played for real under Wine and checked in the captured
sound.

What the ALSA file capture does, as measured here: it writes nothing while no
sound device is open; once one is open it is drained faster than real time
(about four to six seconds of sound per second), and while a stream is open
but has no data (between the end of an MP3 file and its restart) Wine fills
it with silence. So the capture's length says nothing about wall-clock time.
The tests therefore time events by the helper's output lines as they arrive,
sample the capture's size alongside, and judge the sound written between two
moments by its RMS.
"""

import array
import math
import os
import signal
import subprocess
import threading
import time
import unittest

import harness

BYTES_PER_SECOND = harness.CAPTURE_RATE * harness.CAPTURE_FRAME


class Player:
    """One run of the music_player helper: its output lines stamped with their
    arrival time, and the capture's size sampled every 0.1 s."""

    def __init__(self, prefix, *args):
        self.prefix = prefix
        self.start = time.time()
        self.process = prefix.start(harness.helper_binary("music_player"), *args,
                                    stdout=subprocess.PIPE)
        self.lines = []
        self.sizes = []
        self._reader = threading.Thread(target=self._read, daemon=True)
        self._reader.start()

    def _read(self):
        for raw in self.process.stdout:
            text = raw.decode("cp932", "replace").strip().split(" ", 1)
            self.lines.append((time.time() - self.start, text[1] if len(text) > 1 else ""))

    def finish(self, timeout=60):
        """The helper's exit code, once it has ended; None when it was still
        running after timeout seconds and had to be ended here (its output
        ends with it, so the reader is not left waiting for more)."""
        end = time.time() + timeout * harness.RUN.patience
        while self.process.poll() is None and time.time() < end:
            self.sizes.append((time.time() - self.start, harness.capture_size(self.prefix)))
            time.sleep(0.1)
        code = self.process.poll()
        if code is None:
            os.killpg(self.process.pid, signal.SIGKILL)
            self.process.wait()
        self._reader.join(5)
        self.process.stdout.close()
        self.sizes.append((time.time() - self.start, harness.capture_size(self.prefix)))
        return code

    def texts(self):
        return [text for _, text in self.lines]

    def when(self, prefix):
        """Arrival times of the lines that start with prefix."""
        return [t for t, text in self.lines if text.startswith(prefix)]

    def size_at(self, moment):
        """The capture's size at the last sample taken at or before moment."""
        before = [size for t, size in self.sizes if t <= moment]
        return before[-1] if before else 0

    def rms_between(self, t0, t1):
        """RMS of the sound written to the capture between two moments."""
        first, last = self.size_at(t0), self.size_at(t1)
        if last <= first:
            return 0.0
        return harness.audio_rms(self.prefix.capture_path, first / BYTES_PER_SECOND,
                                 (last - first) / BYTES_PER_SECOND)

    def sound_seconds(self, t0, t1):
        """Seconds of sound (tenths of a second whose RMS passes 0.1) in what
        was written to the capture between two moments."""
        first, last = self.size_at(t0), self.size_at(t1)
        block = BYTES_PER_SECOND // 10
        with open(self.prefix.capture_path, "rb") as f:
            f.seek(first)
            data = f.read(max(0, last - first))
        loud = 0
        for start in range(0, len(data) - block + 1, block):
            samples = array.array("h", data[start:start + block])[::4]
            if math.sqrt(sum(x * x for x in samples) / len(samples)) / 32768 > 0.1:
                loud += 1
        return loud / 10


def make_tone(path, seconds, frequency):
    subprocess.run(["sox", "-n", "-r", "44100", "-c", "2", "-b", "16", path,
                    "synth", str(seconds), "sine", str(frequency), "vol", "0.5"], check=True)


class MusicTest(harness.WineTestCase):

    def wav_file(self, seconds=1.5):
        os.makedirs(self.prefix.c("Music"), exist_ok=True)
        make_tone(self.prefix.c("Music", "tone.wav"), seconds, 440)
        return "C:\\Music\\tone.wav"

    @harness.both_arches
    def test_wav_loops_until_stopped(self):
        length = 1.5
        player = Player(self.prefix, "wav", self.wav_file(length), "4", "2")
        self.assertEqual(player.finish(), 0, player.lines)
        self.assertIn("devices 1", player.texts())
        started, stopped = player.when("started")[0], player.when("stopped")[0]
        self.assertGreater(stopped - started, 2 * length + 0.5)

        # The whole capture up to the stop is the tone, so the loop has no gaps.
        self.assertGreater(player.rms_between(0, stopped), 0.3)
        # Still sounding after more than twice the file's length.
        late = started + 2 * length + 0.2
        self.assertGreater(player.size_at(stopped), player.size_at(late))
        self.assertGreater(player.rms_between(late, stopped), 0.3)
        # Nothing sounds after WavStop although the program runs on.
        self.assertEqual(player.size_at(stopped + 1.0), player.sizes[-1][1])
        self.assertLess(player.rms_between(stopped + 0.5, player.sizes[-1][0]), 0.01)

    def test_wav_needs_a_wave_device(self):
        self.prefix.disable_sound()
        player = Player(self.prefix, "wav", self.wav_file(), "2", "0")
        self.assertEqual(player.finish(), 0, player.lines)
        self.assertIn("devices 0", player.texts())
        self.assertIn("stopped", player.texts())
        self.assertEqual(harness.capture_size(self.prefix), 0)

    @harness.both_arches
    def test_mp3_restarts_after_its_end_until_stopped(self):
        length = 1.5
        folder = self.prefix.c("My Music", "曲 たち")
        os.makedirs(folder)
        wav = os.path.join(folder, "tone.wav")
        make_tone(wav, length, 660)
        subprocess.run(["lame", "--quiet", wav, os.path.join(folder, "tone 1.mp3")], check=True)
        os.remove(wav)

        player = Player(self.prefix, "mp3", "C:\\My Music\\曲 たち\\tone 1.mp3", "7.5", "2")
        self.assertEqual(player.finish(), 0, player.lines)
        self.assertIn("started 1", player.texts())  # open and play worked
        self.assertIn("stopped 0", player.texts())
        # Every tick that finds the file ended restarts it.
        starts = player.when("started") + player.when("ended")
        stopped = player.when("stopped")[0]
        self.assertGreaterEqual(len(starts), 3, player.lines)

        # Each start sounds before the next one (the last before the capture
        # ends). Not within a fixed second: on a busy machine the sound may
        # reach the capture a second or more after the start, and silence
        # fills the wait for the next.
        for begin, until in zip(starts, starts[1:] + [player.sizes[-1][0]]):
            self.assertGreaterEqual(player.sound_seconds(begin, until), 0.5, (begin, starts, stopped))
        for begin, again in zip(starts, starts[1:]):
            # Never cut short, and restarted within about a second of the end.
            self.assertGreater(again - begin, length - 0.1, starts)
            self.assertLess(again - begin, length + 1.0 + 0.5, starts)

        # Mp3Stop ends the sound: the capture stops growing.
        self.assertEqual(player.size_at(stopped + 1.0), player.sizes[-1][1])

    @harness.both_arches
    def test_cd_without_a_drive_stops_polling(self):
        player = Player(self.prefix, "cd", "1.5")
        self.assertEqual(player.finish(), 0, player.lines)
        texts = player.texts()
        self.assertEqual(texts.count("poll 0"), 1, texts)
        self.assertIn("polls 1", texts)
        self.assertIn("CdPollOk 0", texts)
        self.assertNotIn("closed", texts)  # a failed poll leaves nothing to stop

        reply = Player(self.prefix, "query", "status cdaudio current track")
        self.assertEqual(reply.finish(), 0)
        self.assertTrue(reply.texts()[0].startswith("reply Error:"), reply.texts())


if __name__ == "__main__":
    unittest.main()
