// zmstune: compiles tune sources (.zmt text) into MultiSynth tunes (.zms) and
// prints a .zms back as text. The source format is described in FORMAT.md
// beside this file.
//   zmstune build SOURCE.zmt OUT.zms
//   zmstune print FILE.zms

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "audio/ZMultiSynthTune.h"
#include "audio/ZMultiSynthVoice.h"
#include "audio/ZReverbLine.h"
#include "TuneCompiler.h"

namespace {

const char* const kUsage =
    "usage: zmstune <command> [arguments]\n"
    "\n"
    "  zmstune build SOURCE.zmt OUT.zms   compile a tune source into a tune file\n"
    "  zmstune print FILE.zms             print a tune file as a source that builds it again\n"
    "  zmstune render FILE.zms OUT.wav    play a tune into a WAV file to listen to\n"
    "\n"
    "zmstune <command> --help shows more about one command.\n";

const char* const kBuildHelp =
    "usage: zmstune build SOURCE.zmt OUT.zms\n"
    "\n"
    "Compiles the tune source (see tools/zmstune/FORMAT.md) into a version 1.1 tune\n"
    "file. Errors name the line and leave OUT.zms untouched; the exit status is 1.\n";

const char* const kPrintHelp =
    "usage: zmstune print FILE.zms\n"
    "\n"
    "Prints the header and every event of a tune file as source text (one raw\n"
    "\"event\" line each, times exact), which \"zmstune build\" turns back into\n"
    "the same bytes. A file that is broken is reported; the exit status is 1.\n";


bool ReadAll(const char* path, std::string* out) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    std::ostringstream s;
    s << in.rdbuf();
    *out = s.str();
    return true;
}

// Reads and parses a tune file (raw: every byte as written); a message on
// standard error where it cannot.
bool ReadTune(const char* path, const bool raw, ZMultiSynthTune* tune) {
    std::string bytes;
    if (!ReadAll(path, &bytes)) {
        std::fprintf(stderr, "zmstune: cannot read %s\n", path);
        return false;
    }
    ZString problem;
    if (!tune->Read(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), raw, &problem)) {
        std::fprintf(stderr, "zmstune: %s: %s\n", path, problem.GetText());
        return false;
    }
    return true;
}

int Build(const char* source, const char* output) {
    std::string text;
    if (!ReadAll(source, &text)) {
        std::fprintf(stderr, "zmstune: cannot read %s\n", source);
        return 1;
    }
    std::vector<uint8_t> bytes;
    if (!CompileTuneSource(text, source, &bytes)) {
        return 1;
    }
    // Written beside the output and renamed, so a failed write leaves no half file.
    const std::string temporary = std::string(output) + ".part";
    std::FILE* f = std::fopen(temporary.c_str(), "wb");
    if (f == nullptr || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size() ||
        std::fclose(f) != 0 || std::rename(temporary.c_str(), output) != 0) {
        std::fprintf(stderr, "zmstune: cannot write %s\n", output);
        std::remove(temporary.c_str());
        return 1;
    }
    return 0;
}

int Print(const char* path) {
    ZMultiSynthTune tune;
    if (!ReadTune(path, true, &tune)) {
        return 1;
    }
    const bool v11 = ZMultiSynthTune::HasV11Fields(tune.majorVersion, tune.minorVersion);
    std::printf("# %s: %u events\n", path, tune.events.Count());
    std::printf("version %d.%d\n", tune.majorVersion, tune.minorVersion);
    std::printf("word 0x%08X\n", tune.word);
    for (int c = 0; c < 4; ++c) {
        std::printf("channel %d volume %d duty %d%s\n", c, tune.channelVolume[c], tune.duty[c],
                    v11 ? (((tune.channelMask >> c) & 1) != 0 ? " on" : " off") : "");
    }
    if (v11) {
        std::printf("loopindex %d\n", tune.loopIndex);
    }
    std::printf("# event TIME CHANNEL NOTE VELOCITY BEND CONTROL [PAD PAD PAD]\n");
    for (const ZSynthEvent& e : tune.events) {
        std::printf("event %.9g 0x%02X 0x%02X 0x%02X 0x%02X 0x%02X", static_cast<double>(e.time), e.channel,
                    e.note, e.velocity, e.bend, e.control);
        if (e.pad[0] != 0 || e.pad[1] != 0 || e.pad[2] != 0) {
            std::printf(" 0x%02X 0x%02X 0x%02X", e.pad[0], e.pad[1], e.pad[2]);
        }
        std::printf("\n");
    }
    return 0;
}

const char* const kRenderHelp =
    "usage: zmstune render FILE.zms OUT.wav [--seconds S] [--reverb WORD]\n"
    "\n"
    "Plays the tune on the synthesizer as the game does, alone, and writes mono\n"
    "16-bit 44100 Hz sound: until the tune ends, or S seconds (default 30) of a\n"
    "looping tune. WORD is a reverb word as the game's settings pack it (for\n"
    "example 0x0C828F35 for 200 ms, 40 ms, 15, 3, 5).\n";

void PutLe(std::string& out, const uint32_t v, const int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<char>(v >> (8 * i)));
    }
}

int Render(const char* path, const char* output, const double seconds, const uint32_t reverb) {
    ZMultiSynthTune tune;
    if (!ReadTune(path, false, &tune)) {
        return 1;
    }
    ZMultiSynthVoice voice;
    voice.ApplyReverb(reverb);
    voice.StopAllTunes();
    voice.PlayTune(tune, ZHashedString("render"), 0, false);
    ZArray<ZMultiSynthPlayer> players;
    voice.GetPlayingTunes(players);
    std::vector<ZReverbLine*> lines;
    std::string samples;
    const auto limit = static_cast<uint64_t>(seconds * 44100.0);
    for (uint64_t i = 0; i < limit; ++i) {
        ZSynthFrame frame;
        bool ended = true;
        for (ZMultiSynthPlayer& player : players) {
            voice.StepPlayer(player, frame, 0);
            ended = ended && (player.ended || player.name == ZHashedString("none"));
        }
        float x = 0.0f + frame.channel[0] + frame.channel[1] + frame.channel[2] + frame.channel[3];
        for (uint32_t l = 0; l < voice.GetReverbLineCount(); ++l) {
            x = voice.GetReverbLine(l)->Pass(x, false);
        }
        PutLe(samples, static_cast<uint16_t>(ZMultiSynthVoice::ToSample(x)), 2);
        if (ended) {
            break;
        }
    }
    std::string wav = "RIFF";
    PutLe(wav, static_cast<uint32_t>(36 + samples.size()), 4);
    wav += "WAVEfmt ";
    PutLe(wav, 16, 4);
    PutLe(wav, 1, 2);
    PutLe(wav, 1, 2);
    PutLe(wav, 44100, 4);
    PutLe(wav, 88200, 4);
    PutLe(wav, 2, 2);
    PutLe(wav, 16, 2);
    wav += "data";
    PutLe(wav, static_cast<uint32_t>(samples.size()), 4);
    wav += samples;
    std::FILE* f = std::fopen(output, "wb");
    if (f == nullptr || std::fwrite(wav.data(), 1, wav.size(), f) != wav.size() || std::fclose(f) != 0) {
        std::fprintf(stderr, "zmstune: cannot write %s\n", output);
        return 1;
    }
    std::printf("%s: %.2f s\n", output, static_cast<double>(samples.size() / 2) / 44100.0);
    return 0;
}

bool WantsHelp(const int argc, char** argv) {
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            return true;
        }
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        std::fputs(kUsage, argc < 2 ? stderr : stdout);
        return argc < 2 ? 2 : 0;
    }
    const std::string command = argv[1];
    if (command == "build") {
        if (WantsHelp(argc, argv) || argc != 4) {
            std::fputs(kBuildHelp, WantsHelp(argc, argv) ? stdout : stderr);
            return WantsHelp(argc, argv) ? 0 : 2;
        }
        return Build(argv[2], argv[3]);
    }
    if (command == "print") {
        if (WantsHelp(argc, argv) || argc != 3) {
            std::fputs(kPrintHelp, WantsHelp(argc, argv) ? stdout : stderr);
            return WantsHelp(argc, argv) ? 0 : 2;
        }
        return Print(argv[2]);
    }
    if (command == "render") {
        if (WantsHelp(argc, argv) || argc < 4) {
            std::fputs(kRenderHelp, WantsHelp(argc, argv) ? stdout : stderr);
            return WantsHelp(argc, argv) ? 0 : 2;
        }
        double seconds = 30.0;
        uint32_t reverb = 0;
        for (int i = 4; i < argc; ++i) {
            char* end = nullptr;
            if (std::strcmp(argv[i], "--seconds") == 0 && i + 1 < argc) {
                seconds = std::strtod(argv[++i], &end);
                if (*end != '\0' || !(seconds > 0.0 && seconds <= 3600.0)) {
                    std::fprintf(stderr, "zmstune: --seconds takes a number from 0 to 3600\n");
                    return 2;
                }
            } else if (std::strcmp(argv[i], "--reverb") == 0 && i + 1 < argc) {
                reverb = static_cast<uint32_t>(std::strtoul(argv[++i], &end, 0));
                if (*end != '\0') {
                    std::fprintf(stderr, "zmstune: --reverb takes a number\n");
                    return 2;
                }
            } else {
                std::fputs(kRenderHelp, stderr);
                return 2;
            }
        }
        return Render(argv[2], argv[3], seconds, reverb);
    }
    std::fprintf(stderr, "zmstune: unknown command \"%s\"\n\n%s", argv[1], kUsage);
    return 2;
}
