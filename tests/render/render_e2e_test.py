"""scripts/render: without options (through scripts/run, no display) an H.264 + AAC MP4 of 3480 frames and 58 s of
sound, the frame files coming and going in TMPDIR; refusals (bad options, each bad line of a hosts file), a demo that
fails every try (told, --tracks reaching it; afresh for an unreadable plan or another tracks file), a full disk in the
join (as root). Resumed after Ctrl-C, --lossless --explore -n frame for frame the BMP files of a whole capture run,
from folders named with GNU Parallel's {1} and {=Perl code=} (never run); a second render of one output is refused.
Over ssh for real (a private sshd with a throwaway key, two logins to it standing for two machines; as root only):
Ctrl-C once a chunk is done stops every chunk, remote ones too, and leaves no video; the same command renders only
the missing chunks, the same frames again, and leaves nothing on the host."""

import glob
import hashlib
import json
import os
import pathlib
import re
import signal
import socket
import subprocess
import tempfile
import time

from demo_harness import RUN_DIR, DataDir, demo_env, read_bmp, run_demo, wait_for

SCRIPTS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "../../scripts")
SIZE = ["-w", "64", "-h", "36"]
EXPLORE = ["--explore", "-n", "300"]
BRACES = "{1}{=qx(touch PWNED)=}"


run = lambda *args, **kwargs: subprocess.run(args, capture_output=True, text=True, timeout=800, **kwargs)


def probe(video):
    """The MD5 of each decoded frame as bottom-up BGR, and the sound's start and length (to 10 ms)."""
    frames = run("ffmpeg", "-v", "error", "-i", video, "-map", "0:v", "-vf", "vflip", "-pix_fmt", "bgr24", "-f",
                 "framemd5", "-").stdout
    sound = subprocess.run(["ffmpeg", "-v", "error", "-i", video, "-map", "0:a", "-ac", "1", "-f", "s16le", "-"],
                           capture_output=True).stdout
    start = run("ffprobe", "-v", "error", "-select_streams", "a:0", "-show_entries", "stream=start_time", "-of",
                "csv=p=0", video).stdout
    return [line.split(",")[-1].strip() for line in frames.splitlines() if line[0] != "#"], \
        (float(start), round(len(sound) / 2 / 44100, 2))


def render_processes(render_pid, mark):
    """The render's process `render_pid`, the processes whose command line names its work folder, and their children."""
    table = [(int(pid), int(ppid), args) for pid, ppid, args in
             ((line.split(None, 2) + [""])[:3] for line in run("ps", "-eo", "pid=,ppid=,args=").stdout.splitlines())]
    started = {p for p, _, args in table if p == render_pid or mark in args}
    while grown := {p for p, ppid, _ in table if ppid in started} - started:
        started |= grown
    return started


def stop_mid_way(render, env, work):
    """Ctrl-C once a segment is finished and others are still rendering; every process of the render, here and
    on the host, must end. Returns its stderr and the number of finished segments."""
    segments = lambda: [name for name in os.listdir(work) if name.endswith(".mkv")] if os.path.isdir(work) else []
    proc = subprocess.Popen(render, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
    assert "another size, build" in (afresh := proc.stderr.readline()), afresh  # said once the folder is locked
    assert f"another render of {work[:-7]} is running" in (second := run(*render, env=env).stderr), second
    wait_for(lambda: segments() or proc.poll() is not None, 800)
    mark = "render-" + json.loads(pathlib.Path(work, "plan.json").read_text())["id"]
    # A snapshot taken while one chunk ends and the next starts can miss both: look again.
    for _ in range(100):
        if len(started := render_processes(proc.pid, mark)) > 4:
            break
        time.sleep(0.1)
    proc.send_signal(signal.SIGINT)
    err = proc.communicate(timeout=60)[1]
    assert proc.returncode == 128 + signal.SIGINT, err
    running = lambda: [p for p in started if os.path.exists(f"/proc/{p}")]
    assert len(started) > 4 and wait_for(lambda: not running(), 30), (started, running())
    return err, len(segments())


with DataDir(capture=True) as data, tempfile.TemporaryDirectory(prefix="render-e2e-") as tmp:
    assert run_demo(["--capture", "--windowed", *SIZE, "--no-music", *EXPLORE], data.path).returncode == 0
    whole_run = [hashlib.md5(b"".join(read_bmp(data.file(f"capture/frame{i}.bmp"))[2])).hexdigest()
                 for i in range(3480)]
    for folder in (tmpdir := tmp + "/tmp", out := f"{tmp}/out{BRACES}", fake := f"{tmp}/fake{BRACES}"):
        os.mkdir(folder)
    for target, link in [(SCRIPTS + "/..", f"checkout{BRACES}"), (RUN_DIR, f"build{BRACES}")] + \
            [(f"{RUN_DIR}/{name}", f"fake{BRACES}/{name}") for name in ("shaders", "fonts", "assets")]:
        os.symlink(os.path.realpath(target), f"{tmp}/{link}")
    env = {k: v for k, v in demo_env({"TMPDIR": tmpdir, "DEMO_RUN_DIR": f"{tmp}/build{BRACES}"}).items()
           if k != "DISPLAY"}
    r = run(SCRIPTS + "/run", "--windowed", *SIZE, cwd=out, env=env)
    assert r.returncode == 0 and f"No display: rendering the demo into {out}/demo.mp4" in r.stderr, r.stderr[-2000:]
    assert "render: 3480/3480 frames 100.0%  chunks: " in r.stderr, r.stderr[-2000:]
    (v, a), keys = json.loads(run("ffprobe", "-v", "error", "-show_streams", "-of", "json", out + "/demo.mp4").stdout)[
        "streams"], ("codec_name", "width", "height", "r_frame_rate", "nb_frames")
    assert [v[k] for k in keys] == ["h264", 64, 36, "60/1", "3480"] and a["codec_name"] == "aac", (v, a)
    assert probe(out + "/demo.mp4")[1] == (0.0, 58.0) and os.listdir(tmpdir) == [], "sound or files left behind"
    os.remove(out + "/demo.mp4")

    render, work = [f"{tmp}/checkout{BRACES}/scripts/render", *SIZE, "--lossless", "-o", out + "/v.mkv", *EXPLORE], \
        out + "/v.mkv.render"
    for bad in (["-w", "0"], ["--jobs", "0"], ["-n", "x"]):
        assert run(*render, *bad, env=env).returncode == 2, bad
    pathlib.Path(tmp, "hosts").write_bytes(b":\n# 2/comment\n0/a\n2/ \nx/b\n2/\xff\nssh -i /k h\n2/ssh -i /k h\n")
    r = run(*render, "--hosts", tmp + "/hosts", env=env)
    assert re.findall(r"^  line (\d+)", r.stderr, re.M) == ["3", "4", "5", "6", "8"] and not os.path.exists(work)
    pathlib.Path(fake, "demo").write_text('#!/bin/sh\necho "demo $*" >&2\nexit 3\n')  # fails, saying its command line
    os.chmod(fake + "/demo", 0o755)
    said = rf"2 of 2 chunks failed \(chunk \d: the demo ended with status 3: demo --capture .* --explore -n 300 " \
           rf"--tracks {re.escape(work)}/tracks\)\n"
    for path, text, told in [("flight", "1", said + "render: no video written\n$"),
                             (work + "/plan.json", "{", "cannot read .*plan.json .*; starting afresh"),
                             ("flight", "2", "another .* options; starting afresh")]:
        pathlib.Path(tmp, path).write_text(text)
        r = run(*render, "--chunks", "2", "--tracks", "flight", env=dict(env, DEMO_RUN_DIR=fake), cwd=tmp)
        assert r.returncode == 1 and re.search(said, r.stderr) and re.search(told, r.stderr), r.stderr
    assert pathlib.Path(work, "tracks").read_text() == "2" and "PWNED" not in sum((f for _, _, f in os.walk(tmp)), [])

    if os.getuid() != 0:
        print("ssh part skipped: the test starts its own sshd, which needs root; Ctrl-C and resume run locally")
        render += ["--jobs", "2", "--chunks", "3"]
    else:
        os.mkdir(full := tmp + "/full")  # a disk that fills up in the join
        r = run("unshare", "-m", "sh", "-c", 'mount -t tmpfs -o size=3m tmpfs "$0" && exec "$@"', full, render[0],
                *SIZE, "-o", full + "/v.mp4", env=env)
        assert f"render: error: the disk of {full} is full" in r.stderr, r.stderr[-2000:]
        for key in ("key", "host_key"):
            subprocess.run(["ssh-keygen", "-q", "-t", "ed25519", "-N", "", "-f", f"{tmp}/{key}"], check=True)
        with socket.socket() as s:
            s.bind(("127.0.0.1", 0))
            port = s.getsockname()[1]
        os.makedirs("/run/sshd", exist_ok=True)
        sshd = subprocess.Popen(["/usr/sbin/sshd", "-D", "-p", str(port), "-h", tmp + "/host_key", "-o",
                                 "ListenAddress=127.0.0.1", "-o", f"AuthorizedKeysFile={tmp}/key.pub", "-o",
                                 "PidFile=none", "-o", "StrictModes=no", "-o", "UsePAM=no"], stderr=subprocess.DEVNULL)
        ssh = f"ssh -p {port} -i {tmp}/key -o StrictHostKeyChecking=no -o UserKnownHostsFile=/dev/null -o BatchMode=yes"
        pathlib.Path(tmp, "hosts").write_text(f"1/{ssh} -o LogLevel=error root@127.0.0.1\n"
                                              f"1/{ssh} -o LogLevel=error root@localhost\n")
        while run(*ssh.split(), "root@127.0.0.1", "true").returncode:
            assert sshd.poll() is None, "sshd did not start"
            time.sleep(0.2)
        render += ["--hosts", tmp + "/hosts", "--chunks", "3"]
        left_on_host = lambda: glob.glob("/tmp/demo-chunk-*") + glob.glob(os.path.expanduser("~/render-*"))
        before = left_on_host()
    try:
        err, finished = stop_mid_way(render, env, work)
        assert "render: interrupted (SIGINT); stopping" in err and f"kept in {work}" in err, err
        assert os.listdir(out) == ["v.mkv.render"], "a video left behind"
        r = run(*render, env=env)
        assert r.returncode == 0 and f"{finished} of 3 chunks done" in r.stderr, r.stderr[-2000:]
        assert f"in 3 chunks ({3 - finished} rendered by this run)" in r.stdout, r.stdout
        assert probe(out + "/v.mkv") == (whole_run, (0.0, 58.0)), "the resumed video differs"
        assert (os.listdir(out), os.listdir(tmpdir)) == (["v.mkv"], []), "files left behind"
        assert os.getuid() != 0 or left_on_host() == before, "files left on the host"
    finally:
        if os.getuid() == 0:
            sshd.kill()
