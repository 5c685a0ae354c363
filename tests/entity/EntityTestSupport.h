#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "foundation/ZArray.h"
#include "foundation/ZDefNode.h"
#include "foundation/ZHashedString.h"
#include "foundation/ZString.h"

namespace entitytest {

// The definition tree of one markup element, built in memory.
ZDefNode Markup(const std::string& text);
// The same element compiled to a definition file by the zddc tool and read
// back, as the game's data is.
ZDefNode CompileMarkup(const std::string& text);

// A command handler behind the engine's entity verbs that records every text
// it is offered (its words joined by single spaces, with the two handles).
struct Recorded {
    std::string words;
    uint32_t context = 0;
    uint32_t other = 0;
};

// While it lives, the handler chain is the entity dispatcher followed by the
// recorder (with first, when given, ahead of both), and the deferred queue
// starts empty.
class CommandChain {
public:
    using Handler = bool (*)(const ZHashedString* verb, const ZArray<ZString>& words, uint32_t context,
                             uint32_t other);
    explicit CommandChain(Handler first = nullptr);
    ~CommandChain();
    CommandChain(const CommandChain&) = delete;
    CommandChain& operator=(const CommandChain&) = delete;

    // Every text the recorder has seen, words only.
    std::vector<std::string> Words() const;
    static std::vector<Recorded>& Log();
};

}  // namespace entitytest
