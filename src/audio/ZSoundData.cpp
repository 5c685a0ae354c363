#include "audio/ZSoundData.h"

#include "audio/ZAudioMgr.h"
#include "foundation/ZLog.h"
#include "foundation/ZStreamMgr.h"

ZSoundData::~ZSoundData() {
    if (buffer != nullptr) {
        buffer->Release();
        buffer = nullptr;
    }
}

bool ZSoundData::Load(const char* name) {
    if (name == nullptr) {
        return true;  // the built-in sounds have no file
    }
    fileName = name;
    const ZStreamMgr* streams = ZStreamMgr::GetInstance();
    const int32_t index = streams->FindSource(name, false);
    if (index < 0) {
        ZLog::Printf("Sound \"%s\": no stream source holds the file", name);
        return false;
    }
    int64_t size = -1;
    int64_t offset = -1;
    const char* packagePath = nullptr;
    streams->GetFileLocation(name, &size, &packagePath, &offset);
    if (size < 0 || offset < 0 || size > 0xFFFFFFFF || offset > 0xFFFFFFFF - size) {
        ZLog::Printf("Sound \"%s\": the file cannot be located", name);
        return false;
    }
    dataSize = static_cast<uint32_t>(size);
    dataOffset = static_cast<uint32_t>(offset);
    const ZStreamSource& source = streams->GetSource(static_cast<uint32_t>(index));
    path = packagePath != nullptr ? ZString(packagePath) : source.folderPath + name;
    return true;
}

void ZSoundData::InitBufferDesc(const bool isStreamed) {
    streamed = isStreamed;
    format.formatTag = platform::sound::WAVE_FORMAT_PCM;
    format.blockAlign = static_cast<uint16_t>(format.bitsPerSample * format.channels / 8);
    format.avgBytesPerSec = format.blockAlign * format.samplesPerSec;
    format.extraSize = 0;
    description.size = 36;
    description.flags = platform::sound::DSBCAPS_GETCURRENTPOSITION2 | platform::sound::DSBCAPS_CTRLPAN |
                        platform::sound::DSBCAPS_CTRLVOLUME;
    if (!GetAudioMgr()->muteWhenUnfocused) {
        description.flags |= platform::sound::DSBCAPS_GLOBALFOCUS;
    }
    description.bufferBytes = GetBufferBytes();
    description.reserved = 0;
    description.format = &format;
}

bool ZSoundData::Lock(void** outPtr1, uint32_t* outBytes1, void** outPtr2, uint32_t* outBytes2) {
    *outPtr1 = nullptr;
    *outBytes1 = 0;
    *outPtr2 = nullptr;
    *outBytes2 = 0;
    if (buffer == nullptr) {
        return false;
    }
    buffer->GetCaps(&bufferBytes, nullptr);
    return !platform::sound::Failed(
        buffer->Lock(0, 0, outPtr1, outBytes1, outPtr2, outBytes2, platform::sound::DSBLOCK_ENTIREBUFFER));
}

void ZSoundData::Unlock(void* ptr1, const uint32_t bytes1, void* ptr2, const uint32_t bytes2) {
    if (buffer != nullptr) {
        buffer->Unlock(ptr1, bytes1, ptr2, bytes2);
        buffer->SetCurrentPosition(0);
    }
}

uint32_t ZSoundData::GetBufferBytes() const { return streamed ? GetStreamBufferBytes() : GetTotalBytes(); }

uint32_t ZSoundData::GetStreamBufferBytes() const {
    const double bytes = static_cast<double>(format.avgBytesPerSec) * GetAudioMgr()->streamLength.load();
    if (!(bytes > 0.0)) {
        return 0;
    }
    // Whole frames, and at most a minute of sound whatever the settings say.
    const double cap = static_cast<double>(format.avgBytesPerSec) * 60.0;
    const auto trunc = static_cast<uint32_t>(bytes < cap ? bytes : cap);
    return format.blockAlign != 0 ? trunc - trunc % format.blockAlign : trunc;
}
