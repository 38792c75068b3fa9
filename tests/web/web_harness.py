"""The built site served on a free local port (by scripts/web's handler, with byte ranges),
headless Chromium with SwiftShader's software WebGL 2, driven by selenium, and Firefox ESR,
driven by firefox_driver.js."""

import base64
import contextlib
import functools
import http.server
import importlib.machinery
import json
import os
import subprocess
import threading
import types

from selenium import webdriver
from selenium.webdriver.chrome.service import Service

from demo_harness import wait_for as poll

HERE = os.path.dirname(os.path.abspath(__file__))
SITE_DIR = os.environ.get("DEMO_WEB_SITE", os.path.join(HERE, "../../build-web/site"))
FLAGS = ("--headless=new", "--no-sandbox", "--use-angle=swiftshader", "--enable-unsafe-swiftshader",
         "--use-gl=angle", "--autoplay-policy=no-user-gesture-required", "--force-device-scale-factor=1")
# The canvas's RGB bytes, top row first, in base64; `grab` copies the next frame's at its end
# (the drawing buffer is whole only then, where a still keeps its own).
PIXELS_JS = """const rgb = c => { const copy = Object.assign(document.createElement("canvas"),
  {width: c.width, height: c.height}); const g = copy.getContext("2d"); g.drawImage(c, 0, 0);
  const d = g.getImageData(0, 0, c.width, c.height).data; let s = "";
  for (let i = 0; i < d.length; i += 4) s += String.fromCharCode(d[i], d[i + 1], d[i + 2]);
  return [c.width, c.height, btoa(s)]; };
const canvas = document.getElementById("canvas"), drawn = Module.page.frameDrawn;
if (!arguments[0]) return rgb(canvas);
window.grabbed = null;
Module.page.frameDrawn = t => { drawn(t); Module.page.frameDrawn = drawn; window.grabbed = rgb(canvas); };"""


@contextlib.contextmanager
def serve_site(live_root=None):
    """scripts/web's server on a free port; with `live_root`, its live one (folders from there)."""
    assert os.path.exists(os.path.join(SITE_DIR, "index.html")), "no site: run scripts/web --build-only"
    script = importlib.machinery.SourceFileLoader("web_script", os.path.join(HERE, "../../scripts/web"))
    module = script.load_module()
    base = module.LiveSiteHandler if live_root else module.SiteHandler
    handler = functools.partial(type("Quiet", (base,), {"log_message": lambda *args: None}),
                                directory=SITE_DIR, **({"root": live_root} if live_root else {}))
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    try:
        yield "http://127.0.0.1:%d/" % server.server_address[1]
    finally:
        server.shutdown()


@contextlib.contextmanager
def chromium(width, height, flags=FLAGS):
    """A page of width x height CSS pixels (in --headless=new the window includes a 143-pixel frame)."""
    options = webdriver.ChromeOptions()
    for flag in flags + ("--window-size=%d,%d" % (width, height + 143),):
        options.add_argument(flag)
    options.binary_location = "/usr/bin/chromium"
    options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
    driver = webdriver.Chrome(options=options, service=Service(executable_path="/usr/bin/chromedriver"))
    try:
        yield driver
    finally:
        driver.quit()


@contextlib.contextmanager
def firefox(width, height):
    """A page of width x height CSS pixels in a window on the display, with selenium's get and
    execute_script; puppeteer-core comes from scripts/install-web-driver."""
    modules = os.path.join(HERE, "../../build-web/web-driver/node_modules")
    process = subprocess.Popen(["node", os.path.join(HERE, "firefox_driver.js"), str(width), str(height)],
                               stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True,
                               env=dict(os.environ, NODE_PATH=modules))

    def command(**fields):
        process.stdin.write(json.dumps(fields) + "\n")
        process.stdin.flush()
        answer = json.loads(process.stdout.readline() or '{"error": "the driver ended"}')
        assert "error" not in answer, (fields, answer["error"])
        return answer["value"]
    try:
        yield types.SimpleNamespace(get=lambda url: command(url=url),
                                    execute_script=lambda script, *args: command(script=script, args=args))
    finally:
        process.stdin.close()
        process.wait(timeout=30)


def wait_for(driver, condition, timeout=120, what="condition"):
    """Polls window.demo until condition(demo) holds; returns that demo."""
    state = lambda: driver.execute_script("return window.demo && Object.assign({}, window.demo)")
    demo = poll(lambda: (now := state()) and condition(now) and now, timeout)
    assert demo, "timed out waiting for %s: %r" % (what, state())
    return demo


def play(driver, url, until, what="frames"):
    """Loads `url`, presses Play once the page is ready; returns window.demo once `until` holds."""
    driver.get(url)
    wait_for(driver, lambda d: d["state"] == "ready", what="the page ready")
    driver.execute_script("document.getElementById('play').click()")
    return wait_for(driver, until, what=what)


def canvas_pixels(driver, next_frame=False, timeout=60):
    """(width, height, RGB bytes top row first) of the canvas now, or of the next frame drawn."""
    picture = driver.execute_script(PIXELS_JS, next_frame)
    picture = picture or poll(lambda: driver.execute_script("return window.grabbed"), timeout)
    assert picture, "no frame drawn"
    return picture[0], picture[1], base64.b64decode(picture[2])


def console_errors(driver):
    return [entry for entry in driver.get_log("browser") if entry["level"] == "SEVERE"]
