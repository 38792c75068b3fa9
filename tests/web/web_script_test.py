"""scripts/web's failures end in one sentence and a non-zero status, not a traceback: a busy port
before any build, and a failed step with its command and the last lines of its output."""

import importlib.machinery
import os
import socket
import subprocess
import sys

SCRIPT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "../../scripts/web")

with socket.socket() as taken:
    taken.bind(("127.0.0.1", 0))
    taken.listen()
    port = taken.getsockname()[1]
    r = subprocess.run([SCRIPT, "--port", str(port)], capture_output=True, text=True, timeout=60)
assert (r.returncode, r.stdout) == (1, ""), (r.returncode, r.stdout[-2000:], r.stderr[-2000:])
assert r.stderr == ("scripts/web: Port %d is in use (by another scripts/web?): serve on another "
                    "with --port N.\n" % port), r.stderr

web = importlib.machinery.SourceFileLoader("web_script", SCRIPT).load_module()
for command, said in (([sys.executable, "-c", "print('one'); print('two'); exit(3)"], "two"),
                      (["/nonexistent/emcmake"], "No such file")):
    try:
        web.run(command)
        raise AssertionError("no failure for %r" % command)
    except web.Failure as failure:
        assert command[0] in str(failure) and said in str(failure), failure
