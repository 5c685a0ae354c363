#include "audio/ZPCSpeakerVoice.h"

#include <cmath>
#include <mutex>

#include "audio/ZAudioMgr.h"
#include "audio/ZSoundData.h"
#include "foundation/ZLog.h"
#include "foundation/ZString.h"

namespace {

constexpr float kTwoPi = 6.2831855f;
constexpr int32_t kNumberCap = 1000000;  // longer digit runs keep the cap

bool IsDigit(const char c) {
    return c >= '0' && c <= '9';
}

// Reads the number at *p (there must be a digit) and moves past it.
int32_t ReadNumber(const char*& p) {
    int32_t value = 0;
    while (IsDigit(*p)) {
        const int64_t next = static_cast<int64_t>(value) * 10 + (*p - '0');
        value = next < kNumberCap ? static_cast<int32_t>(next) : kNumberCap;
        ++p;
    }
    return value;
}

}  // namespace

ZPCSpeakerVoice::ZPCSpeakerVoice() {
    const double r = std::pow(2.0, 1.0 / 12.0);
    for (int n = 0; n < 108; ++n) {
        pitch[n] = static_cast<float>(440.0 * std::pow(r, n - 57) / 44100.0);
    }
    StopAllNotes();
}

ZArray<ZPCSpeakerNote> ZPCSpeakerVoice::ParsePlayString(const char* text) {
    ZArray<ZPCSpeakerNote> notes;
    if (text == nullptr) {
        return notes;
    }
    int32_t length = 4;
    int32_t octave = 4;
    int32_t offset = 0;
    int32_t percent = 100;
    int32_t tempo = 120;
    static constexpr int32_t kSemitone[7] = {9, 11, 0, 2, 4, 5, 7};  // A to G
    const char* p = text;
    while (*p != '\0') {
        const char c = *p;
        if (IsSpaceChar(c)) {
            ++p;
        } else if (IsDigit(c)) {
            const int32_t n = ReadNumber(p);
            length = n > 0 ? n : length;
        } else if (c == '<' || c == '>') {
            offset += c == '<' ? -1 : 1;
            ++p;
        } else if (c == 'O' || c == 'P' || c == 'T') {
            ++p;
            if (IsDigit(*p)) {
                const int32_t n = ReadNumber(p);
                if (c == 'O') {
                    octave = n;
                } else if (c == 'P') {
                    percent = n;
                } else if (n > 0) {
                    tempo = n;
                }
            }
        } else if ((c >= 'A' && c <= 'G') || c == 'R') {
            ++p;
            const float duration = (240.0f / static_cast<float>(tempo)) / static_cast<float>(length);
            ZPCSpeakerNote note;
            note.duration = duration;
            float sounding = static_cast<float>(percent) / 100.0f;
            note.sounding = sounding < 0.0f ? 0.0f : (sounding > 1.0f ? 1.0f : sounding);
            if (c == 'R') {
                note.note = -1;
            } else {
                int32_t semitone = kSemitone[c - 'A'];
                if (*p == '#' || *p == 'b') {
                    semitone += *p == '#' ? 1 : -1;
                    ++p;
                }
                if (IsDigit(*p)) {
                    octave = ReadNumber(p);
                }
                if (*p == '.') {
                    note.duration = duration * 1.5f;
                    ++p;
                }
                const int64_t number =
                    static_cast<int64_t>(semitone) + (static_cast<int64_t>(octave) + offset) * 12;
                note.note = static_cast<int32_t>(number < 0 ? 0 : (number > 107 ? 107 : number));
            }
            notes.PushBack(note);
        } else {
            ++p;
        }
    }
    return notes;
}

void ZPCSpeakerVoice::PlayNotes(const ZArray<ZPCSpeakerNote>& notes, const bool loop,
                                const int32_t priority) {
    if (notes.Count() == 0) {
        ZLog::Printf("PCSpeaker: a note list with no notes has nothing to play and is left out");
        return;
    }
    const std::lock_guard<os::Mutex> lock(VoiceMutex());
    ZPCSpeakerPlayer player;
    player.notes = notes;
    player.loop = loop;
    player.priority = priority;
    // The furthest point a louder player has already rendered, counted from
    // the voice's position and kept inside the buffer.
    const auto bytes = static_cast<uint32_t>(m_scratch.size() * 2);
    if (bytes > 0) {
        const uint32_t from = position % bytes;
        int64_t furthest = -1;
        for (const ZPCSpeakerPlayer& other : m_players) {
            if (other.priority > priority && other.position >= 0) {
                const uint32_t d = RingDistance(from, static_cast<uint32_t>(other.position) % bytes, bytes);
                furthest = d > furthest ? d : furthest;
            }
        }
        if (furthest >= 0) {
            player.holdUntil = static_cast<int32_t>((from + static_cast<uint32_t>(furthest)) % bytes);
        }
    }
    m_players.PushBack(std::move(player));
    for (uint32_t i = m_players.Count() - 1; i > 0 && m_players[i - 1].priority > m_players[i].priority;
         --i) {
        ZPCSpeakerPlayer moved = std::move(m_players[i]);
        m_players[i] = std::move(m_players[i - 1]);
        m_players[i - 1] = std::move(moved);
    }
}

void ZPCSpeakerVoice::StopAllNotes() {
    const std::lock_guard<os::Mutex> lock(VoiceMutex());
    m_players.Clear();
    PlayNotes(ParsePlayString("1R"), true, 0);
}

void ZPCSpeakerVoice::PrepareScratch(const uint32_t bufferBytes) {
    if (m_scratch.size() != bufferBytes / 2) {
        m_scratch.assign(bufferBytes / 2, 0);
    }
}

void ZPCSpeakerVoice::RenderPlayer(ZPCSpeakerPlayer& player, const uint32_t writeStart, const uint32_t length,
                                   const uint32_t playCursor) {
    const auto frames = static_cast<uint32_t>(m_scratch.size());
    const uint32_t count = player.notes.Count();
    if (frames == 0 || player.ended) {
        return;
    }
    if (count == 0) {
        player.ended = true;
        return;
    }
    const uint32_t bytes = frames * 2;
    if (player.position < 0) {
        player.position = static_cast<int32_t>(writeStart % bytes);
        // A hold point between the play cursor and the start lies behind
        // the player: it would hold for a whole lap.
        if (player.holdUntil >= 0 &&
            RingDistance(playCursor % bytes, static_cast<uint32_t>(player.holdUntil) % bytes, bytes) <
                RingDistance(playCursor % bytes, writeStart % bytes, bytes)) {
            player.holdUntil = -1;
        }
    }
    const uint32_t endFrame = ((writeStart + length) % bytes) / 2;
    const uint32_t playFrame = (playCursor % bytes) / 2;
    uint32_t f = (static_cast<uint32_t>(player.position) % bytes) / 2;
    for (uint32_t n = 0; n < frames && f != playFrame && f != endFrame && !player.ended; ++n) {
        if (player.noteIndex < 0 || static_cast<uint32_t>(player.noteIndex) >= count) {
            player.noteIndex = 0;
        }
        const ZPCSpeakerNote& note = player.notes[static_cast<uint32_t>(player.noteIndex)];
        const bool rest = note.note < 0 || note.note > 107;
        int16_t sample = ToSample(std::sin(player.phase) > 0.0f ? 0.25f : -0.25f);
        if (rest || player.timeInNote >= note.sounding * note.duration) {
            sample = 0;
        }
        if (player.holdUntil >= 0 && f * 2 == static_cast<uint32_t>(player.holdUntil)) {
            player.holdUntil = -1;
        }
        if (player.holdUntil < 0) {
            m_scratch[f] = sample;
        }
        // A rest has no pitch: its phase stands still.
        if (!rest) {
            player.phase += pitch[note.note] * kTwoPi;
            while (player.phase > kTwoPi) {
                player.phase -= kTwoPi;
            }
        }
        player.timeInNote += 1.0f / 44100.0f;
        // At most one lap of the list per sample: notes of no length are
        // passed over (a list made only of them has nothing to play), and a
        // looping list shorter than a sample starts its lap again.
        uint32_t passed = 0;
        bool anyLength = false;
        while (!player.ended) {
            const ZPCSpeakerNote& current = player.notes[static_cast<uint32_t>(player.noteIndex)];
            if (current.duration > 0.0f) {
                anyLength = true;
                if (!(player.timeInNote > current.duration)) {
                    break;
                }
                player.timeInNote -= current.duration;
            }
            if (++passed > count) {
                if (anyLength) {
                    player.timeInNote = 0.0f;
                } else {
                    player.ended = true;
                }
                break;
            }
            if (static_cast<uint32_t>(++player.noteIndex) >= count) {
                if (player.loop) {
                    player.noteIndex = 0;
                } else {
                    player.noteIndex = static_cast<int32_t>(count) - 1;
                    player.ended = true;
                }
            }
        }
        f = f + 1 < frames ? f + 1 : 0;
    }
    player.position = static_cast<int32_t>(f * 2);
}

void ZPCSpeakerVoice::ThreadUpdate() {
    ProcessCommands();
    const std::lock_guard<os::Mutex> lock(VoiceMutex());
    if (IsStopped()) {
        return;
    }
    const uint32_t size = BufferSize();
    uint32_t play = 0;
    uint32_t write = 0;
    if (size == 0 || !ReadCursors(size, play, write)) {
        return;
    }
    PrepareScratch(size);
    const uint32_t length = DueLength(size, play, write);
    if (length == 0) {
        return;
    }
    for (uint32_t i = m_players.Count(); i > 0; --i) {
        if (m_players[i - 1].ended) {
            m_players.RemoveAt(i - 1);
        }
    }
    for (ZPCSpeakerPlayer& player : m_players) {
        RenderPlayer(player, write, length, play);
    }
    WriteSamples(m_scratch, size, write, length, play);
}
