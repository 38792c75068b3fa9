"""Figures of the page beside the native demo, printed as "name: value unit"."""

import os
import time

from selenium.webdriver.common.by import By

from demo_harness import DataDir, run_demo
from web_harness import SITE_DIR, chromium, serve_site, wait_for

WIDTH, HEIGHT = 640, 360
START = 30.0      # the show's busiest section, the field of stones
MEASURED = 4.0    # seconds of demo time measured, after half a second to settle
NATIVE_FRAMES = 240

COUNT_FRAMES = """
window.frameStamps = [];
const drawn = Module.page.frameDrawn;
Module.page.frameDrawn = seconds => {
  drawn(seconds);
  window.frameStamps.push([seconds, performance.now()]);
};
"""


def native_frame_ms():
    """The native demo's frame at the capture clock over the same stretch of the show:
    a long capture less a one-frame capture, per frame."""
    size = ["--windowed", "-w", str(WIDTH), "-h", str(HEIGHT), "--no-music",
            "--capture", "--start", str(START)]
    with DataDir(capture=True) as data:
        walls = []
        for frames in (1, NATIVE_FRAMES):
            began = time.monotonic()
            result = run_demo(size + ["--frames", str(frames)], data.path)
            assert result.returncode == 0, result.stderr[-1000:]
            walls.append(time.monotonic() - began)
    return 1000.0 * (walls[1] - walls[0]) / (NATIVE_FRAMES - 1)


def web_figures(base, driver):
    driver.get(base + "?start=%g&still" % START)
    wait_for(driver, lambda d: d["state"] == "ended", what="still")
    first_frame = driver.execute_script("return performance.now()")
    driver.get(base + "?start=%g" % START)
    wait_for(driver, lambda d: d["state"] == "ready", what="ready")
    ready = driver.execute_script("return performance.now()")
    driver.execute_script(COUNT_FRAMES)
    driver.find_element(By.ID, "play").click()
    wait_for(driver, lambda d: d["time"] > START + 0.5 + MEASURED, timeout=120,
             what="the measured stretch")
    stamps = [s for s in driver.execute_script("return window.frameStamps") if s[0] >= START + 0.5]
    seconds = (stamps[-1][1] - stamps[0][1]) / 1000.0
    return first_frame, ready, (len(stamps) - 1) / seconds


def site_bytes():
    total = music = 0
    for name in os.listdir(SITE_DIR):
        size = os.path.getsize(os.path.join(SITE_DIR, name))
        total += size
        music += size if name.endswith(".mp3") else 0
    return total, total - music


def main():
    native = native_frame_ms()
    with serve_site() as base, chromium(WIDTH, HEIGHT) as driver:
        first_frame, ready, fps = web_figures(base, driver)
    print("web_fps_640x360: %.2f fps" % fps)
    print("web_frame_time_640x360: %.1f ms" % (1000.0 / fps))
    print("native_fps_640x360: %.2f fps" % (1000.0 / native))
    print("native_frame_time_640x360: %.1f ms" % native)
    print("web_frame_vs_native: %.2f x" % (1000.0 / fps / native))
    print("web_load_to_first_frame: %.0f ms" % first_frame)
    print("web_load_to_ready: %.0f ms" % ready)
    total, without_music = site_bytes()
    print("web_site_bytes_without_music: %d bytes" % without_music)
    print("web_site_bytes: %d bytes" % total)


if __name__ == "__main__":
    main()
