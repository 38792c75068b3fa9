#!/usr/bin/env python3
"""Renders the whole demo into a video file, in chunks run side by side.

The 3480 frames are split into contiguous chunks of whole bars (120 frames).
GNU Parallel runs scripts/render_chunk.py for each, up to --jobs at a time on
this machine or on the hosts of --hosts over ssh; each chunk renders on its own
virtual display into its own segment, encoded with the same settings and
starting on a key frame. The soundtrack is encoded once, then ffmpeg's concat
demuxer joins the segments by stream copy and muxes the sound in, into a
temporary file beside the output that is renamed once complete.

Finished segments and GNU Parallel's job log stay in a work folder beside the
output (OUTPUT.render) until the video is written: after an interruption or a
failure, the same command renders only the chunks whose segment is missing
(a segment is renamed into place once complete; the job log, appended to by
every run, records what ran where).

Usage: render.py --run-dir DIR [-w W] [-h H] [-o FILE] [--jobs N] [--hosts FILE]
                 [--chunks N] [--lossless]
"""

import argparse
import base64
import hashlib
import json
import os
import re
import shlex
import shutil
import signal
import subprocess
import sys
import tarfile
import tempfile
import time

from render_chunk import Interrupted, end_with_parent, raise_interrupted, tail

FRAMES = 3480             # 58 s of demo time at the capture clock's 60 fps
BAR_FRAMES = 120          # one bar of the 120 BPM track: 2 s
BARS = FRAMES // BAR_FRAMES
DURATION_S = 58
SOUNDTRACK = "assets/kelvarra.mp3"
RUN_FILES = ("demo", "shaders", "fonts", "assets", "lib")
CHUNK_SCRIPT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "render_chunk.py")
CHUNKS_PER_SLOT = 3       # evens out chunks that take longer than others
TRIES = 3                 # a failed chunk is tried again, on another host where there is one
STOP_WAIT_S = 15
CHUNK_LINE = re.compile(r"chunk (\d+) (start|done|frame (\d+)|failed: (.*))$")
PROGRESS_STEP_PERCENT = 5   # plain progress lines when stderr is not a terminal
PROGRESS_REDRAW_S = 0.25    # redraw interval of the in-place bar
BAR_WIDTH = 20


class RenderError(Exception):
    """A failure that stops the render; the message says why."""


def cores():
    return len(os.sched_getaffinity(0))


def parse_args(argv):
    # -h is the height, as in the demo's own command line; help is --help.
    parser = argparse.ArgumentParser(prog="scripts/render", add_help=False,
                                     description="Render the demo into a video.")
    parser.add_argument("--help", action="help", help="show this help and exit")
    # Given by scripts/render itself, so not shown in the help.
    parser.add_argument("--run-dir", required=True, help=argparse.SUPPRESS)
    parser.add_argument("-w", type=int, default=1280, metavar="W", help="width (default 1280)")
    parser.add_argument("-h", type=int, default=720, metavar="H", help="height (default 720)")
    parser.add_argument("-o", metavar="FILE", help="output file (default demo.mp4, with --lossless demo.mkv)")
    parser.add_argument("--jobs", type=int, metavar="N",
                        help=f"chunks rendered at a time on each machine (default: one per core, here {cores()})")
    parser.add_argument("--hosts", metavar="FILE",
                        help="render on the ssh logins of FILE (GNU Parallel's --sshloginfile format; ':' is this machine)")
    parser.add_argument("--chunks", type=int, metavar="N",
                        help=f"number of chunks, 1 to {BARS} (default {CHUNKS_PER_SLOT} per job slot)")
    parser.add_argument("--lossless", action="store_true",
                        help="exactly reversible RGB frames (FFV1) and FLAC sound in Matroska")
    args = parser.parse_args(argv)
    args.o = args.o or ("demo.mkv" if args.lossless else "demo.mp4")
    if args.lossless:
        if not args.o.endswith(".mkv"):
            parser.error(f"--lossless writes Matroska: the output must end in .mkv, got {args.o}")
    elif args.w <= 0 or args.h <= 0 or args.w % 2 or args.h % 2:
        # H.264 in yuv420p halves the chroma resolution: both sides must be even.
        parser.error(f"the size must be positive and even in both directions, got {args.w}x{args.h}")
    if args.w <= 0 or args.h <= 0:
        parser.error(f"the size must be positive, got {args.w}x{args.h}")
    if args.jobs is not None and args.jobs < 1:
        parser.error(f"--jobs must be 1 or more, got {args.jobs}")
    if args.chunks is not None and not 1 <= args.chunks <= BARS:
        parser.error(f"--chunks must be from 1 to {BARS}, got {args.chunks}")
    return args


def read_hosts(path, jobs):
    """The logins of a GNU Parallel --sshloginfile, each with its job slots:
    the N of "N/login", else --jobs, else 0 for one per core of that host."""
    slots = {}
    try:
        with open(path) as f:
            for line in f:
                line = line.strip()
                if line and not line.startswith("#"):
                    match = re.match(r"(\d+)/(.*)$", line)
                    slots[match.group(2).strip() if match else line] = int(match.group(1)) if match else jobs or 0
    except OSError as e:
        raise RenderError(f"cannot read the hosts file {path}: {e.strerror}")
    if not slots:
        raise RenderError(f"the hosts file {path} names no login")
    return slots


def split_chunks(count):
    """`count` contiguous chunks of whole bars, their lengths at most one bar apart:
    (first frame, frames) each."""
    chunks, first = [], 0
    for i in range(count):
        frames = (BARS // count + (i < BARS % count)) * BAR_FRAMES
        chunks.append((first, frames))
        first += frames
    return chunks


def data_digest(run_dir):
    """A digest of the demo and its data: segments of another build are not reused."""
    digest = hashlib.sha256()
    for name in RUN_FILES:
        top = os.path.join(run_dir, name)
        paths = [top] if os.path.isfile(top) else sorted(
            os.path.join(d, f) for d, _, files in os.walk(top, followlinks=True) for f in files)
        for path in paths:
            digest.update(os.path.relpath(path, run_dir).encode() + b"\0")
            with open(path, "rb") as f:
                digest.update(hashlib.sha256(f.read()).digest())
    return digest.hexdigest()


def format_duration(seconds):
    seconds = int(seconds)
    if seconds >= 3600:
        return f"{seconds // 3600}:{seconds // 60 % 60:02d}:{seconds % 60:02d}"
    return f"{seconds // 60}:{seconds % 60:02d}"


class Progress:
    """Frames done of all chunks and the chunks' states on stderr: a bar
    redrawn in place on a terminal, otherwise one plain line per few percent."""

    def __init__(self, chunks, finished, stream=sys.stderr):
        self.chunks = chunks
        self.done = set(finished)
        self.running = {}        # chunk: frames encoded by its current attempt
        self.started = {}        # chunk: when this run began its latest attempt
        self.rates = []          # frames per second of each chunk this run finished
        self.failed = 0          # attempts that failed
        self.resumed = self.frames()
        self.stream = stream
        self.tty = stream.isatty()
        self.start = time.monotonic()
        self.last_draw = 0.0
        self.next_percent = PROGRESS_STEP_PERCENT
        self.drawn = False

    def frames(self):
        return sum(self.chunks[k][1] for k in self.done) + sum(self.running.values())

    def event(self, line):
        """Applies one line of a chunk's output; returns a failure's message."""
        match = CHUNK_LINE.match(line.strip())
        if not match or int(match.group(1)) >= len(self.chunks):
            return None
        k, what = int(match.group(1)), match.group(2)
        if what == "start":
            # A new attempt while the last one still counts as running: that one died.
            self.failed += k in self.running
            self.running[k] = 0
            self.started[k] = time.monotonic()
        elif what == "done":
            self.running.pop(k, None)
            self.done.add(k)
            self.rates.append(self.chunks[k][1] / (time.monotonic() - self.started[k]))
        elif match.group(3):
            self.running[k] = int(match.group(3))
        else:
            self.running.pop(k, None)
            self.failed += 1
            return f"chunk {k}: {match.group(4)}"
        self.update()
        return None

    def text(self):
        done = self.frames()
        elapsed = time.monotonic() - self.start
        rendered = done - self.resumed
        left = format_duration(elapsed / rendered * (FRAMES - done)) if rendered else "?"
        return (f"{done}/{FRAMES} frames {100.0 * done / FRAMES:5.1f}%  chunks: {len(self.running)} running, "
                f"{len(self.done)}/{len(self.chunks)} done, {self.failed} failed  "
                f"elapsed {format_duration(elapsed)}  left {left}")

    def update(self):
        done = self.frames()
        if self.tty:
            now = time.monotonic()
            if now - self.last_draw < PROGRESS_REDRAW_S and done < FRAMES:
                return
            self.last_draw = now
            filled = BAR_WIDTH * done // FRAMES
            # Cut to the terminal's width: a wrapped line would not redraw in place.
            line = f"[{'#' * filled}{'-' * (BAR_WIDTH - filled)}] {self.text()}"
            self.stream.write(f"\r{line[:shutil.get_terminal_size().columns - 1]}\x1b[K")
            self.drawn = True
        elif 100 * done >= self.next_percent * FRAMES:
            while 100 * done >= self.next_percent * FRAMES:
                self.next_percent += PROGRESS_STEP_PERCENT
            self.stream.write(f"render: {self.text()}\n")
        self.stream.flush()

    def end_line(self):
        """Ends the in-place bar so that later messages start on their own line."""
        if self.drawn:
            self.stream.write("\n")
            self.stream.flush()
            self.drawn = False


def check_tools(run_dir, remote):
    tools = [("ffmpeg", "ffmpeg"), ("Xvfb", "xvfb"), ("parallel", "parallel")] + [("rsync", "rsync")] * remote
    for tool, package in tools:
        if shutil.which(tool) is None:
            raise RenderError(f"{tool} is not installed (Debian package {package}; "
                              "scripts/install-deps installs it)")
    encoders = subprocess.run(["ffmpeg", "-hide_banner", "-encoders"], capture_output=True, text=True).stdout
    if not re.search(r"^\s*V\S*\s+libx264\s", encoders, re.MULTILINE):
        raise RenderError("this ffmpeg has no libx264 encoder (Debian's ffmpeg has it)")
    missing = [name for name in ("demo", "shaders", "fonts", SOUNDTRACK) if not os.path.exists(os.path.join(run_dir, name))]
    if missing:
        raise RenderError(f"{run_dir} lacks {', '.join(missing)}: build the demo first")


class Render:
    def __init__(self, args):
        self.args = args
        self.run_dir = os.path.abspath(args.run_dir)
        self.output = os.path.abspath(args.o)
        self.work = self.output + ".render"
        self.extension = ".mkv" if args.lossless else ".mp4"
        self.partial = None
        self.parallel = None
        self.progress = None
        if args.hosts:
            self.slots = read_hosts(args.hosts, args.jobs)
        else:
            self.slots = {":": args.jobs or cores()}
        slot_count = sum(n or cores() for n in self.slots.values())
        self.chunks = split_chunks(args.chunks or min(BARS, CHUNKS_PER_SLOT * slot_count))

    def path(self, name):
        return os.path.join(self.work, name)

    def segment(self, number):
        """Chunk `number`'s segment (two digits, or GNU Parallel's "{1}"); the
        name carries the render's id, being also its name on the hosts."""
        return f"render-{self.plan['id']}-chunk{number}{self.extension}"

    def prepare(self):
        check_tools(self.run_dir, bool(self.args.hosts))
        out_dir = os.path.dirname(self.output)
        if not os.path.isdir(out_dir):
            raise RenderError(f"no such directory for the output: {out_dir}")
        if os.path.isdir(self.output):
            raise RenderError(f"the output is a directory: {self.output}")
        plan = {"size": [self.args.w, self.args.h], "lossless": self.args.lossless,
                "chunks": [list(chunk) for chunk in self.chunks],
                "data": data_digest(self.run_dir)}
        try:
            with open(self.path("plan.json")) as f:
                kept = json.load(f)
        except FileNotFoundError:
            if os.path.exists(self.work):
                raise RenderError(f"{self.work} is in the way of the render's work folder")
            kept = None
        except (OSError, ValueError) as e:
            raise RenderError(f"cannot read {self.path('plan.json')}: {e}")
        # A resume keeps the chunks it began with, unless --chunks asks for others.
        same = kept is not None and all(kept.get(k) == v for k, v in plan.items() if k != "chunks")
        if same and (self.args.chunks is None or kept["chunks"] == plan["chunks"]):
            self.plan = kept
            self.chunks = kept["chunks"]
        else:
            if kept is not None:
                print(f"render: {self.work} holds chunks of another size, build or split; starting afresh",
                      file=sys.stderr)
                shutil.rmtree(self.work)
            os.mkdir(self.work)
            self.plan = dict(plan, id=os.urandom(4).hex())
            with open(self.path("plan.json"), "w") as f:
                json.dump(self.plan, f)
        finished = len(self.finished())
        if finished:
            print(f"render: resuming from {self.work}: {finished} of {len(self.chunks)} chunks done", file=sys.stderr)

    def finished(self):
        return [k for k in range(len(self.chunks)) if os.path.exists(self.path(self.segment(f'{k:02d}')))]

    def encode_soundtrack(self):
        """The soundtrack for the whole show, encoded once (and kept for a resume)."""
        name = self.path("soundtrack" + (".flac" if self.args.lossless else ".m4a"))
        if not os.path.exists(name):
            codec = ["-c:a", "flac", "-f", "flac"] if self.args.lossless else ["-c:a", "aac", "-b:a", "192k", "-f", "mp4"]
            result = subprocess.run(["ffmpeg", "-y", "-hide_banner", "-loglevel", "error", "-i",
                                     os.path.join(self.run_dir, SOUNDTRACK), "-vn", "-t", str(DURATION_S), *codec,
                                     name + ".part"], capture_output=True, text=True)
            if result.returncode != 0:
                raise RenderError("the soundtrack's encoder failed: " + result.stderr.strip()[-500:])
            os.replace(name + ".part", name)
        return name

    def parallel_command(self):
        a = self.args
        slots = base64.b64encode(json.dumps(self.slots).encode()).decode()
        options = f"--chunk {{1}} --first {{2}} --count {{3}} -w {a.w} -h {a.h} --slots {slots} " \
                  f"-o {self.segment('{1}')}" + " --lossless" * a.lossless
        command = ["parallel", "--will-cite", "--colsep", " ", "--line-buffer", "--joblog", "+jobs.log",
                   "--retries", str(TRIES)]
        if not a.hosts:
            return command + ["-j", str(self.slots[":"]),
                              f"python3 {shlex.quote(CHUNK_SCRIPT)} --run-dir {shlex.quote(self.run_dir)} {options}"]
        # The run folder goes to each host once, as a tar file with the chunk
        # script inside; the segments come back; --cleanup leaves nothing there.
        bundle = f"render-{self.plan['id']}.tar"
        with tarfile.open(self.path(bundle), "w", dereference=True) as tar:
            for name in RUN_FILES:
                if os.path.exists(os.path.join(self.run_dir, name)):
                    tar.add(os.path.join(self.run_dir, name), name)
            tar.add(CHUNK_SCRIPT, "render_chunk.py")
        return command + ["-j", str(a.jobs)] * bool(a.jobs) + [
            "--sshloginfile", os.path.abspath(a.hosts), "--basefile", bundle,
            "--return", self.segment("{1}"), "--cleanup",
            f"tar -xOf {bundle} render_chunk.py | python3 - --bundle {bundle} {options}"]

    def render_chunks(self):
        self.progress = Progress(self.chunks, self.finished())
        self.progress.update()
        # The segments that exist are whole ones: only the missing chunks are run.
        jobs = "".join(f"{k:02d} {first} {count}\n" for k, (first, count) in enumerate(self.chunks)
                       if k not in self.progress.done)
        with open(self.path("parallel.log"), "ab") as log:
            self.parallel = subprocess.Popen(self.parallel_command(), cwd=self.work, stdin=subprocess.PIPE,
                                             stdout=subprocess.PIPE, stderr=log, text=True,
                                             start_new_session=True, preexec_fn=end_with_parent)
        self.parallel.stdin.write(jobs)
        self.parallel.stdin.close()
        failure = None
        for line in self.parallel.stdout:
            failure = self.progress.event(line) or failure
        status = self.parallel.wait()
        missing = len(self.chunks) - len(self.finished())
        if status != 0 or missing:
            why = failure or tail(self.path("parallel.log")) or f"GNU Parallel ended with status {status}"
            raise RenderError(f"{missing} of {len(self.chunks)} chunks failed ({why}); the finished segments "
                              f"are kept in {self.work}: the same command renders the rest")

    def join(self, soundtrack):
        """Joins the segments by stream copy, muxes the soundtrack in and checks the frame count."""
        # The partial file sits beside the output so that the final rename is atomic.
        fd, self.partial = tempfile.mkstemp(dir=os.path.dirname(self.output),
                                            prefix=f".{os.path.basename(self.output)}.", suffix=".part")
        os.close(fd)
        # mkstemp makes the file private; the video gets the usual permissions.
        umask = os.umask(0)
        os.umask(umask)
        os.chmod(self.partial, 0o666 & ~umask)
        with open(self.path("segments.txt"), "w") as f:
            f.writelines(f"file '{self.segment(f'{k:02d}')}'\n" for k in range(len(self.chunks)))
        container = ["-f", "matroska"] if self.args.lossless else ["-movflags", "+faststart", "-f", "mp4"]
        result = subprocess.run(["ffmpeg", "-y", "-hide_banner", "-loglevel", "error", "-f", "concat", "-safe", "0",
                                 "-i", self.path("segments.txt"), "-i", soundtrack, "-map", "0:v:0", "-map", "1:a:0",
                                 "-c", "copy", *container, self.partial], capture_output=True, text=True)
        if result.returncode != 0:
            raise RenderError("joining the segments failed: " + result.stderr.strip()[-500:])
        count = subprocess.run(["ffprobe", "-v", "error", "-select_streams", "v:0", "-count_packets", "-show_entries",
                                "stream=nb_read_packets", "-of", "csv=p=0", self.partial],
                               capture_output=True, text=True).stdout.strip()
        if count != str(FRAMES):
            raise RenderError(f"the joined video has {count or 'no'} frames instead of {FRAMES}")
        os.replace(self.partial, self.output)

    def clean_up(self, succeeded):
        if self.parallel is not None and self.parallel.poll() is None:
            # GNU Parallel stops its jobs, here and on the hosts, on SIGTERM.
            self.parallel.terminate()
            try:
                self.parallel.wait(STOP_WAIT_S)
            except subprocess.TimeoutExpired:
                os.killpg(self.parallel.pid, signal.SIGKILL)
                self.parallel.wait()
        remote = [login for login in self.slots if login != ":"]
        if self.parallel is not None and remote:
            # --cleanup misses a segment that an interruption kept from coming
            # back, and the run folder of a stopped render: nothing stays on the hosts.
            sweep = ["parallel", "--will-cite", "--nonall", *(f"-S{login}" for login in remote),
                     f"rm -f render-{self.plan['id']}.tar render-{self.plan['id']}-chunk*"]
            try:
                subprocess.run(sweep, stdin=subprocess.DEVNULL, capture_output=True, timeout=STOP_WAIT_S)
            except subprocess.TimeoutExpired:
                print("render: a host did not answer; files of this render may be left there", file=sys.stderr)
        if self.partial:
            try:
                os.unlink(self.partial)
            except FileNotFoundError:
                pass
        if succeeded:
            shutil.rmtree(self.work, ignore_errors=True)

    def run(self):
        started = time.monotonic()
        self.prepare()
        soundtrack = self.encode_soundtrack()
        self.render_chunks()
        self.progress.end_line()
        joining = time.monotonic()
        self.join(soundtrack)
        done = time.monotonic()
        print(f"Wrote {self.args.o}: {FRAMES} frames at {self.args.w}x{self.args.h}, {DURATION_S} s, "
              f"rendered in {format_duration(done - started)} ({FRAMES / (done - started):.1f} frames/s) "
              f"in {len(self.chunks)} chunks ({len(self.progress.started)} rendered by this run), "
              f"joined in {done - joining:.2f} s", flush=True)
        if self.progress.rates:
            print(f"render: one chunk rendered {sum(self.progress.rates) / len(self.progress.rates):.2f} frames/s "
                  "on average, its start included", file=sys.stderr)


def main(argv):
    args = parse_args(argv)
    for signum in (signal.SIGINT, signal.SIGTERM, signal.SIGHUP):
        signal.signal(signum, raise_interrupted)
    status = 0
    render = None
    try:
        render = Render(args)
        render.run()
    except (RenderError, OSError) as e:
        status = 1
        message = f"render: error: {e}"
    except Interrupted as e:
        status = 128 + e.signum
        message = f"render: interrupted ({e}); stopping"
    finally:
        # A second Ctrl-C must not cut the clean-up short.
        for signum in (signal.SIGINT, signal.SIGTERM, signal.SIGHUP):
            signal.signal(signum, signal.SIG_IGN)
        if render is not None:
            if render.progress is not None:
                render.progress.end_line()
            render.clean_up(status == 0)
    if status:
        print(message, file=sys.stderr)
        kept = render is not None and os.path.isdir(render.work)
        print("render: no video written" + (f"; finished segments kept in {render.work}" if kept else ""),
              file=sys.stderr)
    return status


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
