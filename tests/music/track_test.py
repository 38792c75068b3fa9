"""The soundtrack in the run folder, probed with ffprobe: one 44.1 kHz stereo MP3 stream of at least 58 s."""

import json
import os
import subprocess

TRACK = os.path.join(os.environ["DEMO_RUN_DIR"], "assets", "kelvarra.mp3")
probe = json.loads(subprocess.run(["ffprobe", "-v", "error", "-print_format", "json", "-show_streams",
                                   "-show_format", TRACK], capture_output=True, text=True, check=True).stdout)
[stream] = probe["streams"]
assert (stream["codec_name"], int(stream["sample_rate"]), stream["channels"]) == ("mp3", 44100, 2), stream
assert float(probe["format"]["duration"]) >= 58.0, probe["format"]
