"""Debian's Firefox ESR through firefox_driver.js (puppeteer-core, which scripts/install-web-driver
installs), with the two calls of selenium's driver that the web harness uses."""

import contextlib
import json
import os
import subprocess

HERE = os.path.dirname(os.path.abspath(__file__))
MODULES = os.path.join(HERE, "../../build-web/web-driver/node_modules")


class Firefox:
    def __init__(self, process):
        self.process = process

    def command(self, **command):
        self.process.stdin.write(json.dumps(command) + "\n")
        self.process.stdin.flush()
        answer = json.loads(self.process.stdout.readline() or '{"error": "the driver ended"}')
        assert "error" not in answer, (command, answer["error"])
        return answer["value"]

    def get(self, url):
        self.command(url=url)

    def execute_script(self, script, *args):
        return self.command(script=script, args=args)


@contextlib.contextmanager
def firefox(width, height):
    """A page of width x height CSS pixels; needs a display (Firefox draws WebGL only in a window)."""
    process = subprocess.Popen(["node", os.path.join(HERE, "firefox_driver.js"), str(width), str(height)],
                               stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True,
                               env=dict(os.environ, NODE_PATH=MODULES))
    try:
        yield Firefox(process)
    finally:
        process.stdin.close()
        process.wait(timeout=30)
