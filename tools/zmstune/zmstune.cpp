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

constexpr int kMaxPhraseDepth = 16;
constexpr size_t kMaxEvents = 1000000;

struct Compiled {
    ZSynthEvent event;
    double time;
    int order;  // at one time: loop mark, releases, then starts
    size_t seq;
};

struct Voice {
    double cursor = 0.0;  // seconds
    double length = 4.0;  // note value (4 = quarter)
    int velocity = 100;
    int percent = 90;
    int bend = 0;  // 32nds of a semitone
    bool bendPending = false;
    bool alt = false;
};

class Compiler {
public:
    explicit Compiler(std::string name) : m_name(std::move(name)) {
        m_tune.word = 0x315A4D53;  // "SMZ1", read by nobody: marks our own files
    }

    bool Line(const std::string& raw, const int number) {
        m_line = number;
        // A comment starts with a "#" that begins a word ("f#4" is a note).
        size_t cut = 0;
        while (cut < raw.size() &&
               !(raw[cut] == '#' && (cut == 0 || raw[cut - 1] == ' ' || raw[cut - 1] == '\t'))) {
            ++cut;
        }
        std::string text = raw.substr(0, cut);
        std::istringstream in(text);
        std::vector<std::string> words;
        std::string w;
        while (in >> w) {
            words.push_back(w);
        }
        if (words.empty()) {
            return true;
        }
        const std::string& head = words[0];
        if (head == "tempo") {
            return Number(words, 1, 1, 2000, &m_tempo) && Count(words, 2);
        }
        if (head == "version") {
            return Version(words);
        }
        if (head == "word") {
            long long v = 0;
            return Count(words, 2) && Integer(words[1], 0, 0xFFFFFFFFLL, &v) &&
                   (m_tune.word = static_cast<uint32_t>(v), true);
        }
        if (head == "channel") {
            return Channel(words);
        }
        if (head == "define") {
            if (words.size() < 3) {
                return Fail("define needs a name and its notes");
            }
            m_phrases[words[1]] = std::vector<std::string>(words.begin() + 2, words.end());
            return true;
        }
        if (head == "sync") {
            return Count(words, 1) && (Sync(), true);
        }
        if (head == "loop") {
            if (!Count(words, 1) || !NotRaw()) {
                return false;
            }
            m_musical = true;
            Sync();
            m_loop = m_voices[0].cursor;
            m_hasLoop = true;
            return true;
        }
        if (head == "event") {
            return RawEvent(words);
        }
        if (head == "loopindex") {
            long long v = 0;
            if (!Count(words, 2) || !Integer(words[1], -2147483648LL, 2147483647LL, &v)) {
                return false;
            }
            m_rawLoop = static_cast<int32_t>(v);
            m_hasRawLoop = true;
            return true;
        }
        if (head.size() == 2 && head[0] >= '0' && head[0] <= '3' && head[1] == ':') {
            if (!NotRaw()) {
                return false;
            }
            m_musical = true;
            m_used[head[0] - '0'] = true;
            return Tokens(head[0] - '0', std::vector<std::string>(words.begin() + 1, words.end()), 0);
        }
        return Fail("unknown line \"" + head + "\"");
    }

    bool Finish(std::vector<uint8_t>* out) {
        if (m_musical) {
            double first = -1.0;
            for (int c = 0; c < 4; ++c) {
                if (m_used[c] && first < 0.0) {
                    first = m_voices[c].cursor;
                } else if (m_used[c] && std::fabs(m_voices[c].cursor - first) > 1e-9) {
                    std::fprintf(stderr,
                                 "%s: warning: the channels end at different times (channel %d at %.3f s, "
                                 "another at %.3f s)\n",
                                 m_name.c_str(), c, m_voices[c].cursor, first);
                    break;
                }
            }
            Sync();
            const double end = m_voices[0].cursor;
            if (m_hasLoop && !(m_loop < end)) {
                return Fail("the loop point is at the end: nothing would repeat");
            }
            if (m_hasLoop && !ZMultiSynthTune::HasV11Fields(m_tune.majorVersion, m_tune.minorVersion) &&
                m_loop != 0.0) {
                return Fail("a version 1.0 tune can only loop from its start");
            }
            if (m_hasLoop) {
                // The mark the loop jumps to: channel 0, and nothing else set.
                ZSynthEvent mark;
                mark.channel = 0x80;
                Add(m_loop, -1, mark);
            }
            ZSynthEvent last;
            last.channel = 0x80;
            last.control = m_hasLoop ? 0x81 : 0x80;
            Add(end, 2, last);
            std::stable_sort(m_events.begin(), m_events.end(), [](const Compiled& a, const Compiled& b) {
                return a.time != b.time ? a.time < b.time : a.order < b.order;
            });
        }
        if (m_events.size() > kMaxEvents) {
            return Fail("more events than a tune may hold");
        }
        m_tune.events.Clear();
        m_tune.loopIndex = -1;
        for (size_t i = 0; i < m_events.size(); ++i) {
            ZSynthEvent e = m_events[i].event;
            if (m_musical) {
                e.time = static_cast<float>(m_events[i].time);
                if (m_events[i].order == -1) {
                    m_tune.loopIndex = static_cast<int32_t>(i);
                }
            }
            m_tune.events.PushBack(e);
        }
        if (m_hasRawLoop) {
            m_tune.loopIndex = m_rawLoop;
        }
        *out = m_tune.Write();
        return true;
    }

private:
    bool Fail(const std::string& message) {
        std::fprintf(stderr, "%s:%d: %s\n", m_name.c_str(), m_line, message.c_str());
        return false;
    }
    bool Count(const std::vector<std::string>& words, const size_t n) {
        return words.size() == n || Fail("\"" + words[0] + "\" takes " + std::to_string(n - 1) + " value(s)");
    }
    bool NotRaw() { return m_events.empty() || m_musical || Fail("raw events and channel lines do not mix"); }
    bool Integer(const std::string& s, const long long lo, const long long hi, long long* out) {
        errno = 0;
        char* end = nullptr;
        const long long v = std::strtoll(s.c_str(), &end, 0);
        if (s.empty() || *end != '\0' || errno != 0 || v < lo || v > hi) {
            return Fail("\"" + s + "\" is not a number from " + std::to_string(lo) + " to " +
                        std::to_string(hi));
        }
        *out = v;
        return true;
    }
    bool Number(const std::vector<std::string>& words, const size_t i, const double lo, const double hi,
                double* out) {
        if (i >= words.size()) {
            return Fail("\"" + words[0] + "\" needs a value");
        }
        char* end = nullptr;
        const double v = std::strtod(words[i].c_str(), &end);
        if (*end != '\0' || !(v >= lo && v <= hi)) {
            return Fail("\"" + words[i] + "\" is not a number from " + std::to_string(lo) + " to " +
                        std::to_string(hi));
        }
        *out = v;
        return true;
    }
    bool Version(const std::vector<std::string>& words) {
        int major = 0;
        int minor = 0;
        char dot = 0;
        std::istringstream in(words.size() == 2 ? words[1] : "");
        if (!(in >> major >> dot >> minor) || dot != '.' || !in.eof() || major < 1 || minor < 0) {
            return Fail("version is written MAJOR.MINOR, such as 1.1");
        }
        m_tune.majorVersion = major;
        m_tune.minorVersion = minor;
        return true;
    }
    bool Channel(const std::vector<std::string>& words) {
        long long c = 0;
        if (words.size() < 2) {
            return Fail("channel needs its number, 0 to 3");
        }
        if (!Integer(words[1], 0, 3, &c)) {
            return false;
        }
        for (size_t i = 2; i < words.size(); ++i) {
            long long v = 0;
            if (words[i] == "on" || words[i] == "off") {
                const auto bit = static_cast<uint8_t>(1u << c);
                m_tune.channelMask = static_cast<uint8_t>(words[i] == "on" ? (m_tune.channelMask | bit)
                                                                           : (m_tune.channelMask & ~bit));
            } else if ((words[i] == "volume" || words[i] == "duty") && i + 1 < words.size()) {
                // The file holds any 32-bit value; printed files give them back as they were.
                if (!Integer(words[i + 1], -2147483648LL, 2147483647LL, &v)) {
                    return false;
                }
                (words[i] == "volume" ? m_tune.channelVolume : m_tune.duty)[c] = static_cast<int32_t>(v);
                ++i;
            } else {
                return Fail("channel takes volume N, duty N, on and off, not \"" + words[i] + "\"");
            }
        }
        return true;
    }
    bool RawEvent(const std::vector<std::string>& words) {
        if (m_musical) {
            return Fail("raw events and channel lines do not mix");
        }
        if (words.size() != 7 && words.size() != 10) {
            return Fail("event takes TIME CHANNEL NOTE VELOCITY BEND CONTROL [PAD PAD PAD]");
        }
        ZSynthEvent e;
        char* end = nullptr;
        e.time = std::strtof(words[1].c_str(), &end);
        if (*end != '\0' || words[1].empty()) {
            return Fail("\"" + words[1] + "\" is not a time");
        }
        uint8_t* bytes[8] = {&e.channel, &e.note,   &e.velocity, &e.bend,
                             &e.control, &e.pad[0], &e.pad[1],   &e.pad[2]};
        for (size_t i = 2; i < words.size(); ++i) {
            long long v = 0;
            if (!Integer(words[i], 0, 255, &v)) {
                return false;
            }
            *bytes[i - 2] = static_cast<uint8_t>(v);
        }
        m_events.push_back(Compiled{e, e.time, 0, m_events.size()});
        return true;
    }
    void Sync() {
        double latest = 0.0;
        for (const Voice& v : m_voices) {
            latest = std::max(latest, v.cursor);
        }
        for (Voice& v : m_voices) {
            v.cursor = latest;
        }
    }
    void Add(const double time, const int order, const ZSynthEvent& e) {
        m_events.push_back(Compiled{e, time, order, m_events.size()});
    }
    // A note name (c4, f#3, bb2), a drum name or nN: the note number, or -1.
    static int NoteNumber(const std::string& t) {
        static const std::map<std::string, int> drums = {{"kick", 36}, {"snare", 38},   {"tom", 40},
                                                         {"hat", 42},  {"openhat", 46}, {"crash", 49}};
        const auto drum = drums.find(t);
        if (drum != drums.end()) {
            return drum->second;
        }
        size_t i = 0;
        int n = 0;
        if (t.size() >= 2 && t[0] == 'n' && std::isdigit(static_cast<unsigned char>(t[1]))) {
            i = 1;
        } else {
            static const int semis[7] = {9, 11, 0, 2, 4, 5, 7};
            if (t.empty() || t[0] < 'a' || t[0] > 'g') {
                return -1;
            }
            n = semis[t[0] - 'a'];
            i = 1;
            if (i < t.size() && (t[i] == '#' || t[i] == 'b')) {
                n += t[i] == '#' ? 1 : -1;
                ++i;
            }
            if (i >= t.size() || !std::isdigit(static_cast<unsigned char>(t[i]))) {
                return -1;
            }
        }
        int number = 0;
        for (; i < t.size(); ++i) {
            if (!std::isdigit(static_cast<unsigned char>(t[i])) || number > 1000) {
                return -1;
            }
            number = number * 10 + (t[i] - '0');
        }
        const int note = t[0] == 'n' ? number : n + (number + 1) * 12;  // c4 = 60, a4 = 69 (440 Hz)
        return note >= 0 && note <= 127 ? note : -1;
    }
    bool Tokens(const int c, const std::vector<std::string>& tokens, const int depth) {
        Voice& v = m_voices[c];
        for (const std::string& token : tokens) {
            if (token.empty()) {
                continue;
            }
            if (token[0] == '@') {
                std::string name = token.substr(1);
                long long times = 1;
                const size_t star = name.find('*');
                if (star != std::string::npos) {
                    if (!Integer(name.substr(star + 1), 1, 256, &times)) {
                        return false;
                    }
                    name = name.substr(0, star);
                }
                const auto phrase = m_phrases.find(name);
                if (phrase == m_phrases.end()) {
                    return Fail("no phrase named \"" + name + "\"");
                }
                if (depth >= kMaxPhraseDepth) {
                    return Fail("phrases call each other too deeply");
                }
                for (long long k = 0; k < times; ++k) {
                    if (!Tokens(c, phrase->second, depth + 1)) {
                        return false;
                    }
                }
                continue;
            }
            if (m_events.size() > kMaxEvents) {
                return Fail("more events than a tune may hold");
            }
            long long value = 0;
            if (token == "alt" || token == "noalt") {
                v.alt = token == "alt";
                continue;
            }
            if ((token[0] == 'l' || token[0] == 'v' || token[0] == 'p' || token[0] == '^') &&
                token.size() > 1 && NoteNumber(token) < 0) {
                const char kind = token[0];
                const long long lo = kind == 'l' ? 1 : kind == '^' ? -64 : 0;
                const long long hi = kind == 'l' ? 64 : kind == 'v' ? 127 : kind == 'p' ? 100 : 63;
                if (!Integer(token.substr(1), lo, hi, &value)) {
                    return false;
                }
                if (kind == 'l') {
                    v.length = static_cast<double>(value);
                } else if (kind == 'v') {
                    v.velocity = static_cast<int>(value);
                } else if (kind == 'p') {
                    v.percent = static_cast<int>(value);
                } else {
                    v.bend = static_cast<int>(value);
                    v.bendPending = true;
                }
                continue;
            }
            // NOTE or r, then /LENGTH, then a dot.
            std::string body = token;
            bool dotted = false;
            if (!body.empty() && body.back() == '.') {
                dotted = true;
                body.pop_back();
            }
            double length = v.length;
            const size_t slash = body.find('/');
            if (slash != std::string::npos) {
                if (!Integer(body.substr(slash + 1), 1, 64, &value)) {
                    return false;
                }
                length = static_cast<double>(value);
                body = body.substr(0, slash);
            }
            double seconds = 60.0 / m_tempo * 4.0 / length;
            if (dotted) {
                seconds *= 1.5;
            }
            if (body == "r") {
                v.cursor += seconds;
                continue;
            }
            const int note = NoteNumber(body);
            if (note < 0) {
                return Fail("\"" + token + "\" is no note, rest or setting");
            }
            ZSynthEvent on;
            on.channel = static_cast<uint8_t>(0x80 | (v.alt ? 0x40 : 0) | c);
            on.note = static_cast<uint8_t>(0x80 | note);
            on.velocity = static_cast<uint8_t>(0x80 | v.velocity);
            if (v.bendPending) {
                on.bend = static_cast<uint8_t>(0x80 | (64 + v.bend));
                v.bendPending = false;
            }
            Add(v.cursor, 1, on);
            ZSynthEvent off = on;
            off.velocity = 0x80;
            off.bend = 0;
            Add(v.cursor + seconds * v.percent / 100.0, 0, off);
            v.cursor += seconds;
        }
        return true;
    }

    std::string m_name;
    int m_line = 0;
    double m_tempo = 120.0;
    ZMultiSynthTune m_tune;
    Voice m_voices[4];
    std::map<std::string, std::vector<std::string>> m_phrases;
    std::vector<Compiled> m_events;
    bool m_musical = false;
    bool m_used[4] = {false, false, false, false};
    bool m_hasLoop = false;
    double m_loop = 0.0;
    bool m_hasRawLoop = false;
    int32_t m_rawLoop = -1;
};

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
    Compiler compiler(source);
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    while (std::getline(lines, line)) {
        if (!compiler.Line(line, ++number)) {
            return 1;
        }
    }
    std::vector<uint8_t> bytes;
    if (!compiler.Finish(&bytes)) {
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
