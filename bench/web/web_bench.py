"""Figures of the page beside the native demo, printed as "name: value unit": in headless
Chromium's SwiftShader at full size and at the size the page adapts, and, in windows on the
display at hand, in Chromium on ANGLE over the machine's GL and in Firefox on the same GL.

Other jobs on the machine change the wall-clock figures from one minute to the next, so the
native demo is measured before and after the page and the two averaged, the load average is
printed with them, and each side's processor time per frame (all of Chromium's processes for
the page, the demo with its rasteriser threads natively) is given as well: the work a frame
costs, which the load changes far less than the wall clock."""

import os
import resource
import time

from selenium.webdriver.common.by import By

from demo_harness import DataDir, run_demo
from web_harness import SITE_DIR, chromium, firefox, serve_site, wait_for

WIDTH, HEIGHT = 640, 360
START = 30.0      # the show's busiest section, the field of stones
MEASURED = 4.0    # seconds of demo time measured, after half a second to settle
NATIVE_FRAMES = 240
ADAPT_SECONDS = 16  # the adaptive size starts this long before START, to settle on its size
# Chromium in a window on the display's GL (llvmpipe under Xvfb): the native demo's rasteriser.
ANGLE_GL_FLAGS = ("--no-sandbox", "--use-gl=angle", "--use-angle=gl", "--ignore-gpu-blocklist",
                  "--autoplay-policy=no-user-gesture-required", "--force-device-scale-factor=1")
LARGE = (1024, 576)  # the page where the adaptive size aims at 20 frames a second
RATE_JS = "return [demo.frames, performance.now(), demo.size]"

COUNT_FRAMES = """
window.frameStamps = [];
const drawn = Module.page.frameDrawn;
Module.page.frameDrawn = seconds => {
  drawn(seconds);
  window.frameStamps.push([seconds, performance.now()]);
};
"""


def children_cpu_seconds():
    usage = resource.getrusage(resource.RUSAGE_CHILDREN)
    return usage.ru_utime + usage.ru_stime


def native_frame_ms():
    """The native demo's frame at the capture clock over the same stretch of the show:
    a long capture less a one-frame capture, per frame; (wall, processor) milliseconds."""
    size = ["--windowed", "-w", str(WIDTH), "-h", str(HEIGHT), "--no-music",
            "--capture", "--start", str(START)]
    with DataDir(capture=True) as data:
        walls, cpus = [], []
        for frames in (1, NATIVE_FRAMES):
            began, cpu = time.monotonic(), children_cpu_seconds()
            result = run_demo(size + ["--frames", str(frames)], data.path)
            assert result.returncode == 0, result.stderr[-1000:]
            walls.append(time.monotonic() - began)
            cpus.append(children_cpu_seconds() - cpu)
    per_frame = 1000.0 / (NATIVE_FRAMES - 1)
    return per_frame * (walls[1] - walls[0]), per_frame * (cpus[1] - cpus[0])


def descendants_cpu_seconds(root):
    """User and system seconds of all the descendants of `root` (from /proc)."""
    parents, times = {}, {}
    for name in os.listdir("/proc"):
        if not name.isdigit():
            continue
        try:
            with open("/proc/%s/stat" % name) as f:
                fields = f.read().rsplit(")", 1)[1].split()
        except OSError:
            continue
        parents[int(name)] = int(fields[1])
        times[int(name)] = int(fields[11]) + int(fields[12])
    tree, grown = {root}, True
    while grown:
        found = {pid for pid, parent in parents.items() if parent in tree} - tree
        tree |= found
        grown = bool(found)
    return sum(times.get(pid, 0) for pid in tree - {root}) / os.sysconf("SC_CLK_TCK")


def web_figures(base, driver, driver_pid):
    """(ms from load to the first frame, ms from load to ready, frames per second,
    processor ms per frame of the browser's processes), at full size."""
    driver.get(base + "?start=%g&still" % START)
    wait_for(driver, lambda d: d["state"] == "ended", what="still")
    first_frame = driver.execute_script("return performance.now()")
    driver.get(base + "?start=%g&scale=1" % START)
    wait_for(driver, lambda d: d["state"] == "ready", what="ready")
    ready = driver.execute_script("return performance.now()")
    driver.execute_script(COUNT_FRAMES)
    driver.find_element(By.ID, "play").click()
    wait_for(driver, lambda d: d["time"] >= START + 0.5, what="the settled show")
    began, cpu = time.monotonic(), descendants_cpu_seconds(driver_pid)
    wait_for(driver, lambda d: d["time"] > START + 0.5 + MEASURED, timeout=120,
             what="the measured stretch")
    wall, cpu = time.monotonic() - began, descendants_cpu_seconds(driver_pid) - cpu
    stamps = [s for s in driver.execute_script("return window.frameStamps") if s[0] >= START + 0.5]
    fps = (len(stamps) - 1) / ((stamps[-1][1] - stamps[0][1]) / 1000.0)
    return first_frame, ready, fps, 1000.0 * cpu / (wall * fps)


def fit_window(driver):
    """Resizes a browser window with its frame so that its page is WIDTH x HEIGHT."""
    inner = driver.execute_script("return [innerWidth, innerHeight]")
    outer = driver.get_window_size()
    driver.set_window_size(outer["width"] + WIDTH - inner[0], outer["height"] + HEIGHT - inner[1])


def played_rate(base, driver, query, start=START):
    """(frames per second, drawing size) over the measured stretch of the show played from
    `start` with `query`."""
    driver.get(base + "?start=%g%s" % (start, query))
    wait_for(driver, lambda d: d["state"] == "ready", what="ready")
    driver.execute_script("document.getElementById('play').click()")
    wait_for(driver, lambda d: d["time"] >= START + 0.5, timeout=start - START + 60,
             what="the settled show")
    frames, began, _ = driver.execute_script(RATE_JS)
    wait_for(driver, lambda d: d["time"] > START + 0.5 + MEASURED, timeout=120,
             what="the measured stretch")
    frames_after, ended, size = driver.execute_script(RATE_JS)
    return 1000.0 * (frames_after - frames) / (ended - began), size


def gl_figures(base):
    """Frames per second at 640x360 in Chromium on ANGLE over GL and in Firefox on the same GL."""
    with chromium(WIDTH, HEIGHT, ANGLE_GL_FLAGS) as driver:
        driver.get(base + "?scale=1")
        fit_window(driver)
        angle_fps = played_rate(base, driver, "&scale=1")[0]
    with firefox(WIDTH, HEIGHT) as driver:
        firefox_fps = played_rate(base, driver, "&scale=1")[0]
    return angle_fps, firefox_fps


def site_bytes():
    total = music = 0
    for folder, _, names in os.walk(SITE_DIR):
        for name in names:
            size = os.path.getsize(os.path.join(folder, name))
            total += size
            music += size if name.endswith(".mp3") else 0
    return total, total - music


def main():
    load_before = os.getloadavg()[0]
    native_before, native_cpu_before = native_frame_ms()
    with serve_site() as base:
        with chromium(WIDTH, HEIGHT) as driver:
            pid = driver.service.process.pid
            first_frame, ready, fps, web_cpu = web_figures(base, driver, pid)
            adaptive_fps, size = played_rate(base, driver, "", START - ADAPT_SECONDS)
        with chromium(*LARGE) as driver:
            large_fps, large_size = played_rate(base, driver, "", START - ADAPT_SECONDS)
        angle_fps, firefox_fps = gl_figures(base)
    native_after, native_cpu_after = native_frame_ms()
    native = (native_before + native_after) / 2.0
    native_cpu = (native_cpu_before + native_cpu_after) / 2.0
    print("load_average_before: %.2f" % load_before)
    print("load_average_after: %.2f" % os.getloadavg()[0])
    print("web_fps_640x360: %.2f fps" % fps)
    print("web_frame_time_640x360: %.1f ms" % (1000.0 / fps))
    print("native_fps_640x360: %.2f fps" % (1000.0 / native))
    print("native_frame_time_640x360: %.1f ms" % native)
    print("native_frame_time_before_page: %.1f ms" % native_before)
    print("native_frame_time_after_page: %.1f ms" % native_after)
    print("web_frame_vs_native: %.2f x" % (1000.0 / fps / native))
    print("web_adaptive_fps_640x360: %.2f fps" % adaptive_fps)
    print("web_adaptive_size_640x360: %dx%d pixels" % tuple(size))
    print("web_adaptive_fps_1024x576: %.2f fps" % large_fps)
    print("web_adaptive_size_1024x576: %dx%d pixels" % tuple(large_size))
    print("web_angle_gl_fps_640x360: %.2f fps" % angle_fps)
    print("web_angle_gl_frame_vs_native: %.2f x" % (1000.0 / angle_fps / native))
    print("web_firefox_gl_fps_640x360: %.2f fps" % firefox_fps)
    print("web_firefox_gl_frame_vs_native: %.2f x" % (1000.0 / firefox_fps / native))
    print("web_frame_cpu_640x360: %.1f ms" % web_cpu)
    print("native_frame_cpu_640x360: %.1f ms" % native_cpu)
    print("web_frame_cpu_vs_native: %.2f x" % (web_cpu / native_cpu))
    print("web_load_to_first_frame: %.0f ms" % first_frame)
    print("web_load_to_ready: %.0f ms" % ready)
    total, without_music = site_bytes()
    print("web_site_bytes_without_music: %d bytes" % without_music)
    print("web_site_bytes: %d bytes" % total)


if __name__ == "__main__":
    main()
