#pragma once

// The audio manager on the fake sound device, with a fake window system (its
// message boxes), a temporary folder mounted as the only stream source and a
// clock the test sets. No music thread runs unless a test starts one: passes
// are run by hand, so every refill happens where the test says.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "audio/ZAudioMgr.h"
#include "audio/ZVoice.h"
#include "foundation/ZLog.h"
#include "foundation/ZStreamMgr.h"
#include "platform/os/files.h"
#include "platform/sound/fake/FakeSoundSystem.h"
#include "platform/window/fake/FakeWindowSystem.h"
#include "support/EngineTestEnv.h"
#include "support/TempDir.h"

namespace atest {

// Little-endian bytes of a WAV file, built piece by piece so tests can break it.
struct WavBytes {
    std::string bytes;

    WavBytes& Id(const char* id) {
        bytes.append(id, 4);
        return *this;
    }
    WavBytes& U32(const uint32_t v) {
        for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<char>(v >> (8 * i)));
        return *this;
    }
    WavBytes& U16(const uint16_t v) {
        bytes.push_back(static_cast<char>(v));
        bytes.push_back(static_cast<char>(v >> 8));
        return *this;
    }
    WavBytes& Raw(const std::string& raw) {
        bytes += raw;
        return *this;
    }
    WavBytes& Fmt(const uint16_t channels, const uint16_t bits, const uint32_t rate, const uint32_t size = 16) {
        const uint16_t align = static_cast<uint16_t>(channels * bits / 8);
        Id("fmt ").U32(size).U16(1).U16(channels).U32(rate).U32(rate * align).U16(align).U16(bits);
        bytes.append(size - 16, '\0');
        return *this;
    }
    WavBytes& Data(const std::string& samples) {
        Id("data").U32(static_cast<uint32_t>(samples.size()));
        bytes += samples;
        return *this;
    }
    static WavBytes Riff() {
        WavBytes w;
        w.Id("RIFF").U32(0).Id("WAVE");
        return w;
    }
};

// count 16-bit samples of one value.
inline std::string Samples16(const size_t count, const int16_t value) {
    std::string s;
    for (size_t i = 0; i < count; ++i) {
        s.push_back(static_cast<char>(value & 0xFF));
        s.push_back(static_cast<char>((value >> 8) & 0xFF));
    }
    return s;
}

// A 16-bit mono WAV at 44100 Hz of count samples of one value.
inline std::string MonoWav(const size_t count, const int16_t value) {
    return WavBytes::Riff().Fmt(1, 16, 44100).Data(Samples16(count, value)).bytes;
}

class AudioTest : public ::testing::Test {
protected:
    void SetUp() override {
        ZStreamMgr::DestroyInstance();
        DestroyAudioMgr();
        auto windows = std::make_unique<platform::window::FakeWindowSystem>();
        window = windows.get();
        platform::window::SetWindowSystem(std::move(windows));
        auto sounds = std::make_unique<platform::sound::FakeSoundSystem>();
        device = sounds.get();
        device->SetLatencyFrames(441);
        platform::sound::SetSoundSystem(std::move(sounds));
        ZStreamMgr::GetInstance()->AddDirectorySource(dir.Path().string().c_str());
        audio = GetAudioMgr();
        audio->streamLength = 0.5f;
        audio->streamUpdatePercent = 0.25f;
        audio->SetTimeSource([this] { return now; });
    }

    void TearDown() override {
        DestroyAudioMgr();
        EXPECT_EQ(device->GetBufferCount(), 0u) << "every buffer was released";
        platform::sound::SetSoundSystem(nullptr);
        ZStreamMgr::DestroyInstance();
        platform::window::SetWindowSystem(nullptr);
    }

    void Start() { ASSERT_TRUE(audio->InitDevice()); }

    // Mixes frames in steps of step frames with a thread pass after each.
    void Play(const uint32_t frames, const uint32_t step = 2205) {
        for (uint32_t done = 0; done < frames; done += step) {
            device->Advance(frames - done < step ? frames - done : step);
            audio->RunMusicThreadPass();
        }
    }

    int16_t Out(const size_t frame, const int channel = 0) const { return device->GetMixed()[frame * 2 + channel]; }
    size_t MixedFrames() const { return device->GetMixed().size() / 2; }

    std::string LogText() const {
        std::ifstream in(os::TranslatePath(GetLog()->GetFilePath()), std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }
    bool LogHas(const std::string& text) const { return LogText().find(text) != std::string::npos; }

    // Runs the sound tool (built beside the tests) to make a file in the folder.
    std::string Tool(const std::string& arguments) const {
        const std::string command = std::string(KORV_TOOLS_DIR) + "/sfxgen " + arguments;
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
        return command;
    }

    korvtest::TempDir dir;
    korvtest::TempDir documents;
    korvtest::TestAppInfo appInfo{"Audio Test", true};
    korvtest::EngineTestEnv env{documents.Path(), &appInfo};
    platform::window::FakeWindowSystem* window = nullptr;
    platform::sound::FakeSoundSystem* device = nullptr;
    ZAudioMgr* audio = nullptr;
    double now = 10.0;
};

}  // namespace atest
