#!/usr/bin/env python3
"""Renders one chunk of the demo, frames FIRST to FIRST+COUNT-1, into a video
segment without sound; scripts/render joins the segments.

It runs wherever GNU Parallel starts it: on this machine with the run folder
(--run-dir), or on another host with the run folder packed into a tar file
(--bundle), which it unpacks into a temporary folder and removes again. The
demo captures the chunk (--capture --start --frames) on a private virtual
display of the video's size; each BMP frame is piped into ffmpeg once the next
one is announced, then deleted. The segment is written under a temporary name
and renamed once complete, so a segment that exists is a whole one. --explore,
-n and --tracks go on to the demo.

Standard output carries one line per event for the progress bar:
"chunk K start", "chunk K frame N" (N frames of the chunk encoded),
"chunk K done" and "chunk K failed: why".
"""

import argparse
import base64
import ctypes
import json
import os
import re
import select
import shutil
import signal
import socket
import subprocess
import sys
import tarfile
import tempfile
import time

FPS = 60
SHOW_SECONDS = 58           # the show's length; the demo's is include/ShowLength.h
DATA_FOLDERS = ("shaders", "fonts", "assets")
# The demo announces each frame on stdout just before it writes the file.
FRAME_LINE = re.compile(r"Write to (capture/frame\d+\.bmp)$")
BMP_HEADER_SIZE = 54
LINE_PEEK = 256           # longest read of the demo's output at a time
# The same settings for every segment, so that they join without re-encoding.
X264 = ["-c:v", "libx264", "-preset", "veryfast", "-crf", "18", "-pix_fmt", "yuv420p", "-f", "mp4"]
# Exactly reversible: FFV1 stores the RGB frames as they are.
FFV1 = ["-c:v", "ffv1", "-pix_fmt", "bgr0", "-f", "matroska"]
XVFB_START_S = 30
STOP_WAIT_S = 5
PR_SET_PDEATHSIG = 1


class ChunkError(Exception):
    """A failure that stops the chunk; the message says why."""


class Interrupted(Exception):
    def __init__(self, signum):
        super().__init__(signal.Signals(signum).name)
        self.signum = signum


def parse_args(argv):
    """The options scripts/render gives; they are not meant to be typed."""
    parser = argparse.ArgumentParser(prog="render_chunk.py", add_help=False)
    where = parser.add_mutually_exclusive_group(required=True)
    where.add_argument("--run-dir")
    where.add_argument("--bundle")
    parser.add_argument("--chunk", type=int, required=True)
    parser.add_argument("--first", type=int, required=True)
    parser.add_argument("--count", type=int, required=True)
    parser.add_argument("-w", type=int, required=True)
    parser.add_argument("-h", type=int, required=True)
    parser.add_argument("--lossless", action="store_true")
    # Job slots per GNU Parallel login (base64 JSON), 0 for one per core: the
    # cores are shared out among the chunks running on one host.
    parser.add_argument("--slots", required=True)
    parser.add_argument("-o", required=True)
    parser.add_argument("--explore", action="store_true")
    parser.add_argument("-n", type=int)
    # The tracks file: a path here (--run-dir), a file of the bundle on a host.
    parser.add_argument("--tracks")
    return parser.parse_args(argv)


def llvmpipe_threads(slots_b64):
    """llvmpipe's threads per demo: this host's cores shared out among its job slots."""
    login = os.environ.get("PARALLEL_SSHLOGIN", ":")
    slots = json.loads(base64.b64decode(slots_b64)).get(login, 0)
    cores = len(os.sched_getaffinity(0))
    return max(1, cores // slots) if slots else 1


def tail(path, lines=5):
    """The last lines of a log file on one line, or "" where there is none."""
    try:
        with open(path, errors="replace") as f:
            return " ".join(line.strip() for line in f.readlines()[-lines:])
    except OSError:
        return ""


def end_with_parent():
    """Runs in each child before exec: it gets SIGTERM should the script that
    started it die without cleaning up (SIGKILL), so nothing is left behind."""
    ctypes.CDLL(None, use_errno=True).prctl(PR_SET_PDEATHSIG, signal.SIGTERM)


def stop(proc):
    """Ends a process started here (and its process group), politely first."""
    if proc is None or proc.poll() is not None:
        return
    try:
        os.killpg(proc.pid, signal.SIGTERM)
        proc.wait(STOP_WAIT_S)
    except subprocess.TimeoutExpired:
        os.killpg(proc.pid, signal.SIGKILL)
        proc.wait()
    except ProcessLookupError:
        proc.wait()


def start_xvfb(width, height, log):
    """Starts a virtual display of exactly the video's size, kept as it is when
    its last client leaves; returns the process and its display name (None
    when it did not come up). The tests start their displays here too."""
    ready_read, ready_write = os.pipe()
    try:
        xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(ready_write), "-screen", "0", f"{width}x{height}x24",
             "-nolisten", "tcp", "-noreset"],
            pass_fds=(ready_write,), stdin=subprocess.DEVNULL, stdout=log, stderr=log,
            start_new_session=True, preexec_fn=end_with_parent)
    finally:
        os.close(ready_write)
    # Xvfb writes its display number to the pipe once it accepts clients.
    number = b""
    deadline = time.monotonic() + XVFB_START_S
    try:
        while not number.endswith(b"\n"):
            if not select.select([ready_read], [], [], max(0.0, deadline - time.monotonic()))[0]:
                break
            chunk = os.read(ready_read, 16)
            if not chunk:
                break
            number += chunk
    finally:
        os.close(ready_read)
    return xvfb, ":" + number.decode().strip() if number.strip().isdigit() else None


class Chunk:
    def __init__(self, args):
        self.args = args
        self.segment = os.path.abspath(args.o)
        self.partial = self.segment + ".part"
        self.workdir = None
        self.run_dir = os.path.abspath(args.run_dir) if args.run_dir else None
        self.tracks = None
        if args.tracks is not None and args.run_dir:
            self.tracks = os.path.abspath(args.tracks)
        self.xvfb = self.encoder = self.demo = None
        self.demo_out = None

    def say(self, event):
        """One event line on stdout for scripts/render's progress bar."""
        print(f"chunk {self.args.chunk} {event}", flush=True)

    def log(self, name):
        """A new log file in the chunk's temporary folder."""
        return open(os.path.join(self.workdir, name), "wb")

    def prepare(self):
        """The chunk's temporary folder, the demo's data linked in, and the
        run folder unpacked there from a bundle."""
        self.workdir = tempfile.mkdtemp(prefix="demo-chunk-")
        if self.run_dir is None:
            self.run_dir = os.path.join(self.workdir, "run")
            with tarfile.open(self.args.bundle) as bundle:
                bundle.extractall(self.run_dir)
            if self.args.tracks is not None:
                self.tracks = os.path.join(self.run_dir, self.args.tracks)
        for folder in DATA_FOLDERS:
            os.symlink(os.path.join(self.run_dir, folder), os.path.join(self.workdir, folder))
        os.mkdir(os.path.join(self.workdir, "capture"))

    def demo_command(self):
        """The demo's command line for this chunk's frames."""
        a = self.args
        command = [os.path.join(self.run_dir, "demo"), "--capture", "--windowed",
                   "-w", str(a.w), "-h", str(a.h), "--no-music",
                   "--start", repr(a.first / FPS), "--frames", str(a.count)]
        if a.explore:
            command.append("--explore")
        if a.n is not None:
            command += ["-n", str(a.n)]
        if self.tracks is not None:
            command += ["--tracks", self.tracks]
        return command

    def start(self):
        """Starts the virtual display, the encoder and the demo."""
        a = self.args
        with self.log("xvfb.log") as log:
            self.xvfb, display = start_xvfb(a.w, a.h, log)
        if display is None:
            raise ChunkError("the virtual display (Xvfb) did not start: "
                             + tail(os.path.join(self.workdir, "xvfb.log")))
        encode = ["ffmpeg", "-y", "-hide_banner", "-loglevel", "error",
                  "-f", "image2pipe", "-c:v", "bmp", "-framerate", str(FPS), "-i", "pipe:0",
                  *(FFV1 if a.lossless else X264), self.partial]
        with self.log("ffmpeg.log") as log:
            self.encoder = subprocess.Popen(encode, stdin=subprocess.PIPE,
                                            stdout=subprocess.DEVNULL, stderr=log,
                                            start_new_session=True, preexec_fn=end_with_parent)
        env = dict(os.environ, DISPLAY=display, LIBGL_ALWAYS_SOFTWARE="1",
                   LP_NUM_THREADS=str(llvmpipe_threads(a.slots)))
        # The demo's stdout is a socket with the smallest send buffer rather than
        # a pipe, which would let it run thousands of frames ahead.
        self.demo_out, demo_end = socket.socketpair()
        with demo_end, self.log("demo.log") as log:
            demo_end.setsockopt(socket.SOL_SOCKET, socket.SO_SNDBUF, 1)
            self.demo = subprocess.Popen(self.demo_command(), cwd=self.workdir, env=env,
                                         stdin=subprocess.DEVNULL, stdout=demo_end, stderr=log,
                                         start_new_session=True, preexec_fn=end_with_parent)

    def encode(self, name):
        """Reads a finished frame file, checks that it is whole, deletes it and
        hands it to the encoder."""
        path = os.path.join(self.workdir, name)
        try:
            with open(path, "rb") as f:
                data = f.read()
            os.unlink(path)
        except OSError as e:
            raise ChunkError(f"cannot read {name}: {e.strerror}")
        declared = int.from_bytes(data[2:6], "little") if len(data) >= BMP_HEADER_SIZE else -1
        if not data.startswith(b"BM") or declared != len(data):
            raise ChunkError(f"{name} is incomplete ({len(data)} bytes): is the disk full?")
        try:
            self.encoder.stdin.write(data)
        except BrokenPipeError:
            raise ChunkError("the encoder stopped: " + self.encoder_said())

    def encoder_said(self):
        """The encoder's last messages."""
        return tail(os.path.join(self.workdir, "ffmpeg.log")) or "no message"

    def read_line(self):
        """The demo's next output line, or "" at its end. Reads nothing past the
        line: the demo then blocks once the socket's small buffer is full, a few
        lines (each one a frame file) ahead of the encoder."""
        line = b""
        while not line.endswith(b"\n"):
            peek = self.demo_out.recv(LINE_PEEK, socket.MSG_PEEK)
            if not peek:
                break
            end = peek.find(b"\n")
            line += self.demo_out.recv(end + 1 if end >= 0 else len(peek))
        return line.decode(errors="replace")

    def stream(self):
        """Encodes each frame once the next one is announced or the demo has ended."""
        done = 0
        pending = None
        said = []  # the demo's other lines: its messages go to stdout too
        while line := self.read_line():
            match = FRAME_LINE.match(line.rstrip("\n"))
            if not match:
                said = [*said[-2:], line.strip()]
                continue
            if pending:
                self.encode(pending)
                done += 1
                self.say(f"frame {done}")
            pending = match.group(1)
        status = self.demo.wait()
        if status != 0:
            why = (f"was killed by signal {signal.Signals(-status).name}" if status < 0
                   else f"ended with status {status}")
            message = " ".join([*said, tail(os.path.join(self.workdir, "demo.log"))]).strip()
            raise ChunkError(f"the demo {why}" + (f": {message}" if message else ""))
        if pending:
            self.encode(pending)
            done += 1
            self.say(f"frame {done}")
        if done != self.args.count:
            raise ChunkError(f"the demo wrote {done} frames instead of {self.args.count}")

    def finish(self):
        """Ends the encoder and puts the whole segment in place."""
        self.encoder.stdin.close()
        if self.encoder.wait() != 0:
            raise ChunkError("the encoder failed: " + self.encoder_said())
        os.replace(self.partial, self.segment)

    def clean_up(self):
        """Stops what still runs and removes the temporary folder and segment."""
        if self.encoder is not None and self.encoder.stdin and not self.encoder.stdin.closed:
            try:
                self.encoder.stdin.close()
            except BrokenPipeError:
                pass
        for proc in (self.demo, self.encoder, self.xvfb):
            stop(proc)
        if self.demo_out is not None:
            self.demo_out.close()
        if self.workdir:
            shutil.rmtree(self.workdir, ignore_errors=True)
        try:
            os.unlink(self.partial)
        except FileNotFoundError:
            pass

    def run(self):
        """The chunk from start to end."""
        self.say("start")
        self.prepare()
        self.start()
        self.stream()
        self.finish()
        self.say("done")


def raise_interrupted(signum, _frame):
    """A signal handler that unwinds into the clean-up."""
    raise Interrupted(signum)


def main(argv):
    """Renders the chunk; returns the exit status: 0, 1 for a failure, 128 + a signal."""
    args = parse_args(argv)
    for signum in (signal.SIGINT, signal.SIGTERM, signal.SIGHUP):
        signal.signal(signum, raise_interrupted)
    chunk = Chunk(args)
    status = 0
    try:
        chunk.run()
    except (ChunkError, OSError) as e:
        chunk.say(f"failed: {e}")
        status = 1
    except Interrupted as e:
        status = 128 + e.signum
    finally:
        # A second signal must not cut the clean-up short.
        for signum in (signal.SIGINT, signal.SIGTERM, signal.SIGHUP):
            signal.signal(signum, signal.SIG_IGN)
        chunk.clean_up()
    return status


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
