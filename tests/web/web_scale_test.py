"""The drawing size in headless Chromium's slow software WebGL at 1024x576: smaller than the page
by its steps, a fixed fraction with ?scale (which an adaptive size would leave), none out of range."""

import time

from web_harness import chromium, serve_site, wait_for

WIDTH, HEIGHT = 1024, 576
STEP_SIZES = [[round(WIDTH * 2 ** (-k / 4)), round(HEIGHT * 2 ** (-k / 4))] for k in range(1, 9)]


def play(base, browser, query):
    browser.get(base + query)
    assert wait_for(browser, lambda d: d["state"] in ("ready", "error"))["state"] == "ready", query
    browser.execute_script("document.getElementById('play').click()")
    return wait_for(browser, lambda d: d["frames"] > 0, what="the first frame of " + query)


if __name__ == "__main__":
    with serve_site() as site, chromium(WIDTH, HEIGHT) as browser:
        play(site, browser, "?start=20")
        assert wait_for(browser, lambda d: d["size"][0] < WIDTH, what="a smaller size")["size"] in STEP_SIZES
        for fraction in (1, 0.5):
            first = play(site, browser, "?start=20&scale=%g" % fraction)
            time.sleep(8)  # two measurements of the frame rate
            demo = wait_for(browser, lambda d: d["frames"] > first["frames"] + 2, what="more frames")
            assert demo["size"] == [WIDTH * fraction, HEIGHT * fraction], (fraction, demo)
        browser.get(site + "?scale=2")
        assert "scale=2" in wait_for(browser, lambda d: d["state"] == "error", timeout=30)["error"]
