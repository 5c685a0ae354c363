// Command-line words: the process's arguments (one per input line) are joined
// into the command line and split again as the game does at start-up, then
// handed to both passes. Words without quote characters must come back exactly.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "framework/ZBaseGame.h"
#include "framework/ZLocMgr.h"
#include "platform/os/system.h"

namespace {

class WordsGame : public ZBaseGame {
public:
    bool IsLogging() const override { return false; }
    void HandleCommandLineArgs(const ZArray<ZString>& words, const int32_t pass) override {
        seen.clear();
        for (const ZString& word : words) {
            seen.emplace_back(word.GetText(), static_cast<size_t>(word.GetLength()));
        }
        ZBaseGame::HandleCommandLineArgs(words, pass);
    }
    std::vector<std::string> seen;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 1 << 14) {
        return 0;
    }
    static WordsGame* game = new WordsGame();
    const std::string input(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> words;
    bool plain = true;  // no word holds a quote character or a zero byte
    size_t start = 0;
    while (start <= input.size()) {
        size_t end = input.find('\n', start);
        if (end == std::string::npos) {
            end = input.size();
        }
        words.push_back(input.substr(start, end - start));
        plain = plain && words.back().find_first_of(std::string("\"'\0", 3)) == std::string::npos;
        start = end + 1;
    }
    std::vector<const char*> argv{"korvanth"};
    for (const std::string& word : words) {
        argv.push_back(word.c_str());
    }
    const std::string line = os::JoinCommandLine(static_cast<int>(argv.size()), argv.data());
    for (const bool secondPass : {false, true}) {
        game->seen.clear();
        game->RunCommandLineText(line.c_str(), secondPass);
        if (plain && !line.empty() && game->seen != words) {
            std::abort();
        }
    }
    ZLocMgr::GetInstance()->SetPseudoLocalization(false);
    return 0;
}
