// The tracks file in a run, without GL: reload with the two-poll rule, the camera following its
// tracks, no recording over a broken file, recorded keys that the file can hold.
#include <unistd.h>

#include <cmath>
#include <fstream>

#include <gtest/gtest.h>

#include "CameraPose.h"
#include "FW/Shader.h"
#include "TrackPlayer.h"

namespace {

struct Played {
    const std::string path = testing::TempDir() + "player-" + std::to_string(getpid()) + ".tracks";
    TrackPlayer player;
    double now = 0.0;
    explicit Played(const std::string& text = "# the show\nglow 0 1\nglow 10 3 # up\n") {
        save(text);
        EXPECT_TRUE(player.load(path)) << player.error;
    }
    ~Played() { unlink(path.c_str()); }
    void save(const std::string& text) { std::ofstream(path, std::ios::trunc) << text; }
    float value_at(double t) {
        FW::Camera camera;
        return player.frame(t, camera), player.values.at(0);
    }
};

TEST(TrackPlayer, ABrokenSaveShowsOnlyWhenReadTwiceAndTheLastGoodTracksStay) {
    Played p;
    p.save("glow 0 5\nglow 0 6\n");
    p.player.poll(p.now += 1.0);
    EXPECT_EQ(p.player.error, "");
    p.player.poll(p.now += 1.0);
    EXPECT_EQ(p.player.error, p.path + ":2: duplicate key: glow has a key at this time on line 1 (the last good tracks stay)");
    EXPECT_FLOAT_EQ(p.value_at(5.0), 2.0f);
    p.save("glow 0 7\n");
    p.player.poll(p.now += 1.0);
    EXPECT_EQ(p.player.error, "");
    EXPECT_FLOAT_EQ(p.value_at(5.0), 7.0f);
    p.save("");  // a save under way: nothing changes
    p.player.poll(p.now += 1.0);
    EXPECT_FLOAT_EQ(p.value_at(5.0), 7.0f);
}

// Yaw 90 looks along -x; the parts without a track keep the camera's own; C lets go of the camera.
TEST(TrackPlayer, CameraTracksPlaceTheCameraAndKeepThePartsTheyDoNotHave) {
    FW::Camera camera;
    place_camera(camera, {glm::vec3(1, 2, 3), 90.0f, glm::degrees(-0.5f)});
    EXPECT_NEAR(glm::distance(camera.get_forward(), glm::vec3(-std::cos(0.5f), -std::sin(0.5f), 0)), 0.0f, 1e-5f);
    Played p("camera.z 0 100\ncamera.z 10 200\ncamera.yaw 0 -30 step\n");
    p.player.frame(5.0, camera);
    const CameraPose followed = camera_pose(camera);
    EXPECT_NEAR(glm::distance(followed.eye, glm::vec3(1, 2, 150)), 0.0f, 1e-4f);
    EXPECT_NEAR(followed.yaw, -30.0f, 1e-3f);
    EXPECT_NEAR(followed.pitch, glm::degrees(-0.5f), 1e-3f);
    p.player.follow_camera = false;
    p.player.frame(10.0, camera);
    EXPECT_NEAR(camera_pose(camera).eye.z, 150.0f, 1e-4f);
}

// A file that does not parse is not written over by the recording keys: its edits would be lost;
// nor is an edit written whose result would not parse (a camera gone to NaN).
TEST(TrackPlayer, RecordingLeavesABrokenFileAsItIsAndWritesNoneThatWouldNotParse) {
    Played p;
    FW::Camera lost;
    place_camera(lost, {glm::vec3(NAN, 0, 0), 0.0f, 0.0f});
    EXPECT_FALSE(p.player.record(1.0, lost));
    std::string text;
    EXPECT_EQ((FW::read_file(p.path, text), text), "# the show\nglow 0 1\nglow 10 3 # up\n");
    EXPECT_EQ(p.player.set.tracks.size(), 1u);
    EXPECT_NE(p.player.write_error.find("is not a finite number of float range (not written: the file is unchanged)"),
              std::string::npos);
    p.save("glow 1 1 wobble\n");
    EXPECT_FALSE(p.player.record(1.0, FW::Camera()));
    EXPECT_FALSE(p.player.remove(1.0));
    EXPECT_EQ((FW::read_file(p.path, text), text), "glow 1 1 wobble\n");
    EXPECT_EQ(p.player.error_lines().at(0), p.path + ":1: unknown interpolation \"wobble\" (step, linear, smooth or ramp) (nothing recorded)");
}

// K in the show's last half millisecond writes a key that parses; a yaw past half a turn goes on
// from the yaw track's value (the camera reads back -160 for 200) instead of turning the long way.
TEST(TrackPlayer, RecordedKeysStayInTheShowAndNearTheYawTrack) {
    Played p("camera.yaw 40 200\ncamera.yaw 50 270\n");
    FW::Camera camera;
    place_camera(camera, {glm::vec3(1, 2, 3), -160.0f, 0.0f});
    ASSERT_TRUE(p.player.record(44.0, camera) && p.player.record(57.99999999999994, camera)) << p.player.write_error;
    std::string text;
    EXPECT_NE((FW::read_file(p.path, text), text).find("camera.yaw 44 200 smooth\ncamera.pitch 44 0 smooth\n"
                                                        "camera.x 57.999 1 smooth"), std::string::npos) << text;
    EXPECT_TRUE(text.find("camera.yaw 57.999 200 smooth") != std::string::npos && TrackPlayer().load(p.path));
}

}  // namespace
