"""How the demo behaves when the music cannot play: a missing track is fatal,
"--no-music" touches no SDL at all, and a missing sound device only warns."""

import os
import subprocess
import threading
import unittest

from demo_harness import (DEMO, DataDir, close_window, demo_env, find_window, finish, start_demo,
                          window_exists)

SMALL = ["--windowed", "-w", "64", "-h", "36", "-n", "10"]
NO_DEVICE = "the demo plays without music"


def close(proc, wid):
    """Escape, then the end of the process."""
    close_window(wid)
    return finish(proc, timeout=60)


def drain(path, sink):
    with open(path, "rb") as f:
        sink.append(f.read())


class MissingTrack(unittest.TestCase):
    def test_missing_track_is_fatal_and_takes_the_window_along(self):
        with DataDir(omit=["assets/kelvarra.mp3"]) as data:
            # The disk driver opens its file inside Mix_OpenAudio; a FIFO holds
            # the demo there, window open, until the test starts reading.
            fifo = data.file("audio.fifo")
            os.mkfifo(fifo)
            proc = start_demo(SMALL, data.path, env={
                "SDL_AUDIODRIVER": "disk", "SDL_DISKAUDIOFILE": fifo, "SDL_DISKAUDIODELAY": "29"})
            try:
                wid = find_window(proc)
            finally:
                written = []
                reader = threading.Thread(target=drain, args=(fifo, written))
                reader.start()
            status, out, err = finish(proc, timeout=60)
            reader.join(timeout=10)

        self.assertEqual(status, 1)
        self.assertIn("Error loading music: assets/kelvarra.mp3\n", err)
        self.assertEqual(out, "64 36\n")
        self.assertFalse(window_exists(wid), "the window outlived the process")


class NoMusic(unittest.TestCase):
    def test_no_music_makes_no_sdl_call(self):
        # With an audio driver that cannot work, any SDL audio start-up would warn.
        with DataDir() as data:
            proc = start_demo(SMALL + ["--no-music"], data.path, env={"SDL_AUDIODRIVER": "none"})
            wid = find_window(proc)
            status, out, err = close(proc, wid)
        self.assertEqual(status, 0)
        self.assertEqual(out, "64 36\n")
        self.assertEqual(err, "")

    def test_no_music_still_needs_no_track(self):
        with DataDir(omit=["assets"]) as data:
            proc = start_demo(SMALL + ["--no-music"], data.path, env={"SDL_AUDIODRIVER": "none"})
            wid = find_window(proc)
            status, _, err = close(proc, wid)
        self.assertEqual(status, 0)
        self.assertEqual(err, "")


class NoSoundDevice(unittest.TestCase):
    def run_without_device(self, env):
        """Runs until the warning appears, checks the demo goes on, then closes it."""
        with DataDir() as data:
            proc = subprocess.Popen([DEMO, *SMALL], cwd=data.path, env=env, text=True,
                                    stdout=subprocess.PIPE, stderr=subprocess.PIPE)
            wid = find_window(proc)
            lines = []
            while not lines or NO_DEVICE not in lines[-1]:
                line = proc.stderr.readline()
                self.assertTrue(line, f"no warning before stderr closed: {lines!r}")
                lines.append(line)
            self.assertIsNone(proc.poll(), "the demo stopped without a sound device")
            status, out, err = close(proc, wid)
            return status, out, "".join(lines) + err

    def test_no_audio_driver_warns_and_runs_on(self):
        # This machine has no sound card: SDL starts its audio subsystem, then
        # the mixer cannot open a device.
        env = demo_env()
        del env["SDL_AUDIODRIVER"]
        status, out, err = self.run_without_device(env)
        self.assertEqual(status, 0)
        self.assertEqual(out, "64 36\n")
        warnings = [line for line in err.splitlines() if NO_DEVICE in line]
        self.assertEqual(len(warnings), 1, err)
        self.assertRegex(warnings[0], r"^Could not open the audio device \(.+\); " + NO_DEVICE)

    def test_unusable_driver_warns_even_without_the_track(self):
        # The track is not loaded when there is no device to play it on.
        with DataDir(omit=["assets/kelvarra.mp3"]) as data:
            proc = start_demo(SMALL, data.path, env={"SDL_AUDIODRIVER": "none"})
            wid = find_window(proc)
            status, _, err = close(proc, wid)
        self.assertEqual(status, 0)
        self.assertIn(NO_DEVICE, err)
        self.assertNotIn("Error loading music", err)


if __name__ == "__main__":
    unittest.main()
