#!/usr/bin/env python3
"""Renders the whole demo into an MP4 file.

The demo runs in capture mode on a private virtual X display (Xvfb, software
OpenGL) from a temporary working directory that links to the run folder's
data. Each BMP frame is piped into ffmpeg as soon as it is complete and then
deleted, so only a few frames are ever on disk. The video is encoded
as H.264 at 60 fps with the soundtrack as AAC, written under a temporary name
beside the output and renamed once ffmpeg has finished it.

Usage: render_stream.py --run-dir DIR [-w W] [-h H] [-o FILE]
"""

import argparse
import ctypes
import os
import re
import select
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import time
from collections import deque

FRAMES = 3480             # 58 s of demo time at the capture clock's 60 fps
FPS = 60
DURATION_S = 58
SOUNDTRACK = "assets/kelvarra.mp3"
DATA_FOLDERS = ("shaders", "fonts", "assets")
# The demo announces each frame on stdout just before it writes the file.
FRAME_LINE = re.compile(r"Write to (capture/frame\d+\.bmp)$")
BMP_HEADER_SIZE = 54
LINE_PEEK = 256          # longest read of the demo's output at a time
X264_PRESET = "veryfast"  # a few percent of the time the software rendering takes
X264_CRF = "18"           # visually lossless for the smooth gradients and glow
AUDIO_BITRATE = "192k"
XVFB_START_S = 30
STOP_WAIT_S = 5
PR_SET_PDEATHSIG = 1
PROGRESS_STEP_PERCENT = 5   # plain progress lines when stderr is not a terminal
PROGRESS_REDRAW_S = 0.25    # redraw interval of the in-place bar
BAR_WIDTH = 30


class RenderError(Exception):
    """A failure that stops the render; the message says why."""


class Interrupted(Exception):
    def __init__(self, signum):
        super().__init__(signal.Signals(signum).name)
        self.signum = signum


def parse_args(argv):
    # -h is the height, as in the demo's own command line; help is --help.
    parser = argparse.ArgumentParser(prog="scripts/render", add_help=False,
                                     description="Render the demo into an MP4 video.")
    parser.add_argument("--help", action="help", help="show this help and exit")
    # Given by scripts/render itself, so not shown in the help.
    parser.add_argument("--run-dir", required=True, help=argparse.SUPPRESS)
    parser.add_argument("-w", type=int, default=1280, metavar="W", help="width (default 1280)")
    parser.add_argument("-h", type=int, default=720, metavar="H", help="height (default 720)")
    parser.add_argument("-o", default="demo.mp4", metavar="FILE",
                        help="output file (default demo.mp4)")
    args = parser.parse_args(argv)
    # H.264 in yuv420p halves the chroma resolution: both sides must be even.
    if args.w <= 0 or args.h <= 0 or args.w % 2 or args.h % 2:
        parser.error(f"the size must be positive and even in both directions, got {args.w}x{args.h}")
    return args


def format_duration(seconds):
    seconds = int(seconds)
    if seconds >= 3600:
        return f"{seconds // 3600}:{seconds // 60 % 60:02d}:{seconds % 60:02d}"
    return f"{seconds // 60}:{seconds % 60:02d}"


class Progress:
    """Frames done on stderr: a bar redrawn in place on a terminal, otherwise
    one plain line per few percent."""

    def __init__(self, total, stream=sys.stderr):
        self.total = total
        self.stream = stream
        self.tty = stream.isatty()
        self.start = time.monotonic()
        self.last_draw = 0.0
        self.next_percent = PROGRESS_STEP_PERCENT
        self.drawn = False

    def text(self, done):
        elapsed = time.monotonic() - self.start
        left = elapsed / done * (self.total - done) if done else None
        estimate = format_duration(left) if left is not None else "?"
        return (f"{done}/{self.total} frames {100.0 * done / self.total:5.1f}%  "
                f"elapsed {format_duration(elapsed)}  left {estimate}")

    def update(self, done):
        if self.tty:
            now = time.monotonic()
            if now - self.last_draw < PROGRESS_REDRAW_S and done < self.total:
                return
            self.last_draw = now
            filled = BAR_WIDTH * done // self.total
            bar = "#" * filled + "-" * (BAR_WIDTH - filled)
            self.stream.write(f"\r[{bar}] {self.text(done)}\x1b[K")
            self.drawn = True
        elif 100 * done >= self.next_percent * self.total:
            while 100 * done >= self.next_percent * self.total:
                self.next_percent += PROGRESS_STEP_PERCENT
            self.stream.write(f"render: {self.text(done)}\n")
        self.stream.flush()

    def end_line(self):
        """Ends the in-place bar so that later messages start on their own line."""
        if self.drawn:
            self.stream.write("\n")
            self.stream.flush()
            self.drawn = False


def tail(path, lines=5):
    try:
        with open(path, errors="replace") as f:
            return "".join(f.readlines()[-lines:]).strip()
    except OSError:
        return ""


def check_tools(run_dir):
    for tool, package in (("ffmpeg", "ffmpeg"), ("Xvfb", "xvfb")):
        if shutil.which(tool) is None:
            raise RenderError(f"{tool} is not installed (Debian package {package}; "
                              "scripts/install-deps installs it)")
    encoders = subprocess.run(["ffmpeg", "-hide_banner", "-encoders"], capture_output=True,
                              text=True).stdout
    if not re.search(r"^\s*V\S*\s+libx264\s", encoders, re.MULTILINE):
        raise RenderError("this ffmpeg has no libx264 encoder (Debian's ffmpeg has it)")
    needed = ["demo", *DATA_FOLDERS, SOUNDTRACK]
    missing = [name for name in needed if not os.path.exists(os.path.join(run_dir, name))]
    if missing:
        raise RenderError(f"{run_dir} lacks {', '.join(missing)}: build the demo first")


def start_xvfb(width, height, log):
    """Starts a virtual display of exactly the video's size; returns the
    process and its display name."""
    ready_read, ready_write = os.pipe()
    try:
        xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(ready_write), "-screen", "0", f"{width}x{height}x24",
             "-nolisten", "tcp"],
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
    if not number.strip().isdigit():
        return xvfb, None
    return xvfb, ":" + number.decode().strip()


def read_frame(workdir, name):
    """Reads a finished frame file, checks that it is whole and deletes it."""
    path = os.path.join(workdir, name)
    try:
        with open(path, "rb") as f:
            data = f.read()
        os.unlink(path)
    except OSError as e:
        raise RenderError(f"cannot read {name}: {e.strerror}")
    declared = int.from_bytes(data[2:6], "little") if len(data) >= BMP_HEADER_SIZE else -1
    if not data.startswith(b"BM") or declared != len(data):
        raise RenderError(f"{name} is incomplete ({len(data)} bytes): is the disk full?")
    return data


def end_with_parent():
    """Runs in each child before exec: it gets SIGTERM should this script die
    without cleaning up (SIGKILL), so no Xvfb or encoder is left behind."""
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


class Render:
    def __init__(self, args):
        self.args = args
        self.run_dir = os.path.abspath(args.run_dir)
        self.output = os.path.abspath(args.o)
        self.workdir = None
        self.partial = None
        self.xvfb = self.encoder = self.demo = None
        self.demo_out = None
        self.progress = Progress(FRAMES)

    def prepare(self):
        check_tools(self.run_dir)
        out_dir = os.path.dirname(self.output)
        if not os.path.isdir(out_dir):
            raise RenderError(f"no such directory for the output: {out_dir}")
        if os.path.isdir(self.output):
            raise RenderError(f"the output is a directory: {self.output}")
        self.workdir = tempfile.mkdtemp(prefix="demo-render-")
        for folder in DATA_FOLDERS:
            os.symlink(os.path.join(self.run_dir, folder), os.path.join(self.workdir, folder))
        os.mkdir(os.path.join(self.workdir, "capture"))
        # The partial file sits beside the output so that the final rename is atomic.
        fd, self.partial = tempfile.mkstemp(dir=out_dir, prefix=f".{os.path.basename(self.output)}.",
                                            suffix=".part")
        os.close(fd)
        # mkstemp makes the file private; the video gets the usual permissions.
        umask = os.umask(0)
        os.umask(umask)
        os.chmod(self.partial, 0o666 & ~umask)

    def log(self, name):
        return open(os.path.join(self.workdir, name), "wb")

    def start(self):
        w, h = self.args.w, self.args.h
        with self.log("xvfb.log") as log:
            self.xvfb, display = start_xvfb(w, h, log)
        if display is None:
            raise RenderError("the virtual display (Xvfb) did not start: "
                              + tail(os.path.join(self.workdir, "xvfb.log")))
        encode = [
            "ffmpeg", "-y", "-hide_banner", "-loglevel", "error",
            "-f", "image2pipe", "-c:v", "bmp", "-framerate", str(FPS), "-i", "pipe:0",
            "-i", os.path.join(self.run_dir, SOUNDTRACK),
            "-map", "0:v:0", "-map", "1:a:0",
            "-c:v", "libx264", "-preset", X264_PRESET, "-crf", X264_CRF, "-pix_fmt", "yuv420p",
            "-c:a", "aac", "-b:a", AUDIO_BITRATE,
            "-t", str(DURATION_S), "-movflags", "+faststart", "-f", "mp4", self.partial,
        ]
        with self.log("ffmpeg.log") as log:
            self.encoder = subprocess.Popen(encode, stdin=subprocess.PIPE, stdout=subprocess.DEVNULL,
                                            stderr=log, start_new_session=True,
                                            preexec_fn=end_with_parent)
        env = dict(os.environ, DISPLAY=display, LIBGL_ALWAYS_SOFTWARE="1")
        # No music: the soundtrack goes into the file from the MP3 directly.
        command = [os.path.join(self.run_dir, "demo"), "--capture", "--windowed",
                   "-w", str(w), "-h", str(h), "--no-music"]
        # The demo's stdout is a socket with the smallest send buffer rather than
        # a pipe, which would let it run thousands of frames ahead.
        self.demo_out, demo_end = socket.socketpair()
        with demo_end, self.log("demo.log") as log:
            demo_end.setsockopt(socket.SOL_SOCKET, socket.SO_SNDBUF, 1)
            self.demo = subprocess.Popen(command, cwd=self.workdir, env=env, stdin=subprocess.DEVNULL,
                                         stdout=demo_end, stderr=log, start_new_session=True,
                                         preexec_fn=end_with_parent)

    def encode(self, name):
        data = read_frame(self.workdir, name)
        try:
            self.encoder.stdin.write(data)
        except BrokenPipeError:
            raise RenderError("the encoder stopped: "
                              + (tail(os.path.join(self.workdir, "ffmpeg.log")) or "no message"))

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
        said = deque(maxlen=3)  # the demo's last other lines: its messages go to stdout too
        while line := self.read_line():
            match = FRAME_LINE.match(line.rstrip("\n"))
            if not match:
                said.append(line.strip())
                continue
            if pending:
                self.encode(pending)
                done += 1
                self.progress.update(done)
            pending = match.group(1)
        status = self.demo.wait()
        if status != 0:
            why = (f"was killed by signal {signal.Signals(-status).name}" if status < 0
                   else f"ended with status {status}")
            message = " ".join([*said, tail(os.path.join(self.workdir, "demo.log"))]).strip()
            raise RenderError(f"the demo {why}" + (f": {message}" if message else ""))
        if pending:
            self.encode(pending)
            done += 1
            self.progress.update(done)
        if done != FRAMES:
            raise RenderError(f"the demo wrote {done} frames instead of {FRAMES}")

    def finish(self):
        self.encoder.stdin.close()
        if self.encoder.wait() != 0:
            raise RenderError("the encoder failed: "
                              + (tail(os.path.join(self.workdir, "ffmpeg.log")) or "no message"))
        os.replace(self.partial, self.output)
        self.partial = None

    def clean_up(self):
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
        if self.partial:
            try:
                os.unlink(self.partial)
            except FileNotFoundError:
                pass

    def run(self):
        started = time.monotonic()
        self.prepare()
        self.start()
        self.stream()
        self.finish()
        seconds = time.monotonic() - started
        self.progress.end_line()
        print(f"Wrote {self.args.o}: {FRAMES} frames at {self.args.w}x{self.args.h}, "
              f"{DURATION_S} s, rendered in {format_duration(seconds)} "
              f"({FRAMES / seconds:.1f} frames/s)", flush=True)


def raise_interrupted(signum, _frame):
    raise Interrupted(signum)


def main(argv):
    args = parse_args(argv)
    for signum in (signal.SIGINT, signal.SIGTERM, signal.SIGHUP):
        signal.signal(signum, raise_interrupted)
    render = Render(args)
    status = 0
    try:
        render.run()
    except RenderError as e:
        render.progress.end_line()
        print(f"render: error: {e}", file=sys.stderr)
        status = 1
    except OSError as e:
        render.progress.end_line()
        print(f"render: error: {e}", file=sys.stderr)
        status = 1
    except Interrupted as e:
        render.progress.end_line()
        print(f"render: interrupted ({e}); stopping", file=sys.stderr)
        status = 128 + e.signum
    finally:
        # A second Ctrl-C must not cut the clean-up short.
        for signum in (signal.SIGINT, signal.SIGTERM, signal.SIGHUP):
            signal.signal(signum, signal.SIG_IGN)
        render.clean_up()
    if status:
        print("render: no video written; temporary files removed", file=sys.stderr)
    return status


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
