// The edit buffer of text fields: typing with Shift and Caps Lock, the editing
// keys, the length limit, chords that type nothing, and the clipboard (one
// line, cut at the limit).

#include <string>
#include <vector>

#include "Menu3Fixture.h"
#include "menu/ZTextEditBuffer.h"

namespace menu3test {
namespace {

using namespace platform;

class ZTextEditBufferTest : public Menu3Fixture {
protected:
    // One frame of the keyboard, then the buffer's key pass.
    void KeyFrame() {
        Frame();
        buffer.HandleKeys();
    }
    void Press(const uint8_t key) {
        Down(key);
        KeyFrame();
        Up(key);
        KeyFrame();
    }
    void Keys(const std::string& text) {
        for (const char c : text) {
            Press(ScanCodeOf(c));
        }
    }
    std::string Text() const { return buffer.GetText(); }

    ZTextEditBuffer buffer{24};
};

TEST_F(ZTextEditBufferTest, TypesTheLayoutsCharactersWithShiftAndCapsLock) {
    Keys("ab1");
    Down(DIK_LSHIFT);
    Keys("c2");
    Up(DIK_LSHIFT);
    Press(DIK_CAPITAL);
    Keys("d");
    Press(DIK_CAPITAL);
    Keys("e");
    EXPECT_EQ(Text(), "ab1C@De");
    EXPECT_EQ(buffer.GetCaret(), 7);
    EXPECT_EQ(buffer.GetLength(), 7);
}

TEST_F(ZTextEditBufferTest, EditingKeysMoveAndErase) {
    struct Case {
        const char* name;
        std::vector<uint8_t> keys;
        const char* text;
        int caret;
    };
    const Case cases[] = {
        {"backspace at the end", {DIK_BACK}, "abcd", 4},
        {"backspace at the start does nothing", {DIK_HOME, DIK_BACK}, "abcde", 0},
        {"delete at the caret", {DIK_HOME, DIK_RIGHT, DIK_DELETE}, "acde", 1},
        {"delete at the end does nothing", {DIK_DELETE}, "abcde", 5},
        {"left stops at 0", {DIK_HOME, DIK_LEFT}, "abcde", 0},
        {"right stops at the length", {DIK_RIGHT}, "abcde", 5},
        {"end after home", {DIK_HOME, DIK_END, DIK_LEFT, DIK_BACK}, "abce", 3},
        {"enter, tab, escape, grave type nothing", {DIK_RETURN, DIK_TAB, DIK_ESCAPE, DIK_GRAVE}, "abcde", 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        buffer.SetText("abcde");
        for (const uint8_t key : c.keys) {
            Press(key);
        }
        EXPECT_EQ(Text(), c.text);
        EXPECT_EQ(buffer.GetCaret(), c.caret);
    }
}

TEST_F(ZTextEditBufferTest, TypingStopsAtTheLimitAndInsertsInTheMiddle) {
    buffer.SetText("abcdefghijklmnopqrstuvwx");  // 24
    Keys("y");
    EXPECT_EQ(Text(), "abcdefghijklmnopqrstuvwx");
    EXPECT_FALSE(buffer.InsertChar('z'));
    buffer.SetText("ace");
    Press(DIK_HOME);
    Press(DIK_RIGHT);
    Keys("b");
    EXPECT_EQ(Text(), "abce");
    EXPECT_EQ(buffer.GetCaret(), 2);
}

TEST_F(ZTextEditBufferTest, SetTextCutsAtTheLimitAndTheNextPassTypesNothing) {
    const std::string longText(100, 'q');
    buffer.SetText(longText.c_str());
    EXPECT_EQ(Text(), std::string(24, 'q'));
    EXPECT_EQ(buffer.GetCaret(), 24);
    buffer.SetText("x");
    // The key already down when the text was set does not type.
    Down(DIK_A);
    KeyFrame();
    Up(DIK_A);
    KeyFrame();
    EXPECT_EQ(Text(), "x");
    buffer.SetText(nullptr);
    EXPECT_EQ(Text(), "");
}

TEST_F(ZTextEditBufferTest, ChordsWithControlOrAltTypeNothing) {
    struct Case {
        uint8_t modifier;
        uint8_t key;
    };
    const Case cases[] = {{DIK_LMENU, DIK_RETURN}, {DIK_RMENU, DIK_A}, {DIK_LCONTROL, DIK_X}, {DIK_RCONTROL, DIK_B}};
    for (const Case& c : cases) {
        buffer.SetText("k");
        Down(c.modifier);
        Press(c.key);
        Up(c.modifier);
        KeyFrame();
        EXPECT_EQ(Text(), "k") << int(c.modifier) << " " << int(c.key);
    }
}

TEST_F(ZTextEditBufferTest, PasteTakesTheFirstLineUpToTheLimitAndCopyTakesAll) {
    struct Case {
        const char* clipboard;
        const char* before;
        const char* after;
    };
    const Case cases[] = {
        {"seed\nsecond line", "", "seed"},
        {"crlf\r\nnext", "x", "xcrlf"},
        {"0123456789abcdefghijklmnopqrstuvwxyz", "", "0123456789abcdefghijklmn"},
        {"more", "abcdefghijklmnopqrstuvw", "abcdefghijklmnopqrstuvwm"},
        {"", "same", "same"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.clipboard);
        buffer.SetText(c.before);
        windows->SetClipboardText(c.clipboard);
        KeyFrame();
        Down(DIK_LCONTROL);
        Press(DIK_V);
        Up(DIK_LCONTROL);
        KeyFrame();
        EXPECT_EQ(Text(), c.after);
        EXPECT_LE(buffer.GetLength(), 24);
    }
    buffer.SetText("copied");
    Down(DIK_RCONTROL);
    Press(DIK_C);
    Up(DIK_RCONTROL);
    EXPECT_EQ(windows->Clipboard(), "copied");
}

}  // namespace
}  // namespace menu3test
