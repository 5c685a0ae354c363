// The renderer's host: objects that follow the render size join whatever host
// is registered (not only the base game), start at its render size, leave it
// when they go, and do without one; the base game registers itself as the host.

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "framework/ZBaseGame.h"
#include "renderer/ZCamera.h"
#include "renderer/ZRenderHost.h"
#include "renderer/ZResolutionListener.h"

namespace {

// A host of the renderer's own making: fixed sizes and a plain list.
class FakeHost : public ZRenderHost {
public:
    int32_t GetScreenWidth() const override { return 640; }
    int32_t GetScreenHeight() const override { return 480; }
    int32_t GetRenderWidth() const override { return 320; }
    int32_t GetRenderHeight() const override { return 240; }
    int32_t GetTateSetting() const override { return 0; }
    float GetBrightnessSetting() const override { return 0.0f; }
    float GetFadeOut() const override { return 0.0f; }
    bool GetOpaqueDialogBoxes() const override { return false; }
    float GetAnaglyphDistance() const override { return 0.0f; }
    float GetAnaglyphDistanceOffset() const override { return 0.0f; }
    ZVector4 GetAnaglyphColor() const override { return ZVector4(1.0f, 1.0f, 1.0f, 1.0f); }
    float GetAnaglyphDesaturation() const override { return 1.0f; }
    ZVector4 GetAnaglyphGamma() const override { return ZVector4(1.0f, 1.0f, 1.0f, 1.0f); }
    ZHashedString GetDefaultBackdropGroupName() const override { return ZHashedString("Backdrop"); }
    ZRenderable* CreateBackdropQuad() override { return nullptr; }
    ZShader* CreateDepthBackdropShader() override { return nullptr; }
    void AddResolutionListener(ZResolutionListener* listener) override {
        if (!Has(listener)) listeners.push_back(listener);
    }
    void RemoveResolutionListener(ZResolutionListener* listener) override {
        listeners.erase(std::remove(listeners.begin(), listeners.end(), listener), listeners.end());
    }
    bool Has(const ZResolutionListener* listener) const {
        return std::find(listeners.begin(), listeners.end(), listener) != listeners.end();
    }
    void Tell(int32_t width, int32_t height) const {
        for (ZResolutionListener* listener : listeners) listener->OnResolutionChanged(width, height);
    }

    std::vector<ZResolutionListener*> listeners;
};

class SizeFollower : public ZResolutionListener {
public:
    SizeFollower() { StartListening(width, height); }
    ~SizeFollower() override { StopListening(); }
    void OnResolutionChanged(int32_t w, int32_t h) override {
        width = w;
        height = h;
    }
    int32_t width = -1;
    int32_t height = -1;
};

class ZRenderHostTest : public ::testing::Test {
protected:
    void SetUp() override {
        previous = ZRenderHost::Get();
        ZRenderHost::Register(&host);
    }
    void TearDown() override { ZRenderHost::Register(previous); }

    FakeHost host;
    ZRenderHost* previous = nullptr;
};

}  // namespace

TEST_F(ZRenderHostTest, ListenersStartAtTheHostsRenderSizeFollowItAndLeaveWhenGone) {
    {
        SizeFollower follower;
        EXPECT_EQ(follower.width, 320);
        EXPECT_EQ(follower.height, 240);
        ASSERT_TRUE(host.Has(&follower));
        host.Tell(800, 600);
        EXPECT_EQ(follower.width, 800);
        EXPECT_EQ(follower.height, 600);
    }
    EXPECT_TRUE(host.listeners.empty()) << "a listener that went is never told again";
}

TEST_F(ZRenderHostTest, TheCameraFollowsTheHostsAspectAndLeavesWithItself) {
    {
        ZCamera camera(60.0f, 1.0f, 1.0f, 10.0f);
        camera.FollowScreenSize();
        camera.FollowScreenSize();
        ASSERT_EQ(host.listeners.size(), 1u) << "joins once";
        host.Tell(1600, 900);
        EXPECT_FLOAT_EQ(camera.aspect, 16.0f / 9.0f);
        host.Tell(0, 900);
        EXPECT_FLOAT_EQ(camera.aspect, 16.0f / 9.0f) << "a size without area leaves the aspect as it was";
    }
    EXPECT_TRUE(host.listeners.empty());
}

TEST_F(ZRenderHostTest, WithoutAHostListenersStartEmptyAndJoinNothing) {
    ZRenderHost::Register(nullptr);
    SizeFollower follower;
    EXPECT_EQ(follower.width, 0);
    EXPECT_EQ(follower.height, 0);
    ZCamera camera(60.0f, 1.5f, 1.0f, 10.0f);
    camera.FollowScreenSize();
    EXPECT_EQ(camera.aspect, 1.5f);
    EXPECT_TRUE(host.listeners.empty());
}

TEST_F(ZRenderHostTest, OnlyTheRegisteredHostLeavingClearsTheSlot) {
    FakeHost other;
    ZRenderHost::Unregister(&other);
    EXPECT_EQ(ZRenderHost::Get(), &host);
    ZRenderHost::Unregister(&host);
    EXPECT_EQ(ZRenderHost::Get(), nullptr);
}

TEST(ZRenderHostGame, TheFirstBaseGameIsTheHostUntilItIsDeleted) {
    ZAppInfo* info = gAppInfo.load();
    ASSERT_EQ(ZBaseGame::PeekInstance(), nullptr);
    auto* first = new ZBaseGame();
    EXPECT_EQ(ZRenderHost::Get(), static_cast<ZRenderHost*>(first));
    auto* second = new ZBaseGame();
    EXPECT_EQ(ZRenderHost::Get(), static_cast<ZRenderHost*>(first)) << "a second game object does not take over";
    delete second;
    EXPECT_EQ(ZRenderHost::Get(), static_cast<ZRenderHost*>(first));
    ZBaseGame::DestroyInstance();
    EXPECT_EQ(ZRenderHost::Get(), nullptr);
    gAppInfo.store(info);
}
