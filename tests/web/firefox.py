"""Debian's Firefox ESR, driven through firefox_driver.js (puppeteer-core over WebDriver BiDi,
installed by scripts/web into build-web/web-driver/), with the few calls of selenium's driver
that the web harness uses: get and execute_script, and a click and a key press."""

import contextlib
import json
import os
import subprocess

HERE = os.path.dirname(os.path.abspath(__file__))
MODULES = os.environ.get("DEMO_WEB_DRIVER", os.path.join(HERE, "../../build-web/web-driver/node_modules"))


class Firefox:
    def __init__(self, process):
        self.process = process

    def command(self, op, **arguments):
        self.process.stdin.write(json.dumps(dict(arguments, op=op)) + "\n")
        self.process.stdin.flush()
        line = self.process.stdout.readline()
        assert line, "the Firefox driver ended"
        answer = json.loads(line)
        assert "error" not in answer, (op, answer["error"])
        return answer["value"]

    def get(self, url):
        self.command("get", url=url)

    def execute_script(self, script, *args):
        return self.command("eval", script=script, args=list(args))

    def click(self, element_id):
        self.command("click", id=element_id)

    def press(self, key):
        self.command("key", key=key)

    def page_errors(self):
        return self.command("errors")


@contextlib.contextmanager
def firefox(width, height):
    """A page of width x height CSS pixels; needs a display (Firefox draws WebGL only in a window)."""
    assert os.path.isdir(os.path.join(MODULES, "puppeteer-core")), "no puppeteer-core: run scripts/web"
    process = subprocess.Popen(["node", os.path.join(HERE, "firefox_driver.js"), str(width), str(height)],
                               stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True,
                               env=dict(os.environ, NODE_PATH=MODULES))
    try:
        yield Firefox(process)
    finally:
        process.stdin.close()
        try:
            process.wait(timeout=30)
        except subprocess.TimeoutExpired:
            process.kill()
