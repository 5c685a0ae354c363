#include "audio/ZMultiSynthVoice.h"

#include <cmath>
#include <mutex>

#include "audio/ZAudioMgr.h"
#include "audio/ZSoundData.h"
#include "foundation/ZLog.h"

namespace {

constexpr double kGoldenRatio = 1.6180340051651;

}  // namespace

ZMultiSynthVoice::ZMultiSynthVoice() {
    const double r = std::pow(2.0, 0.08333333333333333);
    for (int n = 0; n < 144; ++n) {
        pitch[n] = static_cast<float>(440.0 * std::pow(r, n - 69) / 44100.0);
    }
    for (int i = 0; i < 47; ++i) {
        const int note = i + 35;
        if (note == 35 || note == 36) {
            noiseRate[i] = 1760.0f;
            noiseGain[i] = 0.5f;
        } else if (note == 38 || note == 40) {
            noiseRate[i] = 10560.0f;
            noiseGain[i] = 0.8f;
        } else {
            noiseRate[i] = 28160.0f;
            noiseGain[i] = 1.0f;
        }
    }
    ReadSettings();
    StopAllTunes();
}

ZMultiSynthVoice::~ZMultiSynthVoice() {
    ClearReverb();
}

void ZMultiSynthVoice::ReadSettings() {
    const ZAudioMgr* audio = GetAudioMgr();
    m_classVolume[1] = audio->musicVolume.load();
    m_classVolume[2] = audio->soundVolume.load();
    m_exclusiveChannels = audio->multiSynthExclusiveChannels.load();
}

void ZMultiSynthVoice::SortPlayers() {
    // Insertion sort: few players, and equal priorities keep their order.
    for (uint32_t i = 1; i < m_players.Count(); ++i) {
        for (uint32_t j = i; j > 0 && m_players[j - 1].priority > m_players[j].priority; --j) {
            ZMultiSynthPlayer moved = std::move(m_players[j]);
            m_players[j] = std::move(m_players[j - 1]);
            m_players[j - 1] = std::move(moved);
        }
    }
}

void ZMultiSynthVoice::PlayTune(const ZMultiSynthTune& tune, const ZHashedString name,
                                const uint32_t volumeClass, const bool exclusive) {
    const std::lock_guard<os::Mutex> lock(VoiceMutex());
    if (name != ZHashedString("none") && IsTunePlaying(name)) {
        return;
    }
    ZMultiSynthPlayer player;
    player.events = tune.events;
    player.priority = tune.priority;
    player.channelMask = tune.channelMask;
    for (int c = 0; c < 4; ++c) {
        player.channelVolume[c] = tune.channelVolume[c];
        player.duty[c] = tune.duty[c];
    }
    player.loopIndex = tune.loopIndex;
    player.name = name;
    player.volumeClass = volumeClass;
    player.exclusive = exclusive;
    m_players.PushBack(std::move(player));
    SortPlayers();
}

void ZMultiSynthVoice::StopTune(const ZHashedString name) {
    const std::lock_guard<os::Mutex> lock(VoiceMutex());
    for (uint32_t i = m_players.Count(); i > 0; --i) {
        if (m_players[i - 1].name == name) {
            m_players.RemoveAt(i - 1);
        }
    }
}

void ZMultiSynthVoice::StopAllTunes() {
    const std::lock_guard<os::Mutex> lock(VoiceMutex());
    m_players.Clear();
    PlayTune(ZMultiSynthTune(), ZHashedString("none"), 0, false);
}

bool ZMultiSynthVoice::IsTunePlaying(const ZHashedString name) {
    const std::lock_guard<os::Mutex> lock(VoiceMutex());
    for (const ZMultiSynthPlayer& player : m_players) {
        if (player.name == name) {
            return true;
        }
    }
    return false;
}

void ZMultiSynthVoice::GetPlayingTunes(ZArray<ZMultiSynthPlayer>& out) {
    const std::lock_guard<os::Mutex> lock(VoiceMutex());
    out.Clear();
    for (const ZMultiSynthPlayer& player : m_players) {
        out.PushBack(player);
    }
}

void ZMultiSynthVoice::ClearReverb() {
    for (ZReverbLine* line : m_lines) {
        delete line;
    }
    m_lines.Clear();
}

void ZMultiSynthVoice::ApplyReverb(const uint32_t word) {
    if ((word >> 30) != 0) {
        ZLog::Printf("MultiSynth: reverb word 0x%08X has its top bits set and is ignored", word);
        return;
    }
    const std::lock_guard<os::Mutex> lock(VoiceMutex());
    ClearReverb();
    double longest = static_cast<double>((word >> 20) & 0x3FF);
    const double shortest = static_cast<double>((word >> 12) & 0xFF);
    const float feedback = static_cast<float>((word >> 8) & 0xF) / 15.0f;
    const float gain = static_cast<float>((word >> 4) & 0xF) / 15.0f;
    const float damping = static_cast<float>(word & 0xF);
    if (!(longest > 0.0 && shortest <= longest && gain > 0.0f)) {
        return;
    }
    // A shortest delay of 0 would let the delays shrink for ever: lines end
    // where they would hold less than one sample, and their number is capped.
    do {
        if (ZReverbLine::LengthForDelay(longest) < 1 || m_lines.Count() >= kMaxReverbLines) {
            break;
        }
        m_lines.PushBack(new ZReverbLine(longest, feedback, gain, damping));
        longest = longest / kGoldenRatio;
    } while (shortest <= longest);
}

float ZMultiSynthVoice::PassReverb(float x, const bool lookAhead) {
    for (ZReverbLine* line : m_lines) {
        x = line->Pass(x, lookAhead);
    }
    return x;
}

void ZMultiSynthVoice::StepPlayer(ZMultiSynthPlayer& player, ZSynthFrame& frame, const uint8_t muteMask) {
    const uint32_t count = player.events.Count();
    while (player.nextEvent >= 0 && static_cast<uint32_t>(player.nextEvent) < count &&
           player.events[static_cast<uint32_t>(player.nextEvent)].time <= player.time) {
        const ZSynthEvent& e = player.events[static_cast<uint32_t>(player.nextEvent)];
        const bool alt = (((e.channel + 0x80u) & 0xFFu) & 0x40u) != 0;
        const uint32_t c = ZMultiSynthTune::ChannelOf(e.channel);
        // An event may name no channel (an end or a loop alone): its note and
        // bend go nowhere, its control byte still counts.
        if (c < 4) {
            if ((e.bend & 0x80) != 0) {
                player.bend[c] = (static_cast<float>(e.bend & 0x7F) - 64.0f) * 0.03125f;
                player.bendFactor[c] = std::pow(1.0594631f, player.bend[c]);
            }
            if ((e.note & 0x80) != 0 && (e.velocity & 0x80) != 0) {
                const uint32_t n = e.note & 0x7Fu;
                const float v = static_cast<float>(e.velocity & 0x7F);
                if (c == 3 && !alt) {
                    if (n >= 35 && n <= 81) {
                        player.increment[3] = noiseRate[n - 35] / 44100.0f;
                        player.amplitude[3] = v * noiseGain[n - 35] / 127.0f;
                    } else {
                        player.increment[3] = 0.0f;
                        player.amplitude[3] = 0.0f;
                    }
                    player.amplitude[3] =
                        static_cast<float>(player.channelVolume[3]) / 15.0f * player.amplitude[3];
                } else if (c == 3) {
                    player.increment[3] = pitch[n];
                    player.amplitude[3] = v / 127.0f;
                    player.amplitude[3] =
                        player.amplitude[3] * static_cast<float>(player.channelVolume[3]) / 15.0f;
                } else if (c == 2) {
                    player.increment[2] = pitch[n];
                    player.amplitude[2] = v / 127.0f;
                } else {
                    player.increment[c] = pitch[n];
                    player.amplitude[c] = v / 127.0f * static_cast<float>(player.channelVolume[c]) / 15.0f;
                }
            }
        }
        if ((e.control & 0x80) != 0) {
            if (e.control != 0x80) {
                // A loop index outside the list restarts the tune at time 0.
                if (player.loopIndex >= 0 && static_cast<uint32_t>(player.loopIndex) < count) {
                    player.nextEvent = player.loopIndex;
                    player.time = player.events[static_cast<uint32_t>(player.loopIndex)].time;
                } else {
                    player.nextEvent = 0;
                    player.time = 0.0f;
                }
                break;
            }
            player.ended = true;
        }
        ++player.nextEvent;
    }
    player.time += kSampleTime;

    const float classVolume = player.volumeClass < 3 ? m_classVolume[player.volumeClass] : 1.0f;
    const uint8_t owner = static_cast<uint8_t>(player.priority & 0xFF);
    for (uint32_t c = 0; c < 4; ++c) {
        if ((frame.owner[c] != 0xFF && frame.owner[c] >= player.priority) ||
            ((player.channelMask >> c) & 1) == 0 || ((muteMask >> c) & 1) != 0) {
            continue;
        }
        float& phase = player.phase[c];
        phase += player.increment[c] * player.bendFactor[c];
        while (phase >= 1.0f) {
            phase -= 1.0f;
            if (c == 3) {
                noiseRegister = static_cast<uint16_t>((noiseRegister >> 1) |
                                                      (((noiseRegister ^ (noiseRegister >> 1)) & 1) << 14));
            }
        }
        const float p = phase - std::floor(phase);
        float w = 0.0f;
        if (c == 2) {
            float t = std::fabs(p - 0.5f) * 2.0f * 16.0f;
            if (t > 15.999f) {
                t = 15.999f;
            }
            w = std::trunc(t) * 0.0625f - 0.46875f;
        } else if (c == 3) {
            w = (noiseRegister & 0x4000) != 0 ? 0.2f : -0.2f;
        } else {
            static constexpr float kThreshold[4] = {0.125f, 0.25f, 0.5f, 0.75f};
            const int32_t d = player.duty[c];
            const float threshold = d >= 0 && d < 4 ? kThreshold[d] : 0.5f;
            w = p < threshold ? -0.15f : 0.15f;
        }
        const float s = player.amplitude[c] * w * 0.8f * classVolume;
        if (m_exclusiveChannels) {
            frame.channel[c] = s;
            frame.owner[c] = owner;
        } else {
            frame.channel[c] += s;
        }
    }
}

bool ZMultiSynthVoice::PrepareFrames(const uint32_t bufferBytes) {
    const uint32_t frames = bufferBytes / 2;
    if (frames == 0) {
        return false;
    }
    if (m_frames.size() != frames) {
        m_frames.assign(frames, ZSynthFrame{});
        m_scratch.assign(frames, 0);
        m_frameReadIndex = 0;
    }
    return true;
}

void ZMultiSynthVoice::RenderTunes(const uint32_t writeStart, const uint32_t length,
                                   const uint32_t playCursor) {
    const uint32_t frames = static_cast<uint32_t>(m_frames.size());
    if (frames == 0) {
        return;
    }
    const uint32_t bytes = frames * 2;
    ReadSettings();
    const ZAudioMgr* audio = GetAudioMgr();
    const double halfRate = (sound != nullptr ? sound->format.avgBytesPerSec : 88200u) / 2;
    auto delay = static_cast<uint32_t>(halfRate * static_cast<double>(audio->GetStreamWriteDelay()));
    delay &= ~1u;
    const uint32_t endFrame = ((writeStart + length) % bytes) / 2;
    const uint32_t playFrame = (playCursor % bytes) / 2;

    // Exclusive tunes (or every tune, with exclusive channels) silence their
    // channels in each tune below them: the masks come from the top down.
    m_mutes.SetFixed(true);  // the music thread allocates only when players grow
    m_mutes.Resize(m_players.Count());
    uint8_t mute = 0;
    for (uint32_t i = m_players.Count(); i > 0; --i) {
        const ZMultiSynthPlayer& player = m_players[i - 1];
        m_mutes[i - 1] = mute;
        if (player.exclusive || m_exclusiveChannels) {
            mute = static_cast<uint8_t>(mute | player.channelMask);
        }
    }
    // Then the tunes render from the lowest priority up: they share the one
    // noise register, so the order they clock it in is part of the sound.
    for (uint32_t i = 0; i < m_players.Count(); ++i) {
        ZMultiSynthPlayer& player = m_players[i];
        const uint8_t playerMute = m_mutes[i];
        if (player.position < 0) {
            player.position = static_cast<int32_t>((delay % bytes + writeStart) % bytes);
        }
        uint32_t f = (static_cast<uint32_t>(player.position) % bytes) / 2;
        for (uint32_t n = 0; n < frames && f != playFrame && f != endFrame; ++n) {
            StepPlayer(player, m_frames[f], playerMute);
            f = f + 1 < frames ? f + 1 : 0;
        }
        player.position = static_cast<int32_t>(f * 2);
    }
}

void ZMultiSynthVoice::ThreadUpdate() {
    ProcessCommands();
    const std::lock_guard<os::Mutex> lock(VoiceMutex());
    if (IsStopped()) {
        return;
    }
    const uint32_t size = BufferSize();
    uint32_t play = 0;
    uint32_t write = 0;
    if (!PrepareFrames(size) || !ReadCursors(size, play, write)) {
        return;
    }
    const uint32_t frames = size / 2;
    const uint32_t length = DueLength(size, play, write);
    if (length == 0) {
        return;
    }
    for (uint32_t i = m_players.Count(); i > 0; --i) {
        if (m_players[i - 1].ended) {
            m_players.RemoveAt(i - 1);
        }
    }

    // What has played goes into the reverb's history, and its frames are freed.
    const uint32_t writeFrame = write / 2;
    for (uint32_t n = 0; n < frames && m_frameReadIndex != writeFrame; ++n) {
        ZSynthFrame& frame = m_frames[m_frameReadIndex];
        const float x = 0.0f + frame.channel[0] + frame.channel[1] + frame.channel[2] + frame.channel[3];
        PassReverb(x, false);
        frame = ZSynthFrame{};
        m_frameReadIndex = m_frameReadIndex + 1 < frames ? m_frameReadIndex + 1 : 0;
    }
    for (ZReverbLine* line : m_lines) {
        line->CopyHistory();
    }

    RenderTunes(write, length, play);

    for (uint32_t n = 0; n < length / 2; ++n) {
        const uint32_t k = (writeFrame + n) % frames;
        const ZSynthFrame& frame = m_frames[k];
        const float x = 0.0f + frame.channel[0] + frame.channel[1] + frame.channel[2] + frame.channel[3];
        m_scratch[k] = ToSample(PassReverb(x, true));
    }
    m_frameReadIndex = writeFrame;
    WriteSamples(m_scratch, size, write, length, play);
}
