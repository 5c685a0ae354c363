// Tune sources whose phrases expand without end: the compiler stops with a
// message naming the line instead of running for ever.

#include <fstream>
#include <iterator>

#include "audio/AudioFixture.h"

namespace {

using atest::AudioTest;

TEST_F(AudioTest, PhrasesThatExpandWithoutEndAreRefused) {
    struct Case {
        const char* what;
        std::string source;
        const char* message;
    };
    // Each level plays the one below 256 times: 256^8 rests, no event at all.
    std::string rests = "define p0 r/64\n";
    for (int level = 1; level <= 8; ++level) {
        rests += "define p" + std::to_string(level) + " @p" + std::to_string(level - 1) + "*256\n";
    }
    const Case cases[] = {
        {"rests only", rests + "0: @p8\n", ":10: the phrases expand to more than 1000000 notes, rests and settings"},
        {"settings only", "define s v100\ndefine t @s*256\ndefine u @t*256\ndefine w @u*256\n0: @w*256\n",
         ":5: the phrases expand to more than 1000000 notes, rests and settings"},
    };
    for (const Case& c : cases) {
        dir.Write("endless.zmt", c.source);
        const std::string command = std::string(KORV_TOOLS_DIR) + "/zmstune build " + dir.File("endless.zmt") + " " +
                                    dir.File("endless.zms") + " 2>" + dir.File("errors.txt");
        EXPECT_NE(std::system(command.c_str()), 0) << c.what;
        std::ifstream in(dir.File("errors.txt"));
        const std::string errors((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        EXPECT_NE(errors.find(c.message), std::string::npos) << c.what << ": " << errors;
        EXPECT_FALSE(std::ifstream(dir.File("endless.zms")).good()) << c.what << ": no tune is written";
    }
}

}  // namespace
