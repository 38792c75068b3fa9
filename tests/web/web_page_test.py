"""The page in headless Chromium against the built site: it loads cleanly and
plays on the wall clock's pace, stills match the native capture of the same
frame, the I key draws the info texts, and bad parameters say what is wrong."""

import time

from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.by import By

from demo_harness import DataDir, read_bmp, run_demo
from web_harness import canvas_pixels, chromium, console_errors, grab_next_frame, serve_site, wait_for

WIDTH, HEIGHT = 640, 360
# SwiftShader in the browser and llvmpipe natively rasterise a few stone and
# glint edges differently: measured 0.09 to 0.11 mean difference per channel
# and 0.05% of the pixels off by more than 16, where the frame after differs
# by 10 and 12%. The bounds keep ten times the measured margin both ways.
MAX_MEAN_DIFFERENCE = 1.0
MAX_SHARE_OFF = 0.01
STILLS = (("?start=33&still", []), ("?start=33&still&explore&n=2000", ["--explore", "-n", "2000"]))


def native_still(extra):
    """Frame 1980 of a native capture at WIDTH x HEIGHT, as RGB bytes, top row first."""
    with DataDir(capture=True) as data:
        args = ["--capture", "--start", "33", "--frames", "1", "--windowed", "-w", str(WIDTH), "-h", str(HEIGHT),
                "--no-music", *extra]
        result = run_demo(args, data.path)
        assert result.returncode == 0, result.stderr[-2000:]
        _, _, rows = read_bmp(data.file("capture/frame1980.bmp"))
    return bytes(v for row in reversed(rows) for i in range(0, len(row), 3) for v in row[i:i + 3][::-1])


def check_stills(base, driver):
    for query, extra in STILLS:
        driver.get(base + query)
        demo = wait_for(driver, lambda d: d["state"] in ("ended", "error"), what=query)
        assert demo["state"] == "ended" and abs(demo["time"] - 1981 / 60) < 1e-3, (query, demo)
        width, height, web = canvas_pixels(driver)
        assert (width, height) == (WIDTH, HEIGHT), (query, width, height)
        native = native_still(extra)
        differences = [abs(a - b) for a, b in zip(web, native)]
        mean = sum(differences) / len(differences)
        off = sum(1 for i in range(0, len(differences), 3) if max(differences[i:i + 3]) > 16) / (WIDTH * HEIGHT)
        assert mean <= MAX_MEAN_DIFFERENCE and off <= MAX_SHARE_OFF, (query, mean, off)


def white_pixels(picture, rows):
    """Near-white pixels of the text corner: the left 300 pixels of the given rows from the top."""
    width, _, rgb = picture
    return sum(1 for y in rows for x in range(300) if min(rgb[3 * (y * width + x):3 * (y * width + x) + 3]) > 200)


def check_play_and_info_texts(base, driver):
    # From 50 s the show draws away into the dark: white text stands out.
    driver.get(base + "?start=50")
    wait_for(driver, lambda d: d["state"] in ("ready", "error"), what="ready")
    assert wait_for(driver, lambda d: True)["state"] == "ready"
    assert console_errors(driver) == [], console_errors(driver)
    driver.find_element(By.ID, "play").click()
    first = wait_for(driver, lambda d: d["state"] == "playing" and d["time"] > 50, what="first frame")
    wall = time.monotonic()
    time.sleep(3)
    later = wait_for(driver, lambda d: d["time"] > first["time"] + 2.5, timeout=30, what="clock")
    elapsed = time.monotonic() - wall
    # The demo time moves with the wall clock, give or take a frame at each end.
    assert abs((later["time"] - first["time"]) - elapsed) < 1.0, (first, later, elapsed)

    text_rows = range(HEIGHT - 95, HEIGHT - 5)
    before = white_pixels(grab_next_frame(driver), text_rows)
    ActionChains(driver).send_keys("i").perform()
    time.sleep(0.5)
    after = white_pixels(grab_next_frame(driver), text_rows)
    assert before < 20 and after > 300, (before, after)
    assert console_errors(driver) == [], console_errors(driver)


def check_bad_parameters(base, driver):
    for query, named in (("?start=abc", "start=abc"), ("?n=-1", "n=-1")):
        driver.get(base + query)
        demo = wait_for(driver, lambda d: d["state"] != "loading", timeout=30, what=query)
        assert demo["state"] == "error" and named in demo["error"], (query, demo)
        assert driver.find_element(By.ID, "message").text == demo["error"]


def main():
    with serve_site() as base, chromium(WIDTH, HEIGHT) as driver:
        check_bad_parameters(base, driver)
        check_stills(base, driver)
        check_play_and_info_texts(base, driver)


if __name__ == "__main__":
    main()
