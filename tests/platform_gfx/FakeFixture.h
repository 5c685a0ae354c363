#pragma once

// A fake system and device (256 x 224) whose script and call log the test reads.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/gfx/effect.h"
#include "platform/gfx/fake/fake_gfx.h"
#include "platform/gfx/gfx.h"

namespace gfxtest {

class FakeFixture : public ::testing::Test {
protected:
    void SetUp() override {
        state = std::make_shared<gfx::fake::State>();
        system = gfx::fake::CreateSystem(state);
        gfx::PresentParams params;
        params.backBufferWidth = 256;
        params.backBufferHeight = 224;
        ASSERT_EQ(system->CreateDevice(nullptr, gfx::create::kHardwareVertexProcessing, params, &device), gfx::Result::Ok);
    }
    void TearDown() override {
        // Everything a test makes it releases: nothing is left alive.
        if (device) {
            EXPECT_EQ(device->Release(), 0u);
        }
        EXPECT_EQ(system->Release(), 0u);
        EXPECT_EQ(state->liveObjects, 0);
    }

    gfx::Ref<gfx::Effect> MakeEffect(const std::string& text) {
        gfx::Ref<gfx::Effect> effect;
        std::optional<std::string> errors;
        EXPECT_EQ(gfx::CreateEffect(device, text.data(), text.size(), effect.Out(), &errors), gfx::Result::Ok)
            << errors.value_or("");
        return effect;
    }

    bool Logged(const std::string& call) const { return state->Find(call) >= 0; }

    std::shared_ptr<gfx::fake::State> state;
    gfx::System* system = nullptr;
    gfx::Device* device = nullptr;
};

}  // namespace gfxtest
