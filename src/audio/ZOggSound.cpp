#include "audio/ZOggSound.h"

#include <cstring>

#include "audio/ZAudioMgr.h"
#include "audio/ZOggStreamVoice.h"
#include "foundation/ZAppInfo.h"
#include "foundation/ZLog.h"
#include "platform/os/files.h"

bool ZOggSound::OpenOggStream(OggVorbis_File* vf, ZOggSource* source, const char* name) {
    const int result = ov_open_callbacks(source, vf, nullptr, 0, ZOggSource::kCallbacks);
    if (result != 0) {
        ZLog::Printf("Sound \"%s\": not an Ogg Vorbis stream (error %d)", name, result);
        return false;
    }
    const vorbis_info* info = ov_info(vf, -1);
    if (info == nullptr || info->channels < 1 || info->channels > 2 || info->rate < 100 || info->rate > 200000) {
        ZLog::Printf("Sound \"%s\": unsupported Ogg Vorbis layout (%d channels, %ld Hz)", name,
                     info != nullptr ? info->channels : 0, info != nullptr ? info->rate : 0L);
        ov_clear(vf);
        return false;
    }
    const ZAppInfo* app = ZAppInfo::GetInstance();
    if (app != nullptr && app->IsLogging()) {
        const vorbis_comment* comment = ov_comment(vf, -1);
        if (comment != nullptr) {
            for (int i = 0; i < comment->comments; ++i) {
                ZLog::Printf("%s\n", comment->user_comments[i]);
            }
        }
        ZLog::Printf("\nBitstream is %d channel, %ldHz\n", info->channels, info->rate);
        ZLog::Printf("\nDecoded length: %ld samples\n", static_cast<long>(ov_pcm_total(vf, -1)));
        ZLog::Printf("Encoded by: %s\n\n", comment != nullptr && comment->vendor != nullptr ? comment->vendor : "");
    }
    return true;
}

bool ZOggSound::FillFromOgg(uint8_t* d, uint32_t n, OggVorbis_File* vf, const bool stopAtEnd, const char* name,
                            uint32_t* outData) {
    const uint32_t total = n;
    const auto ended = [&] {
        std::memset(d, 0, n);
        if (outData != nullptr) {
            *outData = total - n;
        }
        return true;
    };
    if (outData != nullptr) {
        *outData = total;
    }
    bool producedSinceStart = true;
    int holes = 0;
    while (n > 0) {
        int bitstream = 0;
        const int chunk = n < 4096 ? static_cast<int>(n) : 4096;
        const long r = ov_read(vf, reinterpret_cast<char*>(d), chunk, 0, 2, 1, &bitstream);
        if (r == 0) {
            // The end: loop from the start, unless asked to stop or a whole
            // pass yielded nothing.
            if (stopAtEnd || !producedSinceStart || ov_raw_seek(vf, 0) != 0) {
                return ended();
            }
            producedSinceStart = false;
            continue;
        }
        if (r == OV_HOLE && ++holes < 8) {
            continue;  // a gap in the data; decoding goes on after it
        }
        if (r < 0) {
            ZLog::Printf("Sound \"%s\": Ogg Vorbis decoding failed (error %ld); the sound stops there", name, r);
            return ended();
        }
        producedSinceStart = true;
        d += r;
        n -= static_cast<uint32_t>(r);
    }
    return false;
}

ZOggSound::~ZOggSound() { Close(); }

void ZOggSound::Close() {
    if (open) {
        ov_clear(&vf);
        open = false;
    }
    if (source.file != nullptr) {
        std::fclose(source.file);
        source.file = nullptr;
    }
}

bool ZOggSound::Load(const char* name) {
    if (!ZSoundData::Load(name)) {
        return false;
    }
    source.file = os::OpenFile(path.GetText(), "rb");
    if (source.file == nullptr) {
        ZLog::Printf("Sound \"%s\": %s does not open", fileName.GetText(), path.GetText());
        return false;
    }
    source.offset = dataOffset;
    source.size = dataSize;
    source.position = 0;
    open = OpenOggStream(&vf, &source, fileName.GetText());
    if (!open) {
        Close();
        return false;
    }
    info = ov_info(&vf, -1);
    format.channels = static_cast<uint16_t>(info->channels);
    format.bitsPerSample = 16;
    format.samplesPerSec = static_cast<uint32_t>(info->rate);
    format.blockAlign = static_cast<uint16_t>(format.channels * 2);
    return true;
}

void ZOggSound::WriteData(void* ptr1, const uint32_t bytes1, void*, uint32_t) {
    if (ptr1 != nullptr && open) {
        endWritten = FillFromOgg(static_cast<uint8_t*>(ptr1), bytes1, &vf, true, fileName.GetText());
    }
    // The voice decodes from a pass of its own.
    Close();
    info = nullptr;
}

ZVoice* ZOggSound::CreateVoice() {
    ZOggStreamVoice* voice = new ZOggStreamVoice(this);
    GetAudioMgr()->QueueVoiceForThread(voice);
    return voice;
}
