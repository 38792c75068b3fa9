"""The drawing size in headless Chromium's slow software WebGL at 1024x576: smaller than the page
by its steps, and at full size with ?scale=1 (which an adaptive size would leave)."""

import time

from web_harness import chromium, play, serve_site, wait_for

WIDTH, HEIGHT = 1024, 576
STEP_SIZES = [[round(WIDTH * 2 ** (-k / 4)), round(HEIGHT * 2 ** (-k / 4))] for k in range(9)]

if __name__ == "__main__":
    with serve_site() as site, chromium(WIDTH, HEIGHT) as browser:
        for query, full in (("?start=20", False), ("?start=20&scale=1", True)):
            first = play(browser, site + query, lambda d: d["frames"] > 0, what="the first frame")
            time.sleep(8)  # past a measurement of the frame rate, and its change of size
            demo = wait_for(browser, lambda d: d["frames"] > first["frames"] + 2 and (full or d["size"][0] < WIDTH),
                            what="more frames, smaller where adaptive")
            assert demo["size"] in STEP_SIZES and (demo["size"][0] == WIDTH) == full, (query, demo)
