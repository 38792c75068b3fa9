#!/usr/bin/env python3
"""Renders the whole demo into a video file, in chunks run side by side.

The show's frames are split into contiguous chunks of whole bars (120 frames).
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
every run, records what ran where). A render locks its work folder, so a
second render of the same output is refused while the first runs.

Usage: render.py --run-dir DIR [-w W] [-h H] [-o FILE] [--jobs N] [--hosts FILE]
                 [--chunks N] [--lossless] [--explore] [-n N] [--tracks FILE]
"""

import argparse
import base64
import fcntl
import hashlib
import json
import os
import re
import shutil
import signal
import subprocess
import sys
import tarfile
import tempfile
import time

from render_chunk import (FFV1, FPS, SHOW_SECONDS, X264, Interrupted, end_with_parent,
                          raise_interrupted, tail)

FRAMES = SHOW_SECONDS * FPS  # the show at the capture clock's frame rate
BAR_FRAMES = 120          # one bar of the 120 BPM track: 2 s
BARS = FRAMES // BAR_FRAMES
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
# A hosts file line "N/login": N job slots there. The text before the first "/"
# counts as N when it holds no space ("ssh -i /key host" is a login).
SLOTS_PREFIX = re.compile(r"([^\s/]*)/(.*)$")
# The tracks file's name in the work folder and in the bundle sent to hosts.
TRACKS = "tracks"
# Left by a plan write that did not finish: a work folder holding only it is empty.
PLAN_PART = "plan.json.part"


class RenderError(Exception):
    """A failure that stops the render; the message says why."""


def cores():
    """This machine's cores available to the render."""
    return len(os.sched_getaffinity(0))


def build_parser():
    """The command line; -h is the height, as in the demo's own, and help is --help."""
    parser = argparse.ArgumentParser(prog="scripts/render", add_help=False,
                                     description="Render the demo into a video.")
    parser.add_argument("--help", action="help", help="show this help and exit")
    # Given by scripts/render itself, so not shown in the help.
    parser.add_argument("--run-dir", required=True, help=argparse.SUPPRESS)
    parser.add_argument("-w", type=int, default=1280, metavar="W", help="width (default 1280)")
    parser.add_argument("-h", type=int, default=720, metavar="H", help="height (default 720)")
    parser.add_argument("-o", metavar="FILE",
                        help="output file (default demo.mp4, with --lossless demo.mkv)")
    parser.add_argument("--jobs", type=int, metavar="N",
                        help="chunks rendered at a time on each machine (default: one per "
                             f"core, here {cores()}); a hosts file's N/ wins over it")
    parser.add_argument("--hosts", metavar="FILE",
                        help="render on the ssh logins of FILE (GNU Parallel's --sshloginfile "
                             "format, N/login for N job slots there; ':' is this machine)")
    parser.add_argument("--chunks", type=int, metavar="N",
                        help=f"number of chunks, 1 to {BARS} (default {CHUNKS_PER_SLOT} per "
                             "job slot)")
    parser.add_argument("--lossless", action="store_true",
                        help="exactly reversible RGB frames (FFV1) and FLAC sound in Matroska")
    parser.add_argument("--explore", action="store_true",
                        help="render explore mode's field of stones (the demo's --explore)")
    parser.add_argument("-n", type=int, metavar="N", help="number of stones (the demo's -n)")
    parser.add_argument("--tracks", metavar="FILE",
                        help="the camera flight recorded in FILE (the demo's --tracks)")
    return parser


def parse_args(argv):
    """The checked options, with the output's default name and the tracks
    file's path made absolute against the caller's folder."""
    parser = build_parser()
    args = parser.parse_args(argv)
    if args.o is None:
        args.o = "demo.mkv" if args.lossless else "demo.mp4"
    if args.tracks is not None:
        args.tracks = os.path.abspath(args.tracks)
    size = f"{args.w}x{args.h}"
    if args.lossless:
        if not args.o.endswith(".mkv"):
            parser.error(f"--lossless writes Matroska: the output must end in .mkv, got {args.o}")
    elif args.w <= 0 or args.h <= 0 or args.w % 2 or args.h % 2:
        # H.264 in yuv420p halves the chroma resolution: both sides must be even.
        parser.error(f"the size must be positive and even in both directions, got {size}")
    if args.w <= 0 or args.h <= 0:
        parser.error(f"the size must be positive, got {size}")
    if args.jobs is not None and args.jobs < 1:
        parser.error(f"--jobs must be 1 or more, got {args.jobs}")
    if args.chunks is not None and not 1 <= args.chunks <= BARS:
        parser.error(f"--chunks must be from 1 to {BARS}, got {args.chunks}")
    return args


def parse_login(text):
    """A hosts file line's login and job slots (None where it gives no N/), or
    raises ValueError saying what is wrong with it."""
    match = SLOTS_PREFIX.match(text)
    if not match:
        return text, None
    count, login = match.group(1), match.group(2).strip()
    if not count.isdigit() or int(count) < 1:
        raise ValueError(f"the job slots before '/' must be a whole number from 1, got {text!r}")
    if not login:
        raise ValueError(f"no login after {count}/")
    return login, int(count)


def read_hosts(path, jobs):
    """The logins of a GNU Parallel --sshloginfile, each with its job slots:
    the N of "N/login", else --jobs, else 0 for one per core of that host.
    Every malformed line is refused, by its number, before any work."""
    try:
        with open(path, "rb") as f:
            lines = f.read().splitlines()
    except OSError as e:
        raise RenderError(f"cannot read the hosts file {path}: {e.strerror}")
    slots, seen, problems = {}, {}, []
    for number, raw in enumerate(lines, 1):
        try:
            line = raw.decode("utf-8").strip()
            if not line or line.startswith("#"):
                continue
            login, count = parse_login(line)
            if login in seen:
                raise ValueError(f"{login} is on line {seen[login]} already")
        except UnicodeDecodeError:
            problems.append(f"line {number}: not UTF-8 text")
            continue
        except ValueError as e:
            problems.append(f"line {number}: {e}")
            continue
        seen[login] = number
        slots[login] = count or jobs or 0
    if problems:
        raise RenderError(f"the hosts file {path} is malformed:\n  " + "\n  ".join(problems))
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


def valid_plan(plan):
    """Whether a plan read from a work folder has an id and chunks as split here."""
    if not isinstance(plan, dict) or not re.fullmatch(r"[0-9a-f]{8}", str(plan.get("id"))):
        return False
    chunks = plan.get("chunks")
    if not isinstance(chunks, list) or not 1 <= len(chunks) <= BARS:
        return False
    return chunks == [list(chunk) for chunk in split_chunks(len(chunks))]


def data_digest(run_dir):
    """A digest of the demo and its data: segments of another build are not reused."""
    digest = hashlib.sha256()
    for name in RUN_FILES:
        top = os.path.join(run_dir, name)
        if os.path.isfile(top):
            paths = [top]
        else:
            paths = sorted(os.path.join(d, f)
                           for d, _, files in os.walk(top, followlinks=True) for f in files)
        for path in paths:
            digest.update(os.path.relpath(path, run_dir).encode() + b"\0")
            with open(path, "rb") as f:
                digest.update(hashlib.sha256(f.read()).digest())
    return digest.hexdigest()


def demo_options(args):
    """The options every chunk passes on to the demo, the tracks file aside."""
    options = []
    if args.explore:
        options.append("--explore")
    if args.n is not None:
        options += ["-n", str(args.n)]
    return options


def read_tracks(path):
    """The tracks file's content, or None without --tracks."""
    if path is None:
        return None
    try:
        with open(path, "rb") as f:
            return f.read()
    except OSError as e:
        raise RenderError(f"cannot read the tracks file {path}: {e.strerror}")


def format_duration(seconds):
    """H:MM:SS, or M:SS under an hour."""
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
        """Frames done: of finished chunks and of the running ones so far."""
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
        """The progress line without the bar."""
        done = self.frames()
        elapsed = time.monotonic() - self.start
        rendered = done - self.resumed
        left = format_duration(elapsed / rendered * (FRAMES - done)) if rendered else "?"
        return (f"{done}/{FRAMES} frames {100.0 * done / FRAMES:5.1f}%  "
                f"chunks: {len(self.running)} running, "
                f"{len(self.done)}/{len(self.chunks)} done, {self.failed} failed  "
                f"elapsed {format_duration(elapsed)}  left {left}")

    def update(self):
        """Redraws the bar, or writes a plain line at the next few percent."""
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
    """Refuses to start without the tools and the built demo that a render needs."""
    tools = [("ffmpeg", "ffmpeg"), ("Xvfb", "xvfb"), ("parallel", "parallel")]
    if remote:
        tools.append(("rsync", "rsync"))
    for tool, package in tools:
        if shutil.which(tool) is None:
            raise RenderError(f"{tool} is not installed (Debian package {package}; "
                              "scripts/install-deps installs it)")
    encoders = subprocess.run(["ffmpeg", "-hide_banner", "-encoders"],
                              capture_output=True, text=True).stdout
    if not re.search(r"^\s*V\S*\s+libx264\s", encoders, re.MULTILINE):
        raise RenderError("this ffmpeg has no libx264 encoder (Debian's ffmpeg has it)")
    missing = [name for name in ("demo", "shaders", "fonts", SOUNDTRACK)
               if not os.path.exists(os.path.join(run_dir, name))]
    if missing:
        raise RenderError(f"{run_dir} lacks {', '.join(missing)}: build the demo first")


def empty_folder(path):
    """Removes everything in a folder, keeping the folder (and so its lock)."""
    for name in os.listdir(path):
        entry = os.path.join(path, name)
        if os.path.isdir(entry) and not os.path.islink(entry):
            shutil.rmtree(entry)
        else:
            os.unlink(entry)


def write_atomically(path, text):
    """Writes a file under a temporary name and renames it into place, so that
    a full disk or a crash never leaves it half written."""
    with open(path + ".part", "w") as f:
        f.write(text)
        f.flush()
        os.fsync(f.fileno())
    os.replace(path + ".part", path)


class Render:
    def __init__(self, args):
        self.args = args
        self.run_dir = os.path.abspath(args.run_dir)
        self.output = os.path.abspath(args.o)
        self.work = self.output + ".render"
        self.extension = ".mkv" if args.lossless else ".mp4"
        self.lock = None
        self.plan = None
        self.partial = None
        self.parallel = None
        self.progress = None
        if args.hosts:
            self.slots = read_hosts(args.hosts, args.jobs)
        else:
            self.slots = {":": args.jobs or cores()}
        # A login without N/ is planned with this machine's core count.
        slot_count = sum(n or cores() for n in self.slots.values())
        self.chunks = split_chunks(args.chunks or min(BARS, CHUNKS_PER_SLOT * slot_count))
        self.tracks = read_tracks(args.tracks)

    def path(self, name):
        return os.path.join(self.work, name)

    def segment(self, number):
        """Chunk `number`'s segment (two digits, or GNU Parallel's "{1}"); the
        name carries the render's id, being also its name on the hosts."""
        return f"render-{self.plan['id']}-chunk{number}{self.extension}"

    def lock_work_folder(self):
        """Makes the work folder where there is none and locks it for this run:
        a second render of the same output is refused while this one runs."""
        while True:
            try:
                os.mkdir(self.work)
            except FileExistsError:
                if not os.path.isdir(self.work):
                    raise RenderError(f"{self.work} is in the way of the render's work folder")
            fd = os.open(self.work, os.O_RDONLY | os.O_DIRECTORY)
            try:
                fcntl.flock(fd, fcntl.LOCK_EX | fcntl.LOCK_NB)
            except BlockingIOError:
                os.close(fd)
                raise RenderError(f"another render of {self.output} is running "
                                  f"(its work folder {self.work} is locked)")
            try:
                if os.path.samestat(os.fstat(fd), os.stat(self.work)):
                    self.lock = fd
                    return
            except FileNotFoundError:
                pass
            # The render that held it has finished and removed it: lock the new one.
            os.close(fd)

    def read_plan(self):
        """The plan kept in the work folder, or None where there is none; an
        unreadable one is said to be so and gives {} (the caller starts afresh)."""
        name = self.path("plan.json")
        try:
            with open(name) as f:
                kept = json.load(f)
            if valid_plan(kept):
                return kept
            why = "not a render's plan"
        except FileNotFoundError:
            # A folder of the user's that happens to have the work folder's name.
            if set(os.listdir(self.work)) - {PLAN_PART}:
                raise RenderError(f"{self.work} is in the way of the render's work folder")
            return None
        except (OSError, ValueError) as e:
            why = str(e) or type(e).__name__
        print(f"render: cannot read {name} ({why}); starting afresh", file=sys.stderr)
        return {}

    def new_plan(self):
        """What the segments depend on: kept segments are joined only where all
        of it is the same (the chunks aside, see prepare)."""
        tracks = None
        if self.tracks is not None:
            tracks = hashlib.sha256(self.tracks).hexdigest()
        return {"size": [self.args.w, self.args.h], "lossless": self.args.lossless,
                "encoder": [FPS, *(FFV1 if self.args.lossless else X264)],
                "demo": demo_options(self.args), "tracks": tracks,
                "chunks": [list(chunk) for chunk in self.chunks],
                "data": data_digest(self.run_dir)}

    def prepare(self):
        """Checks the tools and the output, then takes the work folder: its
        plan and segments where they fit this render, otherwise afresh."""
        check_tools(self.run_dir, bool(self.args.hosts))
        out_dir = os.path.dirname(self.output)
        if not os.path.isdir(out_dir):
            raise RenderError(f"no such directory for the output: {out_dir}")
        if os.path.isdir(self.output):
            raise RenderError(f"the output is a directory: {self.output}")
        plan = self.new_plan()
        self.lock_work_folder()
        kept = self.read_plan()
        # A resume keeps the chunks it began with, unless --chunks asks for others.
        same = bool(kept) and all(kept.get(k) == v for k, v in plan.items() if k != "chunks")
        if same and (self.args.chunks is None or kept["chunks"] == plan["chunks"]):
            self.plan = kept
            self.chunks = kept["chunks"]
        else:
            if kept:
                print(f"render: {self.work} holds chunks of another size, build, split or "
                      "demo options; starting afresh", file=sys.stderr)
            empty_folder(self.work)
            self.plan = dict(plan, id=os.urandom(4).hex())
            write_atomically(self.path("plan.json"), json.dumps(self.plan))
        if self.tracks is not None:
            with open(self.path(TRACKS), "wb") as f:
                f.write(self.tracks)
        finished = len(self.finished())
        if finished:
            print(f"render: resuming from {self.work}: {finished} of {len(self.chunks)} "
                  "chunks done", file=sys.stderr)

    def finished(self):
        """The chunks whose segment is in the work folder."""
        return [k for k in range(len(self.chunks))
                if os.path.exists(self.path(self.segment(f"{k:02d}")))]

    def encode_soundtrack(self):
        """The soundtrack for the whole show, encoded once (and kept for a resume)."""
        if self.args.lossless:
            name = self.path("soundtrack.flac")
            codec = ["-c:a", "flac", "-f", "flac"]
        else:
            name = self.path("soundtrack.m4a")
            codec = ["-c:a", "aac", "-b:a", "192k", "-f", "mp4"]
        if not os.path.exists(name):
            result = subprocess.run(["ffmpeg", "-y", "-hide_banner", "-loglevel", "error",
                                     "-i", os.path.join(self.run_dir, SOUNDTRACK), "-vn",
                                     "-t", str(SHOW_SECONDS), *codec, name + ".part"],
                                    capture_output=True, text=True)
            if result.returncode != 0:
                raise RenderError("the soundtrack's encoder failed: "
                                  + result.stderr.strip()[-500:])
            os.replace(name + ".part", name)
        return name

    def chunk_options(self):
        """The chunk script's options after its run folder or bundle; "{1}" to
        "{3}" are GNU Parallel's columns (chunk, first frame, frames)."""
        a = self.args
        slots = base64.b64encode(json.dumps(self.slots).encode()).decode()
        options = ["--chunk {1} --first {2} --count {3}", f"-w {a.w} -h {a.h}",
                   f"--slots {slots}", f"-o {self.segment('{1}')}"]
        if a.lossless:
            options.append("--lossless")
        options += demo_options(a)
        if self.tracks is not None:
            # In the work folder, the jobs' folder here, and in the bundle on a host.
            options.append(f"--tracks {TRACKS}")
        return " ".join(options)

    def write_logins(self):
        """The hosts file as GNU Parallel is to use it: each login with the job
        slots it is planned with, so that the two agree (N/, else --jobs);
        a login with neither gets one job per core of that host."""
        lines = []
        for login, slots in self.slots.items():
            lines.append(f"{slots}/{login}" if slots else login)
        write_atomically(self.path("sshlogins"), "".join(line + "\n" for line in lines))
        return self.path("sshlogins")

    def write_bundle(self):
        """The run folder and the chunk script (and the tracks file) in one tar
        file, sent to each host once."""
        bundle = f"render-{self.plan['id']}.tar"
        with tarfile.open(self.path(bundle), "w", dereference=True) as tar:
            for name in RUN_FILES:
                if os.path.exists(os.path.join(self.run_dir, name)):
                    tar.add(os.path.join(self.run_dir, name), name)
            tar.add(CHUNK_SCRIPT, "render_chunk.py")
            if self.tracks is not None:
                tar.add(self.path(TRACKS), TRACKS)
        return bundle

    def parallel_command(self):
        """GNU Parallel's command line. No path of this machine goes into its
        command template, where "{...}" would be a replacement string (and
        "{=...=}" Perl code): the local one takes them from the environment."""
        command = ["parallel", "--will-cite", "--colsep", " ", "--line-buffer",
                   "--joblog", "+jobs.log", "--retries", str(TRIES)]
        if not self.args.hosts:
            return command + ["-j", str(self.slots[":"]),
                              'python3 "$RENDER_CHUNK_SCRIPT" --run-dir "$RENDER_RUN_DIR" '
                              + self.chunk_options()]
        # The bundle goes to each host once; the segments come back; --cleanup
        # leaves nothing there.
        bundle = self.write_bundle()
        return command + [
            "--sshloginfile", self.write_logins(), "--basefile", bundle,
            "--return", self.segment("{1}"), "--cleanup",
            f"tar -xOf {bundle} render_chunk.py | python3 - --bundle {bundle} "
            + self.chunk_options()]

    def render_chunks(self):
        """Runs the missing chunks through GNU Parallel, following their progress."""
        self.progress = Progress(self.chunks, self.finished())
        self.progress.update()
        # The segments that exist are whole ones: only the missing chunks are run.
        jobs = "".join(f"{k:02d} {first} {count}\n" for k, (first, count) in enumerate(self.chunks)
                       if k not in self.progress.done)
        env = dict(os.environ, RENDER_CHUNK_SCRIPT=CHUNK_SCRIPT, RENDER_RUN_DIR=self.run_dir)
        with open(self.path("parallel.log"), "ab") as log:
            self.parallel = subprocess.Popen(self.parallel_command(), cwd=self.work, env=env,
                                             stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                             stderr=log, text=True, start_new_session=True,
                                             preexec_fn=end_with_parent)
        self.parallel.stdin.write(jobs)
        self.parallel.stdin.close()
        failure = None
        for line in self.parallel.stdout:
            failure = self.progress.event(line) or failure
        status = self.parallel.wait()
        finished = len(self.finished())
        missing = len(self.chunks) - finished
        if status != 0 or missing:
            why = failure or tail(self.path("parallel.log"))
            if not why:
                why = f"GNU Parallel ended with status {status}"
            message = f"{missing} of {len(self.chunks)} chunks failed ({why})"
            if finished:
                message += "; the same command renders the rest"
            raise RenderError(message)

    def make_partial(self):
        """The temporary file of the joined video, beside the output so that the
        final rename is atomic, with the usual permissions (mkstemp's are private)."""
        fd, self.partial = tempfile.mkstemp(dir=os.path.dirname(self.output),
                                            prefix=f".{os.path.basename(self.output)}.",
                                            suffix=".part")
        os.close(fd)
        umask = os.umask(0)
        os.umask(umask)
        os.chmod(self.partial, 0o666 & ~umask)

    def join(self, soundtrack):
        """Joins the segments by stream copy, muxes the soundtrack in and checks
        the frame count."""
        self.make_partial()
        with open(self.path("segments.txt"), "w") as f:
            f.writelines(f"file '{self.segment(f'{k:02d}')}'\n" for k in range(len(self.chunks)))
        if self.args.lossless:
            container = ["-f", "matroska"]
        else:
            container = ["-movflags", "+faststart", "-f", "mp4"]
        result = subprocess.run(["ffmpeg", "-y", "-hide_banner", "-loglevel", "error",
                                 "-f", "concat", "-safe", "0", "-i", self.path("segments.txt"),
                                 "-i", soundtrack, "-map", "0:v:0", "-map", "1:a:0",
                                 "-c", "copy", *container, self.partial],
                                capture_output=True, text=True)
        self.check_join(result)
        os.replace(self.partial, self.output)

    def check_join(self, result):
        """Refuses a joined video that ffmpeg could not finish or that lacks
        frames. ffmpeg may end with status 0 when the disk fills up."""
        count = subprocess.run(["ffprobe", "-v", "error", "-select_streams", "v:0",
                                "-count_packets", "-show_entries", "stream=nb_read_packets",
                                "-of", "csv=p=0", self.partial],
                               capture_output=True, text=True).stdout.strip()
        if result.returncode == 0 and count == str(FRAMES):
            return
        said = result.stderr.strip()
        out_dir = os.path.dirname(self.output)
        if "No space left on device" in said or shutil.disk_usage(out_dir).free == 0:
            raise RenderError(f"the disk of {out_dir} is full: joining the segments failed")
        if result.returncode != 0:
            raise RenderError("joining the segments failed: " + said[-500:])
        raise RenderError(f"joining the segments failed: the joined video has {count or 'no'} "
                          f"frames instead of {FRAMES}" + (f" ({said[-500:]})" if said else ""))

    def stop_parallel(self):
        """Stops GNU Parallel, which stops its jobs, here and on the hosts, on SIGTERM."""
        if self.parallel is None or self.parallel.poll() is not None:
            return
        self.parallel.terminate()
        try:
            self.parallel.wait(STOP_WAIT_S)
        except subprocess.TimeoutExpired:
            os.killpg(self.parallel.pid, signal.SIGKILL)
            self.parallel.wait()

    def sweep_hosts(self):
        """Removes this render's files from the hosts: --cleanup misses a segment
        that an interruption kept from coming back, and the bundle of a stopped render."""
        remote = [login for login in self.slots if login != ":"]
        if self.parallel is None or not remote:
            return
        sweep = ["parallel", "--will-cite", "--nonall", *(f"-S{login}" for login in remote),
                 f"rm -f render-{self.plan['id']}.tar render-{self.plan['id']}-chunk*"]
        try:
            subprocess.run(sweep, stdin=subprocess.DEVNULL, capture_output=True,
                           timeout=STOP_WAIT_S)
        except subprocess.TimeoutExpired:
            print("render: a host did not answer; files of this render may be left there",
                  file=sys.stderr)

    def kept_segments(self):
        """The finished segments this render leaves in its work folder."""
        if self.plan is None or self.lock is None or not os.path.isdir(self.work):
            return 0
        return len(self.finished())

    def clean_up(self, succeeded):
        """Stops what still runs and removes the partial video; a success also
        removes the work folder. Last, the work folder's lock goes."""
        self.stop_parallel()
        self.sweep_hosts()
        if self.partial:
            try:
                os.unlink(self.partial)
            except FileNotFoundError:
                pass
        if succeeded:
            shutil.rmtree(self.work, ignore_errors=True)
        if self.lock is not None:
            os.close(self.lock)

    def run(self):
        """The render from start to end, with its summary."""
        started = time.monotonic()
        self.prepare()
        soundtrack = self.encode_soundtrack()
        self.render_chunks()
        self.progress.end_line()
        joining = time.monotonic()
        self.join(soundtrack)
        done = time.monotonic()
        print(f"Wrote {self.args.o}: {FRAMES} frames at {self.args.w}x{self.args.h}, "
              f"{SHOW_SECONDS} s, rendered in {format_duration(done - started)} "
              f"({FRAMES / (done - started):.1f} frames/s) in {len(self.chunks)} chunks "
              f"({len(self.progress.started)} rendered by this run), "
              f"joined in {done - joining:.2f} s", flush=True)
        if self.progress.rates:
            rate = sum(self.progress.rates) / len(self.progress.rates)
            print(f"render: one chunk rendered {rate:.2f} frames/s on average, its start included",
                  file=sys.stderr)


def main(argv):
    """Renders; returns the exit status: 0, 1 for a failure, 128 + a signal."""
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
        kept = 0
        if render is not None:
            kept = render.kept_segments()
        if kept:
            print(f"render: no video written; {kept} finished segments kept in {render.work}",
                  file=sys.stderr)
        else:
            print("render: no video written", file=sys.stderr)
    return status


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
