// The SDL backend on the dummy driver (the test environment's): the device
// opens, the mixer is pulled in real time and a one-shot buffer plays out.

#include <gtest/gtest.h>

#include <cstring>

#include "platform/os/threads.h"
#include "platform/sound/sound.h"

namespace ps = platform::sound;

TEST(SdlSoundSystem, OpensAndPlaysABufferOut) {
    std::unique_ptr<ps::SoundSystem> system = ps::CreateSoundSystem(ps::Backend::Sdl);
    ASSERT_EQ(system->Open(), ps::DS_OK) << system->GetOpenNote();
    EXPECT_FALSE(system->GetOpenNote().empty());
    EXPECT_GT(system->GetDeviceRate(), 0u);
    ps::WaveFormat f;
    f.channels = 1;
    f.bitsPerSample = 16;
    f.samplesPerSec = 44100;
    f.blockAlign = 2;
    f.avgBytesPerSec = 88200;
    ps::BufferDesc desc;
    desc.flags = ps::DSBCAPS_GLOBALFOCUS;
    desc.bufferBytes = 4410;  // 50 ms
    desc.format = &f;
    ps::SoundBuffer* buffer = nullptr;
    ASSERT_EQ(system->CreateSoundBuffer(desc, &buffer), ps::DS_OK);
    buffer->Play(0);
    uint32_t status = ps::DSBSTATUS_PLAYING;
    for (int i = 0; i < 400 && (status & ps::DSBSTATUS_PLAYING) != 0; ++i) {
        os::SleepMs(10);
        buffer->GetStatus(&status);
    }
    EXPECT_EQ(status & ps::DSBSTATUS_PLAYING, 0u) << "the device pulled the whole buffer";
    system->Close();
    EXPECT_EQ(buffer->Play(0), ps::DS_OK) << "a buffer outlives the device";
    buffer->Release();
    ps::BufferDesc again = desc;
    EXPECT_EQ(system->CreateSoundBuffer(again, &buffer), ps::DSERR_UNINITIALIZED);
}
