// The tracks file in a run, without GL: reload with the two-poll rule, the camera following its
// tracks, the recording keys' writes and their failures.
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "CameraPose.h"
#include "FW/Shader.h"
#include "TrackPlayer.h"

namespace {

const std::string GOOD = "# the show\nglow 0 1\nglow 10 3 # up\n";

struct Played {
    const std::string path = testing::TempDir() + "player-" + std::to_string(getpid()) + ".tracks";
    TrackPlayer player;
    double now = 0.0;
    explicit Played(const std::string& text = GOOD) {
        save(text);
        EXPECT_TRUE(player.load(path)) << player.error;
    }
    ~Played() { unlink(path.c_str()); }
    void save(const std::string& text) { std::ofstream(path, std::ios::trunc) << text; }
    std::string file() const {
        std::string text;
        FW::read_file(path, text);
        return text;
    }
    float value_at(double t) {
        FW::Camera camera;
        player.frame(t, camera);
        return player.values.at(0);
    }
};

TEST(TrackPlayer, ABrokenSaveShowsOnlyWhenReadTwiceAndTheLastGoodTracksStay) {
    Played p;
    p.save("glow 0 5\nglow 0 6\n");
    p.player.poll(p.now += 1.0);
    EXPECT_EQ(p.player.error, "");
    p.player.poll(p.now += 0.1);  // within the interval: not read
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

// Yaw 90 looks along -x, pitch 90 straight up; a flown camera reads back as the pose that placed it.
TEST(TrackPlayer, CameraTracksPlaceTheCameraAndKeepThePartsTheyDoNotHave) {
    FW::Camera camera;
    place_camera(camera, {glm::vec3(1, 2, 3), 90.0f, 0.0f});
    EXPECT_NEAR(glm::distance(camera.get_forward(), glm::vec3(-1, 0, 0)), 0.0f, 1e-5f);
    place_camera(camera, {glm::vec3(1, 2, 3), 0.0f, 90.0f});
    EXPECT_NEAR(glm::distance(camera.get_forward(), glm::vec3(0, 1, 0)), 0.0f, 1e-5f);
    camera.set_pitch_yaw(-0.5f, 2.5f);
    const CameraPose pose = camera_pose(camera);
    EXPECT_NEAR(pose.yaw, glm::degrees(2.5f), 1e-3f);
    EXPECT_NEAR(pose.pitch, glm::degrees(-0.5f), 1e-3f);
    EXPECT_NEAR(glm::distance(pose.eye, glm::vec3(1, 2, 3)), 0.0f, 1e-5f);

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

// K's keys read back to the camera, in the file and in force at once, without a reload; X takes them
// out again. A write that cannot be made leaves the file and says why.
TEST(TrackPlayer, RecordingWritesTheCameraAndAFailedWriteLeavesTheFile) {
    Played p;
    FW::Camera camera;
    place_camera(camera, {glm::vec3(-4.5f, 0.25f, 12.0f), 135.0f, -20.0f});
    ASSERT_TRUE(p.player.record(12.3456, camera));
    EXPECT_EQ(p.file(), GOOD +
                            "camera.x 12.346 -4.5 smooth\ncamera.y 12.346 0.25 smooth\ncamera.z 12.346 12 smooth\n"
                            "camera.yaw 12.346 135 smooth\ncamera.pitch 12.346 -20 smooth\n");
    FW::Camera replayed;
    p.player.frame(12.346, replayed);
    const CameraPose pose = camera_pose(replayed);
    EXPECT_NEAR(pose.yaw, 135.0f, 1e-3f);
    EXPECT_NEAR(pose.eye.x, -4.5f, 1e-4f);
    p.player.poll(p.now += 1.0);
    EXPECT_EQ(p.player.error_lines().size(), 0u);

    ASSERT_TRUE(p.player.remove(12.346));
    EXPECT_EQ(p.file(), GOOD);
    ASSERT_EQ(mkdir((p.path + ".tmp").c_str(), 0700), 0);  // in the way of the temporary file
    EXPECT_FALSE(p.player.record(1.0, camera));
    rmdir((p.path + ".tmp").c_str());
    EXPECT_EQ(p.file(), GOOD);
    EXPECT_EQ(p.player.error_lines().at(0).rfind("Cannot write " + p.path + ": ", 0), 0u);
    EXPECT_FLOAT_EQ(p.value_at(5.0), 2.0f);

    p.save("glow 1 1 wobble\n");  // a broken file is not written over
    EXPECT_FALSE(p.player.record(1.0, camera));
    EXPECT_EQ(p.file(), "glow 1 1 wobble\n");
}

}  // namespace
