// Typed console lines from untrusted bytes: each line (the input split at line
// feeds) goes through the completion query and is dispatched by a game with
// every built-in command registered. No line may crash or hang. Commands that
// would hold the process (hitch) are replaced; the desktop shell is faked and
// the user's folder is a temporary one, so nothing reaches outside.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "framework/ZBaseGame.h"
#include "platform/os/fake/fake.h"

namespace {

class FuzzGame : public ZBaseGame {
public:
    void Exit() override {}
    // Quiet whatever DoLogging says: the log would only slow the run.
    bool IsLogging() const override { return false; }
    void RegisterConsoleCommands() override {
        ZBaseGame::RegisterConsoleCommands();
        RegisterConsoleCommand(
            "hitch", [](const ZConsoleWordList&, uintptr_t) {}, "duration", false);
    }
};

std::string g_documents;

void RemoveDocuments() {
    std::error_code error;
    std::filesystem::remove_all(g_documents, error);
}

FuzzGame* Game() {
    static FuzzGame* game = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "console_line_XXXXXX").string();
        if (mkdtemp(pattern.data()) != nullptr) {
            g_documents = pattern;
            setenv("XDG_DOCUMENTS_DIR", g_documents.c_str(), 1);
            std::atexit(RemoveDocuments);
        }
        static os::fake::FakeShell shell;
        FuzzGame* made = new FuzzGame();
        made->m_primaryMonitorWidth = 1920;
        made->m_primaryMonitorHeight = 1080;
        made->registerConfigVars();
        made->RegisterConsoleCommands();
        return made;
    }();
    return game;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 1 << 14) {
        return 0;
    }
    FuzzGame* game = Game();
    // Text ends at a zero byte, as a C string does.
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::string text = input.substr(0, input.find('\0'));
    ZArray<ZConsoleCompletion> candidates;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        const std::string line = text.substr(start, end - start);
        const int32_t n = game->CollectConsoleCompletions(line.c_str(), candidates);
        if (n < 0 || static_cast<size_t>(n) > line.size()) {
            std::abort();
        }
        game->ExecuteConsoleLine(line.c_str());
        start = end + 1;
    }
    return 0;
}
