// sfxgen: makes the game's sound effects and music loop from code.
//   sfxgen all DIR           the game's set: WAV effects and the Ogg music loop
//   sfxgen tone OUT [opts]   one test tone (.wav or .ogg)

#include <vorbis/vorbisenc.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

namespace {

const char* const kUsage =
    "usage: sfxgen <command> [arguments]\n"
    "\n"
    "  sfxgen all DIR          write the game's sound effects (WAV, 8- and 16-bit)\n"
    "                          and its music loop (Ogg Vorbis) into DIR\n"
    "  sfxgen tone OUT [opts]  write a sine tone to OUT (.wav or .ogg):\n"
    "                          --hz F (441) --seconds S (1) --rate R (44100)\n"
    "                          --channels C (1) --bits B (16, WAV only)\n";

constexpr double kPi = 3.14159265358979323846;

// Frames of float samples in [-1, 1], interleaved by channel.
struct Sound {
    int channels = 1;
    int rate = 44100;
    std::vector<float> samples;
    size_t Frames() const { return samples.size() / static_cast<size_t>(channels); }
};

void PutU32(std::vector<uint8_t>& out, const uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        out.push_back(static_cast<uint8_t>(v >> (8 * i)));
    }
}

void PutU16(std::vector<uint8_t>& out, const uint16_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) {
        std::fprintf(stderr, "sfxgen: cannot write %s\n", path.c_str());
        return false;
    }
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

bool WriteWav(const std::string& path, const Sound& sound, const int bits) {
    std::vector<uint8_t> data;
    for (const float s : sound.samples) {
        const float c = s < -1.0f ? -1.0f : (s > 1.0f ? 1.0f : s);
        if (bits == 8) {
            data.push_back(static_cast<uint8_t>(std::lrint(c * 127.0f) + 128));
        } else {
            PutU16(data, static_cast<uint16_t>(static_cast<int16_t>(std::lrint(c * 32767.0f))));
        }
    }
    const uint16_t align = static_cast<uint16_t>(sound.channels * bits / 8);
    std::vector<uint8_t> out;
    out.insert(out.end(), {'R', 'I', 'F', 'F'});
    PutU32(out, static_cast<uint32_t>(36 + data.size()));
    out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    PutU32(out, 16);
    PutU16(out, 1);
    PutU16(out, static_cast<uint16_t>(sound.channels));
    PutU32(out, static_cast<uint32_t>(sound.rate));
    PutU32(out, static_cast<uint32_t>(sound.rate) * align);
    PutU16(out, align);
    PutU16(out, static_cast<uint16_t>(bits));
    out.insert(out.end(), {'d', 'a', 't', 'a'});
    PutU32(out, static_cast<uint32_t>(data.size()));
    out.insert(out.end(), data.begin(), data.end());
    return WriteFile(path, out);
}

bool WriteOgg(const std::string& path, const Sound& sound) {
    vorbis_info info;
    vorbis_info_init(&info);
    if (vorbis_encode_init_vbr(&info, sound.channels, sound.rate, 0.4f) != 0) {
        std::fprintf(stderr, "sfxgen: the encoder refuses %d channels at %d Hz\n", sound.channels, sound.rate);
        vorbis_info_clear(&info);
        return false;
    }
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_comment_add_tag(&comment, "TITLE", path.substr(path.find_last_of("/\\") + 1).c_str());
    vorbis_comment_add_tag(&comment, "ENCODER", "sfxgen");
    vorbis_dsp_state dsp;
    vorbis_block block;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    ogg_stream_init(&stream, 0x4B6F7276);  // a fixed serial keeps the output the same run to run

    std::vector<uint8_t> out;
    const auto flush = [&](ogg_page& page) {
        out.insert(out.end(), page.header, page.header + page.header_len);
        out.insert(out.end(), page.body, page.body + page.body_len);
    };
    ogg_packet header;
    ogg_packet headerComment;
    ogg_packet headerCode;
    vorbis_analysis_headerout(&dsp, &comment, &header, &headerComment, &headerCode);
    ogg_stream_packetin(&stream, &header);
    ogg_stream_packetin(&stream, &headerComment);
    ogg_stream_packetin(&stream, &headerCode);
    ogg_page page;
    while (ogg_stream_flush(&stream, &page) != 0) {
        flush(page);
    }
    const size_t frames = sound.Frames();
    size_t done = 0;
    bool ended = false;
    while (!ended) {
        const size_t chunk = frames - done < 4096 ? frames - done : 4096;
        if (chunk == 0) {
            vorbis_analysis_wrote(&dsp, 0);
        } else {
            float** buffer = vorbis_analysis_buffer(&dsp, static_cast<int>(chunk));
            for (size_t i = 0; i < chunk; ++i) {
                for (int c = 0; c < sound.channels; ++c) {
                    buffer[c][i] = sound.samples[(done + i) * sound.channels + c];
                }
            }
            vorbis_analysis_wrote(&dsp, static_cast<int>(chunk));
            done += chunk;
        }
        while (vorbis_analysis_blockout(&dsp, &block) == 1) {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&dsp, &packet) != 0) {
                ogg_stream_packetin(&stream, &packet);
                while (ogg_stream_pageout(&stream, &page) != 0) {
                    flush(page);
                    ended = ended || ogg_page_eos(&page) != 0;
                }
            }
        }
        if (chunk == 0) {
            while (ogg_stream_flush(&stream, &page) != 0) {
                flush(page);
            }
            ended = true;
        }
    }
    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    return WriteFile(path, out);
}

bool WriteSound(const std::string& path, const Sound& sound, const int bits) {
    if (path.size() >= 4 && path.compare(path.size() - 4, 4, ".ogg") == 0) {
        return WriteOgg(path, sound);
    }
    return WriteWav(path, sound, bits);
}

// A note: a waveform with a short attack and a release that ends at zero, so
// notes join without a click.
void AddNote(Sound& sound, const double start, const double length, const double hz, const float level,
             const int wave, const double slide = 0.0) {
    const auto first = static_cast<size_t>(start * sound.rate);
    const auto count = static_cast<size_t>(length * sound.rate);
    double phase = 0.0;
    for (size_t i = 0; i < count && first + i < sound.Frames(); ++i) {
        const double t = static_cast<double>(i) / sound.rate;
        const double attack = t < 0.005 ? t / 0.005 : 1.0;
        const double release = (length - t) < 0.02 ? (length - t) / 0.02 : 1.0;
        phase += (hz + slide * t / length) / sound.rate;
        phase -= std::floor(phase);
        double v = 0.0;
        switch (wave) {
            case 0:
                v = std::sin(2.0 * kPi * phase);
                break;
            case 1:
                v = phase < 0.5 ? 0.6 : -0.6;  // pulse
                break;
            default:
                v = 4.0 * std::fabs(phase - 0.5) - 1.0;  // triangle
                break;
        }
        const float s = static_cast<float>(v * attack * release) * level;
        for (int c = 0; c < sound.channels; ++c) {
            sound.samples[(first + i) * sound.channels + c] += s;
        }
    }
}

Sound Blank(const double seconds, const int channels, const int rate) {
    Sound sound;
    sound.channels = channels;
    sound.rate = rate;
    sound.samples.assign(static_cast<size_t>(seconds * rate) * channels, 0.0f);
    return sound;
}

double NoteHz(const int note) { return 440.0 * std::pow(2.0, (note - 69) / 12.0); }

// The music loop: eight bars of a bass line, an arpeggio and a lead over one
// 8-second cycle; every note ends at zero before the loop point.
Sound MusicLoop() {
    Sound sound = Blank(8.0, 2, 44100);
    const int bass[8] = {45, 45, 41, 41, 43, 43, 40, 44};
    const int chords[8][3] = {{57, 60, 64}, {57, 60, 64}, {53, 57, 60}, {53, 57, 60},
                              {55, 59, 62}, {55, 59, 62}, {52, 55, 59}, {56, 59, 64}};
    const int lead[16] = {69, 72, 76, 74, 72, 69, 65, 67, 71, 74, 72, 71, 64, 67, 68, 71};
    Sound right = sound;
    for (int bar = 0; bar < 8; ++bar) {
        for (int beat = 0; beat < 4; ++beat) {
            AddNote(sound, bar + beat * 0.25, 0.24, NoteHz(bass[bar] - 12), 0.22f, 2);
            for (int k = 0; k < 4; ++k) {
                const double t = bar + beat * 0.25 + k * 0.0625;
                AddNote(right, t, 0.06, NoteHz(chords[bar][k % 3]), 0.06f, 1);
            }
        }
        AddNote(sound, bar, 0.48, NoteHz(lead[bar * 2]), 0.12f, 0);
        AddNote(sound, bar + 0.5, 0.48, NoteHz(lead[bar * 2 + 1]), 0.12f, 0);
    }
    // The arpeggio leans right, the rest sits in the middle.
    for (size_t i = 0; i < sound.Frames(); ++i) {
        sound.samples[i * 2] += right.samples[i * 2] * 0.6f;
        sound.samples[i * 2 + 1] += right.samples[i * 2 + 1];
    }
    return sound;
}

bool WriteAll(const std::string& dir) {
    const std::string base = dir + "/";
    bool ok = true;
    {
        Sound boop = Blank(0.09, 1, 22050);  // the menu's "Boop"
        AddNote(boop, 0.0, 0.09, 660.0, 0.5f, 1, -220.0);
        ok = WriteSound(base + "menu.wav", boop, 16) && ok;
    }
    {
        Sound sting = Blank(0.9, 1, 22050);  // the splash stinger, 8-bit
        const int notes[4] = {60, 64, 67, 72};
        for (int i = 0; i < 4; ++i) {
            AddNote(sting, i * 0.12, i == 3 ? 0.5 : 0.12, NoteHz(notes[i]), 0.4f, 1);
        }
        ok = WriteSound(base + "qmw.wav", sting, 8) && ok;
    }
    {
        Sound jump = Blank(0.2, 1, 44100);
        AddNote(jump, 0.0, 0.2, 300.0, 0.45f, 1, 500.0);
        ok = WriteSound(base + "jump.wav", jump, 16) && ok;
    }
    {
        Sound coin = Blank(0.3, 1, 22050);
        AddNote(coin, 0.0, 0.07, NoteHz(83), 0.4f, 1);
        AddNote(coin, 0.07, 0.23, NoteHz(88), 0.4f, 1);
        ok = WriteSound(base + "coin.wav", coin, 8) && ok;
    }
    {
        Sound hit = Blank(0.25, 1, 44100);
        std::srand(7);
        for (size_t i = 0; i < hit.Frames(); ++i) {
            const double fade = 1.0 - static_cast<double>(i) / hit.Frames();
            hit.samples[i] = static_cast<float>((std::rand() / (RAND_MAX / 2.0) - 1.0) * 0.4 * fade * fade);
        }
        ok = WriteSound(base + "hit.wav", hit, 16) && ok;
    }
    ok = WriteSound(base + "theme.ogg", MusicLoop(), 16) && ok;
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        std::fputs(kUsage, argc < 2 ? stderr : stdout);
        return argc < 2 ? 2 : 0;
    }
    const std::string command = argv[1];
    if (command == "all" && argc == 3) {
        return WriteAll(argv[2]) ? 0 : 1;
    }
    if (command == "tone" && argc >= 3) {
        double hz = 441.0;
        double seconds = 1.0;
        int rate = 44100;
        int channels = 1;
        int bits = 16;
        for (int i = 3; i + 1 < argc; i += 2) {
            const std::string option = argv[i];
            const char* value = argv[i + 1];
            if (option == "--hz") {
                hz = std::atof(value);
            } else if (option == "--seconds") {
                seconds = std::atof(value);
            } else if (option == "--rate") {
                rate = std::atoi(value);
            } else if (option == "--channels") {
                channels = std::atoi(value);
            } else if (option == "--bits") {
                bits = std::atoi(value);
            } else {
                std::fprintf(stderr, "sfxgen: unknown option %s\n%s", option.c_str(), kUsage);
                return 2;
            }
        }
        if (!(seconds > 0.0 && seconds <= 600.0) || rate < 1000 || rate > 192000 || channels < 1 || channels > 2 ||
            (bits != 8 && bits != 16)) {
            std::fprintf(stderr, "sfxgen: tone options out of range\n");
            return 2;
        }
        Sound sound = Blank(seconds, channels, rate);
        for (size_t i = 0; i < sound.Frames(); ++i) {
            const float s = static_cast<float>(0.5 * std::sin(2.0 * kPi * hz * static_cast<double>(i) / rate));
            for (int c = 0; c < channels; ++c) {
                sound.samples[i * channels + c] = s;
            }
        }
        return WriteSound(argv[2], sound, bits) ? 0 : 1;
    }
    std::fputs(kUsage, stderr);
    return 2;
}
