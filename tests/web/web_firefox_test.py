"""The page in Firefox ESR on the machine's own GL, in a window on a display of its own: the stills
of the show and of explore mode (which draws its stones without WEBGL_multi_draw there) match the
native capture, the clock follows the wall after Play, and a bad parameter says what is wrong."""

import time

from firefox import firefox
from web_harness import serve_site, wait_for
from web_page_test import HEIGHT, WIDTH, check_stills


def check_clock_after_play(base, browser):
    browser.get(base + "?start=44")
    assert wait_for(browser, lambda d: d["state"] in ("ready", "error"))["state"] == "ready"
    browser.click("play")
    first = wait_for(browser, lambda d: d["state"] == "playing" and d["frames"] > 0, what="first frame")
    began = time.monotonic()
    time.sleep(4)
    demo = wait_for(browser, lambda d: d["frames"] > first["frames"] + 10, what="ten more frames")
    wall = time.monotonic() - began
    assert abs(demo["time"] - first["time"] - wall) < 0.5, (first, demo, wall)
    assert browser.page_errors() == [], browser.page_errors()


def check_bad_parameter(base, browser):
    browser.get(base + "?start=abc")
    demo = wait_for(browser, lambda d: d["state"] != "loading", timeout=30)
    assert demo["state"] == "error" and "start=abc" in demo["error"], demo
    assert browser.execute_script("return document.getElementById('message').textContent") == demo["error"]


if __name__ == "__main__":
    with serve_site() as site, firefox(WIDTH, HEIGHT) as browser:
        check_bad_parameter(site, browser)
        check_stills(site, browser)
        check_clock_after_play(site, browser)
