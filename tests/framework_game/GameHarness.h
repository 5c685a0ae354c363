#pragma once

// A base game for tests: it runs on a fake clock that advances by a script of
// frame times, records each frame's timing and quits after a chosen number
// of drawn frames in a chosen way. Shared by the fake-window and the SDL
// window test programs.

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <functional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "framework/ZBaseGame.h"
#include "platform/os/fake/fake.h"
#include "support/TempDir.h"

namespace gametest {

// The user's documents folder, pointed at a fresh temporary folder.
class UserFolder {
public:
    UserFolder() { setenv("XDG_DOCUMENTS_DIR", m_dir.Path().c_str(), 1); }
    ~UserFolder() { unsetenv("XDG_DOCUMENTS_DIR"); }

    // A file under the game's folder ("Config/Config.ini").
    std::string GamePath(const std::string& relative) const {
        return m_dir.File("My Games/" + std::string(ZBaseGame::kEngineGameTitle) + "/" + relative);
    }
    void Write(const std::string& relative, const std::string& bytes) const {
        m_dir.Write("My Games/" + std::string(ZBaseGame::kEngineGameTitle) + "/" + relative, bytes);
    }
    std::string Read(const std::string& relative) const {
        return m_dir.Read("My Games/" + std::string(ZBaseGame::kEngineGameTitle) + "/" + relative);
    }

    // Log.txt as (seconds, text) pairs.
    struct LogLine {
        double seconds = 0.0;
        std::string text;
    };
    std::vector<LogLine> ReadLog() const {
        std::vector<LogLine> lines;
        std::istringstream in(Read("Logs/Log.txt"));
        std::string line;
        while (std::getline(in, line)) {
            if (!line.empty() && line.back() == '\r') {
                line.pop_back();
            }
            const size_t colon = line.find(": ");
            LogLine entry;
            if (colon != std::string::npos && colon == 10) {
                entry.seconds = std::strtod(line.substr(0, colon).c_str(), nullptr);
                entry.text = line.substr(colon + 2);
            } else {
                entry.text = line;  // the continuation of a line that holds line breaks
            }
            lines.push_back(entry);
        }
        return lines;
    }

private:
    korvtest::TempDir m_dir;
};

// Index of the first line at or after `from` that begins with `prefix`; -1 when none.
inline int FindLine(const std::vector<UserFolder::LogLine>& lines, const std::string& prefix, int from = 0) {
    for (int i = from; i < static_cast<int>(lines.size()); ++i) {
        if (lines[i].text.compare(0, prefix.size(), prefix) == 0) {
            return i;
        }
    }
    return -1;
}

inline int CountLines(const std::vector<UserFolder::LogLine>& lines, const std::string& prefix) {
    int count = 0;
    for (int at = FindLine(lines, prefix); at >= 0; at = FindLine(lines, prefix, at + 1)) {
        ++count;
    }
    return count;
}

// Every prefix is found, each after the one before it.
inline ::testing::AssertionResult LinesInOrder(const std::vector<UserFolder::LogLine>& lines,
                                               const std::vector<std::string>& prefixes) {
    int at = 0;
    for (const std::string& prefix : prefixes) {
        const int found = FindLine(lines, prefix, at);
        if (found < 0) {
            return ::testing::AssertionFailure() << "no line \"" << prefix << "\" after line " << at;
        }
        at = found + 1;
    }
    return ::testing::AssertionSuccess();
}

class TestGame : public ZBaseGame {
public:
    enum class QuitBy { Request, CloseWindow, Interrupt, Terminate, Hangup, Exit };

    struct Frame {
        float trueDelta = 0.0f;
        float engineFrameTime = 0.0f;
        float gameFrameTime = 0.0f;
        float totalGameTime = 0.0f;
        float stepLength = 0.0f;
        int32_t stepCount = 0;
        float accumulator = 0.0f;
        float fraction = 0.0f;
        bool paused = false;
    };

    // Seconds each frame takes on the fake clock, by frame; the last repeats.
    std::vector<double> frameSeconds{1.0 / 60.0};
    // Seconds start-up takes on the fake clock (spent just before the renderer starts).
    double startupSeconds = 0.0;
    // Quit after this many drawn frames (never while negative).
    int quitAfterFrames = -1;
    QuitBy quitBy = QuitBy::Request;
    // Quit after this many passes of the loop, drawn or not (never while 0 or less).
    int quitAfterPasses = 0;
    // Runs after every drawn frame, with its number (from 1).
    std::function<void(TestGame&, int)> afterFrame;
    // Runs in the middle of start-up (just before the renderer starts).
    std::function<void(TestGame&)> duringStartup;
    // Runs at the start of shutdown.
    std::function<void(TestGame&)> beforeShutdown;

    // GetGameTitle answers null while set.
    bool titleGone = false;
    // The start-up splash plays (then the title menu opens).
    bool withSplash = false;

    os::fake::FakeClock* clock = nullptr;
    std::vector<Frame> frames;
    // Per drawn frame: the render time and the fixed-step clock it was drawn at.
    std::vector<std::pair<float, float>> renderTimes;
    int drawnFrames = 0;
    int fixedUpdates = 0;
    int shutdowns = 0;

    void UpdateTiming() override {
        if (clock != nullptr && !frameSeconds.empty()) {
            const size_t i = frames.size() < frameSeconds.size() ? frames.size() : frameSeconds.size() - 1;
            clock->AdvanceSeconds(frameSeconds[i]);
        }
        // Asked before the frame's timing: the menu transitions at its end may unpause.
        const bool paused = IsGamePaused();
        ZBaseGame::UpdateTiming();
        Frame frame;
        frame.paused = paused;
        frame.trueDelta = GetTrueDelta();
        frame.engineFrameTime = GetEngineFrameTime();
        frame.gameFrameTime = GetGameFrameTime();
        frame.totalGameTime = GetTotalGameTime();
        frame.stepLength = GetStepLength();
        frame.stepCount = GetStepCount();
        frame.accumulator = GetAccumulator();
        frame.fraction = GetLeftoverFraction();
        frames.push_back(frame);
        if (quitAfterPasses > 0 && static_cast<int>(frames.size()) == quitAfterPasses) {
            Quit();
        }
    }

    void FixedUpdate() override {
        ++fixedUpdates;
        ZBaseGame::FixedUpdate();
    }

    const char* GetGameTitle() const override { return titleGone ? nullptr : ZBaseGame::GetGameTitle(); }

    // Runs start without the splash (and so without the title menu it opens)
    // unless a scenario asks for them.
    ZCinematic* CreateIntroSplash() override { return withSplash ? ZBaseGame::CreateIntroSplash() : nullptr; }

    void PostRender() override {
        renderTimes.emplace_back(GetRenderTime(), GetFixedTime());
        ++drawnFrames;
        if (afterFrame) {
            afterFrame(*this, drawnFrames);
        }
        if (drawnFrames == quitAfterFrames) {
            Quit();
        }
    }

    void OnPreInitRenderer() override {
        if (clock != nullptr) {
            clock->AdvanceSeconds(startupSeconds);
        }
        if (duringStartup) {
            duringStartup(*this);
        }
    }

    void shutdown() override {
        ++shutdowns;
        if (beforeShutdown) {
            beforeShutdown(*this);
        }
        ZBaseGame::shutdown();
    }

    void Quit() {
        switch (quitBy) {
            case QuitBy::Request: RequestQuit(); break;
            case QuitBy::CloseWindow: {
                platform::window::Message close;
                close.id = platform::window::WM_CLOSE;
                platform::window::GetWindowSystem()->PostMessage(close);
                break;
            }
            case QuitBy::Interrupt: std::raise(SIGINT); break;
            case QuitBy::Terminate: std::raise(SIGTERM); break;
            case QuitBy::Hangup: std::raise(SIGHUP); break;
            case QuitBy::Exit: Exit(); break;
        }
    }
};

}  // namespace gametest
