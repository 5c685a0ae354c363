#pragma once

// The renderer on the scripted fake device, with a fake window system (its
// message boxes and display modes) and a temporary folder mounted as the first
// stream source for the files a test loads.

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "foundation/ZAppInfo.h"
#include "foundation/ZLog.h"
#include "foundation/ZStreamMgr.h"
#include "hmd/ZHMDMgr.h"
#include "platform/os/files.h"
#include "platform/gfx/fake/fake_gfx.h"
#include "platform/window/fake/FakeWindowSystem.h"
#include "renderer/ZRenderer.h"
#include "renderer/ZShaderMgr.h"
#include "renderer/ZTextureMgr.h"
#include "support/TempDir.h"

namespace rtest {

// An application description with logging on, so that the renderer's lines
// reach Log.txt (under the test's own documents folder).
class LoggingAppInfo : public ZAppInfo {
public:
    bool IsLogging() const override { return logging; }
    bool logging = false;
};

class RendererTest : public ::testing::Test {
protected:
    void SetUp() override {
        state = std::make_shared<gfx::fake::State>();
        auto windows = std::make_unique<platform::window::FakeWindowSystem>();
        window = windows.get();
        platform::window::SetWindowSystem(std::move(windows));
        ZStreamMgr::GetInstance()->AddDirectorySource(dir.Path().string().c_str());
        setenv("XDG_DOCUMENTS_DIR", documents.Path().string().c_str(), 1);
        // A default description a log line made before the test is freed, not overwritten.
        ZAppInfo::DestroyInstance();
        gAppInfo.store(&appInfo);
    }

    void TearDown() override {
        ZShaderMgr::DestroyInstance();
        ZTextureMgr::DestroyInstance();
        ShutdownRenderer();
        DestroyRenderer();
        DestroyHMDManager();
        ZStreamMgr::DestroyInstance();
        platform::window::SetWindowSystem(nullptr);
        ZLog::DestroyInstance();
        gAppInfo.store(nullptr);
        unsetenv("XDG_DOCUMENTS_DIR");
        // Everything the renderer made was released.
        EXPECT_EQ(state->liveObjects, 0);
    }

    // Starts the renderer on the fake device at the size.
    void Start(int32_t w = 256, int32_t h = 224, const ZRenderVideoSettings& video = {}) {
        GetRenderer()->UseSystem(gfx::fake::CreateSystem(state));
        width = w;
        height = h;
        InitRenderer(window, width, height, video, missing);
    }

    bool Logged(const std::string& prefix) const { return state->Find(prefix) >= 0; }
    size_t Count(const std::string& prefix) const { return state->Count(prefix); }
    // Forgets the calls so far.
    void ClearCalls() { state->calls.clear(); }
    std::string Calls() const {
        std::string all;
        for (const std::string& c : state->calls) all += c + "\n";
        return all;
    }

    // Everything logged so far.
    std::string LogText() const {
        std::ifstream in(os::TranslatePath(GetLog()->GetFilePath()), std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }
    bool LogHas(const std::string& text) const { return LogText().find(text) != std::string::npos; }

    void WriteFile(const std::string& name, const std::string& bytes) const { dir.Write(name, bytes); }

    std::shared_ptr<gfx::fake::State> state;
    platform::window::FakeWindowSystem* window = nullptr;
    korvtest::TempDir dir;
    korvtest::TempDir documents;
    LoggingAppInfo appInfo;
    int32_t width = 0;
    int32_t height = 0;
    ZArray<ZHashedString> missing;
};

}  // namespace rtest
