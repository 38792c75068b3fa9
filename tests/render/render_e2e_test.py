"""scripts/render: without options (through scripts/run, no display) an H.264 + AAC MP4 of 3480 frames and 58 s of
sound, the frame files coming and going in TMPDIR; with --lossless in two chunks, frame for frame the BMP files of a
whole capture run. Over ssh for real (a private sshd with a throwaway key, two logins to it standing for two
machines; as root only): Ctrl-C once a chunk is done stops every chunk, remote ones too, and leaves no video; the
same command renders only the missing chunks, the same frames again, and leaves nothing on the host."""

import glob
import hashlib
import json
import os
import signal
import socket
import subprocess
import tempfile
import time

from demo_harness import RUN_DIR, DataDir, demo_env, read_bmp, run_demo

SCRIPTS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "../../scripts")
SIZE = ["-w", "64", "-h", "36"]


run = lambda *args, **kwargs: subprocess.run(args, capture_output=True, text=True, timeout=800, **kwargs)


def probe(video):
    """The MD5 of each decoded frame as top-down RGB, and the sound's start and length (to 10 ms)."""
    frames = run("ffmpeg", "-v", "error", "-i", video, "-map", "0:v", "-pix_fmt", "rgb24", "-f", "framemd5", "-").stdout
    sound = subprocess.run(["ffmpeg", "-v", "error", "-i", video, "-map", "0:a", "-ac", "1", "-f", "s16le", "-"],
                           capture_output=True).stdout
    start = run("ffprobe", "-v", "error", "-select_streams", "a:0", "-show_entries", "stream=start_time", "-of",
                "csv=p=0", video).stdout
    return [line.split(",")[-1].strip() for line in frames.splitlines() if line[0] != "#"], \
        (float(start), round(len(sound) / 2 / 44100, 2))


def stop_mid_way(render, env, work):
    """Ctrl-C once a segment is finished and others are still rendering; every process of the render, here and
    on the host, must end. Returns its stderr and the number of finished segments."""
    segments = lambda: [name for name in os.listdir(work) if name.endswith(".mkv")] if os.path.isdir(work) else []
    proc = subprocess.Popen(render, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
    while not segments() and proc.poll() is None:
        time.sleep(0.05)
    with open(work + "/plan.json") as f:
        mark = "render-" + json.load(f)["id"]
    table = [(int(pid), int(ppid), args) for pid, ppid, args in
             ((line.split(None, 2) + [""])[:3] for line in run("ps", "-eo", "pid=,ppid=,args=").stdout.splitlines())]
    started = {pid for pid, _, args in table if pid == proc.pid or mark in args}
    while grown := {pid for pid, ppid, _ in table if ppid in started} - started:
        started |= grown
    proc.send_signal(signal.SIGINT)
    err = proc.communicate(timeout=60)[1]
    assert proc.returncode == 128 + signal.SIGINT, err
    deadline = time.time() + 30
    while (running := [p for p in started if os.path.exists(f"/proc/{p}")]) and time.time() < deadline:
        time.sleep(0.1)
    assert len(started) > 4 and running == [], (started, running)
    return err, len(segments())


with DataDir(capture=True) as data, tempfile.TemporaryDirectory(prefix="render-e2e-") as tmp:
    assert run_demo(["--capture", "--windowed", *SIZE, "--no-music"], data.path).returncode == 0
    whole_run = []
    for i in range(3480):
        bgr = b"".join(reversed(read_bmp(data.file(f"capture/frame{i}.bmp"))[2]))
        rgb = bytearray(bgr)
        rgb[0::3], rgb[2::3] = bgr[2::3], bgr[0::3]
        whole_run.append(hashlib.md5(rgb).hexdigest())
    for folder in (tmpdir := tmp + "/tmp", out := tmp + "/out"):
        os.mkdir(folder)
    env = {k: v for k, v in demo_env({"TMPDIR": tmpdir, "DEMO_RUN_DIR": RUN_DIR}).items() if k != "DISPLAY"}
    r = run(SCRIPTS + "/run", "--windowed", *SIZE, cwd=out, env=env)
    assert r.returncode == 0 and f"No display: rendering the demo into {out}/demo.mp4" in r.stderr, r.stderr[-2000:]
    assert "render: 3480/3480 frames 100.0%  chunks: " in r.stderr, r.stderr[-2000:]
    (v, a), keys = json.loads(run("ffprobe", "-v", "error", "-show_streams", "-of", "json", out + "/demo.mp4").stdout)[
        "streams"], ("codec_name", "width", "height", "r_frame_rate", "nb_frames")
    assert [v[k] for k in keys] == ["h264", 64, 36, "60/1", "3480"] and a["codec_name"] == "aac", (v, a)
    assert probe(out + "/demo.mp4")[1] == (0.0, 58.0) and os.listdir(tmpdir) == [], "sound or files left behind"
    os.remove(out + "/demo.mp4")

    render = [SCRIPTS + "/render", *SIZE, "--lossless", "-o", out + "/v.mkv"]
    r = run(*render, "--jobs", "2", "--chunks", "2", env=env)
    assert r.returncode == 0 and "in 2 chunks" in r.stdout, r.stderr[-2000:]
    assert probe(out + "/v.mkv") == (whole_run, (0.0, 58.0)), "the video differs from the whole capture run"
    os.remove(out + "/v.mkv")

    if os.getuid() != 0:
        print("ssh part skipped: the test starts its own sshd, which needs root; Ctrl-C and resume run locally")
        render += ["--jobs", "2", "--chunks", "3"]
    else:
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
        with open(tmp + "/hosts", "w") as f:
            f.write(f"1/{ssh} -o LogLevel=error root@127.0.0.1\n1/{ssh} -o LogLevel=error root@localhost\n")
        while run(*ssh.split(), "root@127.0.0.1", "true").returncode:
            assert sshd.poll() is None, "sshd did not start"
            time.sleep(0.2)
        render += ["--hosts", tmp + "/hosts", "--chunks", "3"]
        left_on_host = lambda: glob.glob("/tmp/demo-chunk-*") + glob.glob(os.path.expanduser("~/render-*"))
        before = left_on_host()
    try:
        err, finished = stop_mid_way(render, env, out + "/v.mkv.render")
        assert "render: interrupted (SIGINT); stopping" in err and f"kept in {out}/v.mkv.render" in err, err
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
