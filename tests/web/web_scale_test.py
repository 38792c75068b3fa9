"""The page's drawing size in headless Chromium's software WebGL (SwiftShader), whose frames at
1024x576 are slow: it draws smaller than the page by its steps, at a fixed fraction with ?scale,
and refuses a fraction out of range."""

import time

from web_harness import chromium, serve_site, wait_for

WIDTH, HEIGHT = 1024, 576
STEP_WIDTHS = [round(WIDTH * 2 ** (-step / 4)) for step in range(1, 9)]


def play(base, browser, query):
    browser.get(base + query)
    assert wait_for(browser, lambda d: d["state"] in ("ready", "error"))["state"] == "ready", query
    browser.find_element("id", "play").click()
    return wait_for(browser, lambda d: d["frames"] > 0, what="first frame of " + query)


def check_slow_frames_draw_smaller(base, browser):
    play(base, browser, "?start=30")
    demo = wait_for(browser, lambda d: d["size"][0] < WIDTH, timeout=60, what="a smaller size")
    assert demo["size"][0] in STEP_WIDTHS and abs(demo["size"][1] / demo["size"][0] - 0.5625) < 0.01, demo


def check_fixed_scale(base, browser):
    for fraction in (1, 0.5):
        first = play(base, browser, "?start=30&scale=%g" % fraction)
        time.sleep(8)  # past two measurements of the rate, which would step an adaptive size down
        demo = wait_for(browser, lambda d: d["frames"] > first["frames"] + 2, what="more frames")
        assert demo["size"] == [WIDTH * fraction, HEIGHT * fraction], (fraction, demo)
    browser.get(base + "?scale=2")
    demo = wait_for(browser, lambda d: d["state"] != "loading", timeout=30)
    assert demo["state"] == "error" and "scale=2" in demo["error"], demo


if __name__ == "__main__":
    with serve_site() as site, chromium(WIDTH, HEIGHT) as browser:
        check_slow_frames_draw_smaller(site, browser)
        check_fixed_scale(site, browser)
