#include "TuneCompiler.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "audio/ZMultiSynthTune.h"
#include "audio/ZMultiSynthVoice.h"

namespace {

constexpr int kMaxPhraseDepth = 16;
constexpr size_t kMaxEvents = 1000000;
// Notes, rests and settings a source may expand to through its phrases: rests
// and settings make no events, so the event limit alone does not bound the
// work. Each note makes two events, so no tune within the event limit needs more.
constexpr size_t kMaxTokens = kMaxEvents;

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
    Compiler(std::string name, std::string* messages) : m_name(std::move(name)), m_messages(messages) {
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
                    Message("%s: warning: the channels end at different times (channel %d at %.3f s, "
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
        Message("%s:%d: %s\n", m_name.c_str(), m_line, message.c_str());
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
            if (++m_tokens > kMaxTokens) {
                return Fail("the phrases expand to more than " + std::to_string(kMaxTokens) +
                            " notes, rests and settings");
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

    // Errors and warnings, one line each: to standard error, or collected when asked.
    void Message(const char* format, ...) __attribute__((format(printf, 2, 3))) {
        char line[1024];
        va_list args;
        va_start(args, format);
        std::vsnprintf(line, sizeof(line), format, args);
        va_end(args);
        if (m_messages != nullptr) {
            *m_messages += line;
        } else {
            std::fputs(line, stderr);
        }
    }

    std::string m_name;
    std::string* m_messages;
    int m_line = 0;
    double m_tempo = 120.0;
    ZMultiSynthTune m_tune;
    Voice m_voices[4];
    std::map<std::string, std::vector<std::string>> m_phrases;
    std::vector<Compiled> m_events;
    size_t m_tokens = 0;
    bool m_musical = false;
    bool m_used[4] = {false, false, false, false};
    bool m_hasLoop = false;
    double m_loop = 0.0;
    bool m_hasRawLoop = false;
    int32_t m_rawLoop = -1;
};

}  // namespace

bool CompileTuneSource(const std::string& text, const std::string& name, std::vector<uint8_t>* bytes,
                       std::string* messages) {
    Compiler compiler(name, messages);
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    while (std::getline(lines, line)) {
        if (!compiler.Line(line, ++number)) {
            return false;
        }
    }
    return compiler.Finish(bytes);
}
