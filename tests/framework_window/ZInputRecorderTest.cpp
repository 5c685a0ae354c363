#include <gtest/gtest.h>

#include <vector>

#include "foundation/ZUpdateRegistry.h"
#include "framework/ZInputRecorder.h"
#include "input/ZControlMgr.h"

namespace {

// A control manager with one engine group (left out of recordings) and one
// game group of three controls. The test plays the input: each step sets the
// game controls' values as an evaluation would (previous := value).
class ZInputRecorderTest : public ::testing::Test {
protected:
    void SetUp() override {
        ZControlMgr* controls = GetControlMgr();
        controls->AddControlGroup(ZHashedString("General"), false, true, false, false);
        controls->AddControl(ZHashedString("General"), ZHashedString("Pause"), false);
        controls->AddControlGroup(ZHashedString("Player"), true, true, false, false);
        for (const char* name : {"Jump", "Left", "Right"}) {
            controls->AddControl(ZHashedString("Player"), ZHashedString(name), false);
        }
    }
    void TearDown() override {
        DestroyInputRecorder();
        DeleteControlMgr();
    }

    static ZControl* Control(const char* group, const char* name) {
        return GetControlMgr()->GetControl(ZHashedString(group), ZHashedString(name));
    }

    // One fixed step with these values of Jump, Left and Right.
    static void Evaluate(const std::vector<float>& values) {
        const char* names[] = {"Jump", "Left", "Right"};
        for (size_t i = 0; i < values.size(); ++i) {
            ZControl* control = Control("Player", names[i]);
            control->previousValue = control->value;
            control->value = values[i];
        }
    }
    static std::vector<float> Values() {
        return {Control("Player", "Jump")->value, Control("Player", "Left")->value,
                Control("Player", "Right")->value};
    }

    // The fixed step as the main loop runs it: the controls are evaluated,
    // then the update registry's fixed-step list runs.
    static void Step(const std::vector<float>& values) {
        Evaluate(values);
        GetUpdateRegistry()->Run(1.0f / 60.0f, 2);
    }
};

// A few steps of play: a jump held for three steps, an analogue push left
// that changes, and a release.
const std::vector<std::vector<float>> kPlay = {
    {0, 0, 0}, {1, 0, 0}, {1, 0.5f, 0}, {1, 0.75f, 0}, {0, 0.75f, 0}, {0, 0, 1}, {0, 0, 1}, {0, 0, 0},
};

TEST_F(ZInputRecorderTest, SitsInTheFixedStepListFirst) {
    ZInputRecorder* recorder = GetInputRecorder();
    EXPECT_EQ(recorder, GetInputRecorder());
    EXPECT_EQ(recorder->GetUpdateMask(), 6);
    EXPECT_EQ(recorder->GetUpdatePriority(), -10000);
    EXPECT_TRUE(GetUpdateRegistry()->GetList(1).Contains(recorder));
    EXPECT_TRUE(GetUpdateRegistry()->GetList(2).Contains(recorder));
    EXPECT_FALSE(GetUpdateRegistry()->GetList(0).Contains(recorder));
}

TEST_F(ZInputRecorderTest, EngineGroupsAreLeftOut) {
    ZInputRecorder* recorder = GetInputRecorder();
    recorder->ToggleRecording();
    ASSERT_EQ(recorder->GetSamples().Count(), 3u);
    for (uint32_t i = 0; i < 3; ++i) {
        EXPECT_EQ(recorder->GetSamples()[i].group, 1);
        EXPECT_EQ(recorder->GetSamples()[i].control, static_cast<int32_t>(i));
    }
}

TEST_F(ZInputRecorderTest, RecordingThenPlaybackGivesTheSameValuesEveryStep) {
    ZInputRecorder* recorder = GetInputRecorder();
    recorder->ToggleRecording();
    ASSERT_EQ(recorder->GetState(), ZInputRecorder::kRecording);
    for (const auto& values : kPlay) Step(values);
    recorder->ToggleRecording();
    EXPECT_TRUE(recorder->IsIdle());
    EXPECT_EQ(recorder->GetStepCounter(), 0);

    recorder->TogglePlayback();
    ASSERT_EQ(recorder->GetState(), ZInputRecorder::kPlaying);
    for (size_t step = 0; step < kPlay.size(); ++step) {
        Step({0, 0, 0});  // nobody touches the controls now
        EXPECT_EQ(Values(), kPlay[step]) << "step " << step;
        EXPECT_EQ(recorder->GetStepCounter(), static_cast<int32_t>(step + 1));
    }
}

TEST_F(ZInputRecorderTest, AHeldControlRecordsItsPressAndItsReleaseOnly) {
    ZInputRecorder* recorder = GetInputRecorder();
    recorder->ToggleRecording();
    for (const auto& values : kPlay) Step(values);
    std::vector<int32_t> jumpSteps;
    for (const ZInputRecorder::Event& event : recorder->GetEvents()) {
        if (event.sample == 0) jumpSteps.push_back(event.step);
    }
    EXPECT_EQ(jumpSteps, (std::vector<int32_t>{1, 4}));
    // Left: 0.5 at 2, 0.75 at 3, 0 at 5; Right: 1 at 5, 0 at 7.
    EXPECT_EQ(recorder->GetEvents().Count(), 7u);
}

TEST_F(ZInputRecorderTest, PlaybackStartedWhileRecordingEndsItAndStartsAtStepZero) {
    ZInputRecorder* recorder = GetInputRecorder();
    recorder->ToggleRecording();
    for (const auto& values : kPlay) Step(values);
    recorder->TogglePlayback();
    EXPECT_EQ(recorder->GetState(), ZInputRecorder::kPlaying);
    EXPECT_EQ(recorder->GetStepCounter(), 0);
    Step({0, 0, 0});
    Step({0, 0, 0});
    EXPECT_EQ(Values(), kPlay[1]);
    recorder->TogglePlayback();
    EXPECT_TRUE(recorder->IsIdle());
    EXPECT_TRUE(recorder->GetSamples().IsEmpty());
    EXPECT_EQ(recorder->GetEvents().Count(), 7u);  // kept for the next playback
}

TEST_F(ZInputRecorderTest, OnlyTheFixedStepWalkCounts) {
    ZInputRecorder* recorder = GetInputRecorder();
    recorder->ToggleRecording();
    Evaluate({1, 0, 0});
    GetUpdateRegistry()->Run(0.016f, 4);  // the per-frame list
    EXPECT_EQ(recorder->GetStepCounter(), 0);
    EXPECT_TRUE(recorder->GetEvents().IsEmpty());
    GetUpdateRegistry()->Run(0.016f, 2);
    EXPECT_EQ(recorder->GetStepCounter(), 1);
    EXPECT_EQ(recorder->GetEvents().Count(), 1u);
}

TEST_F(ZInputRecorderTest, IdleStepsDoNothing) {
    ZInputRecorder* recorder = GetInputRecorder();
    Step({1, 1, 1});
    Step({0, 0, 0});
    EXPECT_EQ(recorder->GetStepCounter(), 0);
    EXPECT_TRUE(recorder->GetEvents().IsEmpty());
    EXPECT_EQ(Values(), (std::vector<float>{0, 0, 0}));
}

}  // namespace
