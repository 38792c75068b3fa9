"""Live mode in the page, served by scripts/web --live's handler from a checkout of its own: edits
in the editor and saves on disk reach the picture, a broken edit keeps the last good picture and
marks its line, the editor keeps its keys, a tracks edit moves a uniform, K writes camera keys
into the tracks tab, and a reload keeps the edits."""

import http.client
import os
import pathlib
import shutil
import tempfile
import time

from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.by import By

from demo_harness import wait_for as poll
from web_harness import HERE, canvas_pixels, chromium, play, serve_site, wait_for

TRACKS = "tracks/flight.tracks"
BACKGROUND = "shaders/background.frag"
COMPOSITE = "shaders/bloom_final.frag"
# The show's colour and bright part from one uniform that the tracks set; both opaque, since
# blending stays on and a bright part of alpha 0 would leave the last one in place.
PROBE = ("#version 330 core\nlayout (location = 0) out vec4 FragColor;\n"
         "layout (location = 1) out vec4 BrightColor;\nuniform float probe;\nvoid main() {\n"
         "    FragColor = vec4(probe, 0.0, 0.0, 1.0);\n    BrightColor = vec4(vec3(0.0), 1.0);\n}\n")
# The composite showing only green.
GREEN = "#version 330 core\nout vec4 FragColor;\nvoid main() { FragColor = vec4(0.0, 1.0, 0.0, 1.0); }\n"


def mean_rgb(driver):
    width, height, rgb = canvas_pixels(driver, next_frame=True)
    return [sum(rgb[channel::3]) / (width * height) for channel in range(3)]


def wait_colour(driver, test, what):
    assert poll(lambda: test(mean_rgb(driver)), 60), "%s: %r" % (what, mean_rgb(driver))


def live(driver, script, *args):
    return driver.execute_script("return demo.live." + script, *args)


def check_editor_keeps_its_keys(driver):
    """Space and I typed in the editor land in its text; the clock plays on. On the picture, Space
    pauses it and the music."""
    live(driver, "write(arguments[0], arguments[1])", BACKGROUND, PROBE)
    driver.find_element(By.CSS_SELECTOR, "#live-editor .CodeMirror").click()
    before = driver.execute_script("return demo.time")
    ActionChains(driver).send_keys(" i").perform()
    assert " i" in live(driver, "read(arguments[0])", BACKGROUND)
    assert poll(lambda: driver.execute_script("return demo.time") > before + 0.5, 10), \
        "the editor's Space paused the show"
    ActionChains(driver).click(driver.find_element(By.ID, "canvas")).send_keys(" ").perform()
    time.sleep(1)
    paused_at = driver.execute_script("return demo.time")
    time.sleep(1)
    assert driver.execute_script("return demo.time") == paused_at, "Space on the picture did not pause"
    assert driver.execute_script("return document.getElementById('music').paused"), "the music plays on"
    ActionChains(driver).send_keys(" ").perform()


def check_edits_and_errors(driver):
    """The probe shader shows black until the tracks set its uniform; a broken version keeps the
    red picture, and its error names the user's line, which the editor marks."""
    live(driver, "write(arguments[0], arguments[1])", BACKGROUND, PROBE)
    wait_colour(driver, lambda c: max(c) < 10, "the probe shader without its track")
    live(driver, "write(arguments[0], arguments[1])", TRACKS, "probe 0 1\n")
    wait_colour(driver, lambda c: c[0] > 100 and c[1] < 10, "the probe's track at 1")
    live(driver, "write(arguments[0], arguments[1])", BACKGROUND, PROBE.replace("1.0);\n}", "1.0;\n}"))
    error = poll(lambda: live(driver, "errors[arguments[0]]", BACKGROUND), 30)
    assert error and "0:7:" in error, error
    marked = driver.find_elements(By.CSS_SELECTOR, "#live-editor .live-error-line")
    assert len(marked) == 1 and "BrightColor" in marked[0].text, [m.text for m in marked]
    assert mean_rgb(driver)[0] > 100, "the last good program went"


def check_serving(base, root):
    """The live folders come from the checkout; a path that climbs out of them finds nothing."""
    pathlib.Path(root, "secret").write_text("not served")
    connection = http.client.HTTPConnection(base.split("/")[2])
    for path, status in (("/shaders/basic.vert", 200), ("/shaders/%2e%2e/secret", 404),
                         ("/shaders/../secret", 404)):
        connection.request("GET", path)
        response = connection.getresponse()
        assert (response.status, response.read() != b"not served") == (status, True), path
        assert status != 200 or response.getheader("X-Demo-Live") == "disk", path


def check_recording(driver):
    """K on the picture writes the camera's keys into the tracks tab, comments kept; Revert goes
    back to the shipped file."""
    live(driver, "write(arguments[0], arguments[1])", TRACKS, "# kept\nprobe 0 1\n")
    time.sleep(1)  # the typing pause, then a frame
    ActionChains(driver).click(driver.find_element(By.ID, "canvas")).send_keys("k").perform()
    text = poll(lambda: "camera.x" in (t := live(driver, "read(arguments[0])", TRACKS)) and t, 10)
    assert text and text.startswith("# kept\n") and "camera.pitch" in text, text
    driver.find_element(By.CSS_SELECTOR, "#live-buttons button").click()
    shipped = pathlib.Path(HERE, "../..", TRACKS).read_text()
    assert live(driver, "read(arguments[0])", TRACKS) == shipped


def check_disk(driver, root):
    """A save on disk reaches the page where it has no edits of the file; where it has, the page
    keeps them and offers the disk's."""
    pathlib.Path(root, COMPOSITE).write_text(GREEN)
    wait_colour(driver, lambda c: c[1] > 200 and c[0] < 10, "the composite saved on disk")
    assert live(driver, "read(arguments[0])", COMPOSITE) == GREEN
    pathlib.Path(root, BACKGROUND).write_text(PROBE)
    assert poll(lambda: "changed on disk" in driver.find_element(By.ID, "live-notes").text, 10)
    assert live(driver, "read(arguments[0])", BACKGROUND) != PROBE
    driver.find_element(By.CSS_SELECTOR, "#live-notes .live-note button").click()
    assert live(driver, "read(arguments[0])", BACKGROUND) == PROBE
    live(driver, "write(arguments[0], arguments[1])", BACKGROUND, PROBE + "// edited\n")


def main():
    with tempfile.TemporaryDirectory() as root:
        for folder in ("shaders", "tracks"):
            shutil.copytree(os.path.join(HERE, "../..", folder), os.path.join(root, folder))
        with serve_site(root) as base, chromium(1000, 360) as driver:
            url = base + "?live&start=5&tracks=" + TRACKS
            playing = lambda d: d["state"] == "playing" and d["time"] > 0
            check_serving(base, root)
            driver.get(base + "?live&tracks=tracks/../secret")
            assert "tracks/ folder" in wait_for(driver, lambda d: d["state"] == "error")["error"]
            play(driver, url, playing)
            check_editor_keeps_its_keys(driver)
            check_edits_and_errors(driver)
            check_recording(driver)
            check_disk(driver, root)
            play(driver, url, playing)
            assert live(driver, "read(arguments[0])", BACKGROUND) == PROBE + "// edited\n"
            assert "kept in this browser" in driver.find_element(By.ID, "live-notes").text
    print("ok")


if __name__ == "__main__":
    main()
