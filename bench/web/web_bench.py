"""Figures of the page beside the native demo, printed as "name: value unit".

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
    processor ms per frame of the browser's processes)."""
    driver.get(base + "?start=%g&still" % START)
    wait_for(driver, lambda d: d["state"] == "ended", what="still")
    first_frame = driver.execute_script("return performance.now()")
    driver.get(base + "?start=%g" % START)
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
    with serve_site() as base, chromium(WIDTH, HEIGHT) as driver:
        first_frame, ready, fps, web_cpu = web_figures(base, driver, driver.service.process.pid)
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
