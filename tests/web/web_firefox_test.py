"""The page in Firefox ESR on the machine's GL, in a window on a display of its own: the stills
of the show and of explore mode (drawn there without WEBGL_multi_draw) match the native capture,
and the clock follows the wall after Play."""

from web_harness import firefox, play, serve_site
from web_page_test import HEIGHT, WIDTH, check_clock_against_wall, check_stills

if __name__ == "__main__":
    with serve_site() as site, firefox(WIDTH, HEIGHT) as browser:
        check_stills(site, browser)
        play(browser, site + "?start=44", lambda d: d["time"] > 44, what="the first frame")
        check_clock_against_wall(browser)
