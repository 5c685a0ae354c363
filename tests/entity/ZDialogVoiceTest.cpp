// The typing voice of a conversation, heard through the fake sound device.

#include <gtest/gtest.h>

#include "EntityTestSupport.h"
#include "audio/AudioFixture.h"
#include "entity/ZDialogConsumerComponent.h"
#include "entity/ZDialogProviderComponent.h"
#include "entity/ZEntity.h"
#include "entity/ZEntityGameHooks.h"

namespace {

class DialogVoiceTest : public atest::AudioTest {
protected:
    void SetUp() override {
        AudioTest::SetUp();
        saved = GetEntityGameHooks();
        GetEntityGameHooks().getFrameTime = [] { return 0.1f; };
    }
    void TearDown() override {
        GetEntityGameHooks() = saved;
        AudioTest::TearDown();
    }
    // Whether the device mixed anything but silence since the last clear.
    bool Heard() const {
        for (const int16_t sample : device->GetMixed()) {
            if (sample != 0) {
                return true;
            }
        }
        return false;
    }
    ZEntityGameHooks saved;
};

TEST_F(DialogVoiceTest, TheVoiceSpeaksOnFramesThatRevealCharactersOnly) {
    Start();
    dir.Write("talky.wav", atest::MonoWav(441, 8000));
    ASSERT_NE(audio->CreateSound("talky.wav", ZHashedString("Talky"), ZHashedString::None(), false), nullptr);
    ZEntity speaker;
    ZEntity listener;
    auto* provider = AddComponent<ZDialogProviderComponent>(&speaker);
    provider->ReadDefinition(entitytest::Markup("<DialogProvider><Dialog Text='Hello there' NoLoc='True'/>"
                                                "</DialogProvider>"));
    auto* consumer = AddComponent<ZDialogConsumerComponent>(&listener);
    provider->consumer = consumer->GetHandle();
    ASSERT_TRUE(provider->StartDialog());
    consumer->OpenDialog(provider);

    device->Advance(4410);
    device->ClearMixed();
    consumer->TickTypewriter();  // 6.4 of 11 characters
    device->Advance(4410);
    EXPECT_TRUE(Heard()) << "a frame with characters to reveal speaks";

    device->ClearMixed();
    consumer->TickTypewriter();  // the page completes
    EXPECT_TRUE(consumer->IsPageComplete());
    device->Advance(4410);
    device->ClearMixed();
    consumer->TickTypewriter();  // nothing left to reveal
    device->Advance(4410);
    EXPECT_FALSE(Heard()) << "a complete page is silent";
}

}  // namespace
