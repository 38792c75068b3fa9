"""scripts/render --hosts over ssh for real: a private sshd on a free local port with a throwaway key, and two logins
to it standing for two machines. Ctrl-C once a chunk is done stops every chunk, the remote ones too, and leaves no
video; the same command then renders only the missing chunks, frame for frame the BMP files of a whole capture run,
and leaves nothing on the host."""

import glob
import os
import signal
import socket
import subprocess
import sys
import tempfile
import time

from demo_harness import RUN_DIR, demo_env
from render_harness import SCRIPTS, SIZE, probe, stop_mid_way, whole_run_frames

if os.getuid() != 0:
    print("skipped: the test starts its own sshd, which needs root")
    sys.exit(77)
with tempfile.TemporaryDirectory(prefix="render-ssh-") as tmp:
    key, host_key, out = tmp + "/key", tmp + "/host_key", tmp + "/out"
    for path in (key, host_key):
        subprocess.run(["ssh-keygen", "-q", "-t", "ed25519", "-N", "", "-f", path], check=True)
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        port = s.getsockname()[1]
    os.makedirs("/run/sshd", exist_ok=True)
    sshd = subprocess.Popen(["/usr/sbin/sshd", "-D", "-p", str(port), "-h", host_key, "-o", "ListenAddress=127.0.0.1",
                             "-o", f"AuthorizedKeysFile={key}.pub", "-o", "PidFile=none", "-o", "StrictModes=no",
                             "-o", "UsePAM=no"], stderr=subprocess.DEVNULL)
    try:
        ssh = f"ssh -p {port} -i {key} -o StrictHostKeyChecking=no -o UserKnownHostsFile=/dev/null -o BatchMode=yes"
        with open(tmp + "/hosts", "w") as f:
            f.write(f"1/{ssh} -o LogLevel=error root@127.0.0.1\n1/{ssh} -o LogLevel=error root@localhost\n")
        while subprocess.run([*ssh.split(), "root@127.0.0.1", "true"], capture_output=True).returncode:
            assert sshd.poll() is None, "sshd did not start"
            time.sleep(0.2)
        whole_run = whole_run_frames()
        os.mkdir(out)
        os.mkdir(tmp + "/tmp")
        env = {k: v for k, v in demo_env({"TMPDIR": tmp + "/tmp", "DEMO_RUN_DIR": RUN_DIR}).items() if k != "DISPLAY"}
        render = [SCRIPTS + "/render", *SIZE, "--lossless", "--hosts", tmp + "/hosts", "--chunks", "3", "-o", out + "/v.mkv"]
        chunk_dirs = set(glob.glob("/tmp/demo-chunk-*"))
        err, finished = stop_mid_way(render, env, out + "/v.mkv", signal.SIGINT)
        assert "render: interrupted (SIGINT); stopping" in err and f"kept in {out}/v.mkv.render" in err, err
        r = subprocess.run(render, env=env, capture_output=True, text=True, timeout=800)
        assert r.returncode == 0 and f"{finished} of 3 chunks done" in r.stderr, r.stderr[-2000:]
        assert f"in 3 chunks ({3 - finished} rendered by this run)" in r.stdout, r.stdout
        assert probe(out + "/v.mkv") == (whole_run, (0.0, 58.0)), "the video differs from the whole capture run"
        assert os.listdir(out) == ["v.mkv"], "files left behind"
        assert [n for n in os.listdir(os.path.expanduser("~")) if n.startswith("render-")] == [], "files left on the host"
        assert set(glob.glob("/tmp/demo-chunk-*")) == chunk_dirs, "chunk folders left on the host"
    finally:
        sshd.kill()
