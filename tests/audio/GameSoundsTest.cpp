// The game's own sounds as the build packs them into KorvanthHeavy.zpk: every
// one loads, and the music loop joins its end to its start without a gap or a
// click.

#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "audio/ZSoundData.h"
#include "audio/AudioFixture.h"
#include "foundation/ZPackageFile.h"

namespace {

using atest::AudioTest;

// The left channel of an Ogg entry inside a package, decoded on its own.
std::vector<int16_t> DecodeEntry(const std::string& package, const char* name, int* outChannels) {
    ZPackageFile file;
    std::vector<int16_t> left;
    if (!file.Open(package.c_str())) {
        ADD_FAILURE() << "cannot open " << package;
        return left;
    }
    char* bytes = nullptr;
    int64_t size = 0;
    if (!file.ReadEntry(name, &bytes, &size)) {
        ADD_FAILURE() << "no " << name;
        return left;
    }
    std::FILE* f = fmemopen(bytes, static_cast<size_t>(size), "rb");
    OggVorbis_File vf;
    if (f == nullptr || ov_open_callbacks(f, &vf, nullptr, 0, OV_CALLBACKS_DEFAULT) != 0) {
        ADD_FAILURE() << "cannot decode " << name;
        delete[] bytes;
        return left;
    }
    *outChannels = ov_info(&vf, -1)->channels;
    std::vector<char> buffer(4096);
    std::vector<int16_t> all;
    int bitstream = 0;
    long r = 0;
    while ((r = ov_read(&vf, buffer.data(), static_cast<int>(buffer.size()), 0, 2, 1, &bitstream)) > 0) {
        for (long i = 0; i + 1 < r; i += 2) {
            all.push_back(static_cast<int16_t>((buffer[i] & 0xFF) | (buffer[i + 1] << 8)));
        }
    }
    ov_clear(&vf);
    delete[] bytes;
    for (size_t i = 0; i < all.size(); i += static_cast<size_t>(*outChannels)) {
        left.push_back(all[i]);
    }
    return left;
}

TEST_F(AudioTest, TheGameSoundsLoadAndTheMusicLoopsCleanly) {
    const std::string package = std::string(KORV_DATA_BUILD_DIR) + "/KorvanthHeavy.zpk";
    ZStreamMgr::DestroyInstance();
    ZStreamMgr::GetInstance()->AddPackageSource(package.c_str());
    Start();
    struct Case {
        const char* file;
        uint16_t bits;
        bool streamed;
    };
    const Case cases[] = {
        {"menu.wav", 16, false}, {"qmw.wav", 8, false},  {"jump.wav", 16, false},
        {"coin.wav", 8, false},  {"hit.wav", 16, false}, {"theme.ogg", 16, true},
    };
    for (const Case& c : cases) {
        ZVoice* voice = audio->CreateSound(c.file, ZHashedString(c.file), ZHashedString::None(), c.streamed);
        ASSERT_NE(voice, nullptr) << c.file;
        EXPECT_EQ(voice->sound->format.bitsPerSample, c.bits) << c.file;
    }

    int channels = 0;
    const std::vector<int16_t> tune = DecodeEntry(package, "theme.ogg", &channels);
    ASSERT_GT(tune.size(), 44100u);
    int largestStep = 0;
    for (size_t i = 1; i < tune.size(); ++i) {
        largestStep = std::max(largestStep, std::abs(tune[i] - tune[i - 1]));
    }
    EXPECT_LE(std::abs(tune.front() - tune.back()), largestStep) << "the loop point is no sharper than the music";
    EXPECT_LE(std::abs(tune.front()), 64) << "the tune starts at rest";

    ZVoice* music = audio->FindSound(ZHashedString("theme.ogg"));
    music->Play(true);
    audio->RunMusicThreadPass();
    const size_t frames = tune.size() + 44100;
    Play(static_cast<uint32_t>(frames), 4410);
    for (size_t i = 0; i < frames; ++i) {
        ASSERT_EQ(Out(i), tune[i % tune.size()]) << "frame " << i << " (the loop point is " << tune.size() << ")";
    }
}

}  // namespace
