"""A window resized during a capture: the frames after the resize are written
at the new size, whole and valid, and the run goes on."""


from bmp import WRITE_LINE, frame_sizes, read_bmp
from demo_harness import DataDir, close_window, find_window, finish, start_demo, wait_for_output, xdotool

NEW_WIDTH, NEW_HEIGHT = 45, 27


def main():
    with DataDir(capture=True) as data:
        proc = start_demo(["--capture", "--windowed", "-w", "64", "-h", "36", "--no-music"], data.path)
        try:
            window = find_window(proc)
            lines = wait_for_output(proc, "Write to capture/frame5.bmp")
            xdotool("windowsize", window, NEW_WIDTH, NEW_HEIGHT)
            lines += wait_for_output(proc, "Resized the window to")
            resized_at = len(lines)
            lines += wait_for_output(proc, "Write to capture/")
            number = int(WRITE_LINE.match(lines[-1].strip()).group(1))
            lines += wait_for_output(proc, f"Write to capture/frame{number + 10}.bmp")
            close_window(window)
        except BaseException:
            proc.kill()
            raise
        # Read the rest through the same buffered pipe that wait_for_output used:
        # finish() reads the descriptor and misses lines already buffered.
        lines += proc.stdout.readlines()
        status, _, err = finish(proc)
        assert status == 0, (status, err[-2000:])
        assert err == "", err[-2000:]
        assert lines[resized_at - 1].rstrip() == f"Resized the window to {NEW_WIDTH}x{NEW_HEIGHT}", \
            lines[resized_at - 1]

        sizes = frame_sizes(lines, 64, 36)
        assert sorted(sizes) == list(range(len(sizes))), "frame numbers not consecutive"
        assert sizes[0] == (64, 36) and sizes[max(sizes)] == (NEW_WIDTH, NEW_HEIGHT), sizes
        for number, size in sizes.items():
            image = read_bmp(data.file(f"capture/frame{number}.bmp"))
            assert (image.width, image.height) == size, (number, image.width, image.height, size)
    print(f"{len(sizes)} frames, resized to {NEW_WIDTH}x{NEW_HEIGHT}")


if __name__ == "__main__":
    main()
