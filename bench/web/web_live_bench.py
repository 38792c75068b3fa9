"""Live mode in the page: the time from the end of typing to the first frame drawn with the new
program (headless Chromium, SwiftShader, a 640x360 picture beside the editor), and the site's
bytes with the editor, printed as "name: value unit"."""

import statistics

from selenium.webdriver.common.by import By

from demo_harness import wait_for as poll
from web_bench import site_bytes
from web_harness import chromium, serve_site, wait_for

# The picture takes 60% of the page's width: 640x360 in a page 1067 pixels wide.
PAGE_WIDTH, HEIGHT = 1067, 360
START = 30.0
TRIALS = 6
TYPING_PAUSE_MS = 300
COMPOSITE = "shaders/bloom_final.frag"
COLOURED = "#version 330 core\nout vec4 FragColor;\nvoid main() { FragColor = vec4(%s, 1.0); }\n"
COLOURS = ([255, 0, 0], "1.0, 0.0, 0.0"), ([0, 0, 255], "0.0, 0.0, 1.0")

# Each frame's middle pixel once the typing pause is over (a read-back before it would hold up
# the page's timers); the first frame in the awaited colour stops the watch.
WATCH_FRAMES = """
const canvas = document.getElementById("canvas"), drawn = Module.page.frameDrawn;
const pixel = Object.assign(document.createElement("canvas"), {width: 1, height: 1})
  .getContext("2d");
window.watch = {target: null, start: 0, ms: null, frames: []};
Module.page.frameDrawn = seconds => {
  drawn(seconds);
  const w = window.watch;
  w.frames.push(performance.now());
  if (!w.target || performance.now() - w.start < %d) return;
  pixel.drawImage(canvas, canvas.width >> 1, canvas.height >> 1, 1, 1, 0, 0, 1, 1);
  const rgb = pixel.getImageData(0, 0, 1, 1).data;
  if (w.target.every((v, i) => Math.abs(v - rgb[i]) < 40)) {
    w.ms = performance.now() - w.start;
    w.target = null;
  }
};
"""
# Types the whole text at once: the end of typing is now.
TYPE = """window.watch = Object.assign(window.watch, {target: arguments[0], ms: null,
  start: performance.now()});
demo.live.write(arguments[1], arguments[2]);"""


def typing_to_frame_ms(driver):
    driver.execute_script(WATCH_FRAMES % TYPING_PAUSE_MS)
    times = []
    for trial in range(TRIALS):
        rgb, text = COLOURS[trial % 2]
        driver.execute_script(TYPE, rgb, COMPOSITE, COLOURED % text)
        ms = poll(lambda: driver.execute_script("return window.watch.ms"), 30)
        assert ms, "no frame with the new program"
        times.append(ms)
    stamps = driver.execute_script("return window.watch.frames")
    return times, statistics.median(b - a for a, b in zip(stamps, stamps[1:]))




def main():
    with serve_site() as base, chromium(PAGE_WIDTH, HEIGHT) as driver:
        driver.get(base + "?live&scale=1&start=%g" % START)  # drawn at full size
        wait_for(driver, lambda d: d["state"] == "ready", what="ready")
        driver.find_element(By.ID, "play").click()
        wait_for(driver, lambda d: d["time"] > START, what="frames")
        size = driver.execute_script("return [canvas.width, canvas.height]")
        times, frame_ms = typing_to_frame_ms(driver)
    print("web_live_picture: %dx%d pixels" % tuple(size))
    print("web_live_typing_to_frame_median: %.0f ms" % statistics.median(times))
    print("web_live_typing_to_frame_max: %.0f ms" % max(times))
    # The typing pause, then the frame under way and the one with the new program.
    print("web_live_frame_interval_median: %.0f ms" % frame_ms)
    print("web_live_typing_to_frame_in_frames_after_the_pause: %.1f frames"
          % ((statistics.median(times) - TYPING_PAUSE_MS) / frame_ms))
    print("web_site_bytes_with_editor_without_music: %d bytes" % site_bytes()[1])


if __name__ == "__main__":
    main()
