"""Web test helpers: the built site served on a free local port, and headless
Chromium with a software WebGL 2 (SwiftShader) driven by selenium."""

import base64
import contextlib
import functools
import http.server
import importlib.machinery
import os
import threading
import time
import types

from selenium import webdriver
from selenium.webdriver.chrome.service import Service

SITE_DIR = os.environ.get("DEMO_WEB_SITE", os.path.join(os.path.dirname(__file__), "../../build-web/site"))
# In --headless=new the window size includes the browser's frame (147 pixels tall).
FRAME_HEIGHT = 143


def load_site_handler():
    """scripts/web's request handler, which serves byte ranges as static hosts do."""
    path = os.path.join(os.path.dirname(__file__), "../../scripts/web")
    loader = importlib.machinery.SourceFileLoader("web_script", path)
    module = types.ModuleType(loader.name)
    module.__file__ = path
    loader.exec_module(module)

    class QuietHandler(module.SiteHandler):
        def log_message(self, *args):
            pass
    return QuietHandler


@contextlib.contextmanager
def serve_site(site=SITE_DIR):
    """Yields the base address of `site` served on 127.0.0.1 at a free port."""
    assert os.path.exists(os.path.join(site, "index.html")), "no site in " + site + ": run scripts/web --build-only"
    handler = functools.partial(load_site_handler(), directory=site)
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    thread = threading.Thread(target=server.serve_forever, daemon=True)
    thread.start()
    try:
        yield "http://127.0.0.1:%d/" % server.server_address[1]
    finally:
        server.shutdown()
        server.server_close()


@contextlib.contextmanager
def chromium(width=640, height=360):
    """Headless Chromium whose page is width x height CSS pixels at one device pixel each."""
    options = webdriver.ChromeOptions()
    for flag in ("--headless=new", "--no-sandbox", "--use-angle=swiftshader", "--enable-unsafe-swiftshader",
                 "--use-gl=angle", "--autoplay-policy=no-user-gesture-required", "--force-device-scale-factor=1",
                 "--window-size=%d,%d" % (width, height + FRAME_HEIGHT)):
        options.add_argument(flag)
    options.binary_location = "/usr/bin/chromium"
    options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
    service = Service(executable_path="/usr/bin/chromedriver")
    driver = webdriver.Chrome(options=options, service=service)
    try:
        yield driver
    finally:
        driver.quit()


def demo_state(driver):
    return driver.execute_script("return window.demo ? Object.assign({}, window.demo) : null")


def wait_for(driver, condition, timeout=120, what="condition"):
    """Polls window.demo until condition(demo) holds; returns that demo."""
    deadline = time.time() + timeout
    demo = None
    while time.time() < deadline:
        demo = demo_state(driver)
        if demo and condition(demo):
            return demo
        time.sleep(0.1)
    raise AssertionError("timed out waiting for %s: %r" % (what, demo))


# The drawing buffer is whole only during the frame that drew it (a still
# keeps its own): this hook copies the canvas at the end of the next frame.
GRAB_NEXT_FRAME = """
window.grabbed = null;
const drawn = Module.page.frameDrawn;
Module.page.frameDrawn = seconds => {
  drawn(seconds);
  Module.page.frameDrawn = drawn;
  const canvas = document.getElementById("canvas");
  window.grabbed = document.createElement("canvas");
  window.grabbed.width = canvas.width;
  window.grabbed.height = canvas.height;
  window.grabbed.getContext("2d").drawImage(canvas, 0, 0);
};
"""

CANVAS_PIXELS = """
const canvas = arguments[0] ? window.grabbed : document.getElementById("canvas");
const copy = document.createElement("canvas");
copy.width = canvas.width;
copy.height = canvas.height;
const context = copy.getContext("2d");
context.drawImage(canvas, 0, 0);
const rgba = context.getImageData(0, 0, copy.width, copy.height).data;
let text = "";
for (let i = 0; i < rgba.length; i += 4)
  text += String.fromCharCode(rgba[i], rgba[i + 1], rgba[i + 2]);
return [copy.width, copy.height, btoa(text)];
"""


def canvas_pixels(driver, grabbed=False):
    """The canvas's picture (a still's), or with `grabbed` the frame that
    grab_next_frame copied, as (width, height, RGB bytes, top row first)."""
    width, height, data = driver.execute_script(CANVAS_PIXELS, grabbed)
    return width, height, base64.b64decode(data)


def grab_next_frame(driver, timeout=60):
    """The picture of the next frame the playing page draws."""
    driver.execute_script(GRAB_NEXT_FRAME)
    deadline = time.time() + timeout
    while not driver.execute_script("return window.grabbed !== null"):
        assert time.time() < deadline, "no frame drawn"
        time.sleep(0.05)
    return canvas_pixels(driver, grabbed=True)


def console_errors(driver):
    return [entry for entry in driver.get_log("browser") if entry["level"] == "SEVERE"]
