// Conversations walked from markup dialog trees, as the game's player update
// drives them: options, actions, queries, templates, typewriter and paging.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "EntityTestSupport.h"
#include "entity/ZCommandRunner.h"
#include "entity/ZDataComponent.h"
#include "entity/ZDialogConsumerComponent.h"
#include "entity/ZDialogNode.h"
#include "entity/ZDialogProviderComponent.h"
#include "entity/ZDialogText.h"
#include "entity/ZEntity.h"
#include "entity/ZEntityGameHooks.h"
#include "entity/ZLocProxyComponent.h"
#include "renderer/ZFont.h"
#include "support/EngineTestEnv.h"
#include "support/TempDir.h"

namespace {

using entitytest::CommandChain;
using entitytest::Markup;
using Texts = std::vector<std::string>;

std::vector<int32_t>& DialogSounds() {
    static std::vector<int32_t> sounds;
    return sounds;
}

float g_frameTime = 0.0f;

// A speaker with a blackboard and a listener, hooked to a recording game.
struct Conversation {
    explicit Conversation(const std::string& dialog, const std::string& data = "<Data/>") {
        ZEntityGameHooks& hooks = GetEntityGameHooks();
        saved = hooks;
        hooks.showDialogText = [](const int32_t what) { DialogSounds().push_back(what); };
        hooks.getFrameTime = [] { return g_frameTime; };
        DialogSounds().clear();
        g_frameTime = 0.0f;
        AddComponent<ZDataComponent>(&speakerEntity)->ReadDefinition(Markup(data));
        provider = AddComponent<ZDialogProviderComponent>(&speakerEntity);
        provider->ReadDefinition(Markup(dialog));
        consumer = AddComponent<ZDialogConsumerComponent>(&listenerEntity);
    }
    ~Conversation() { GetEntityGameHooks() = saved; }
    Conversation(const Conversation&) = delete;
    Conversation& operator=(const Conversation&) = delete;

    // What the "initdialog" verb does after its sound.
    bool Start() {
        provider->consumer = consumer->GetHandle();
        const bool started = provider->StartDialog();
        consumer->OpenDialog(provider);
        return started;
    }
    std::string Text() const { return consumer->text.GetText(); }
    int32_t Datum(const char* name) const {
        ZDatumEntry entry;
        GetDataComponentByHandle(speakerEntity.GetHandle())->GetDatum(ZHashedString(name), entry);
        return entry.value.intValue;
    }
    // Accept until the page is past its typing, then once more.
    bool Next() {
        consumer->Accept();
        return consumer->Accept();
    }

    ZEntityGameHooks saved;
    ZEntity speakerEntity;
    ZEntity listenerEntity;
    ZDialogProviderComponent* provider = nullptr;
    ZDialogConsumerComponent* consumer = nullptr;
};

TEST(ZDialog, AConversationEndToEnd) {
    const CommandChain chain;
    Conversation talk(
        // Options stand before the text that asks: the walk offers them on its
        // way to that text.
        "<DialogProvider Name='Smith'>"
        "<Event Name='OnClosed'><Action Text='closed'/></Event>"
        "<TempSrc Name='Farewell'><Dialog Text='Farewell, [Coins] coins left.' NoLoc='True'>"
        "  <Action Text='after'/></Dialog></TempSrc>"
        "<Option Text='Buy'><Action Text='sub Self Coins 2'/>"
        "  <Query Text='Coins &lt; 2'><True><Dialog Text='Now you are poor.' NoLoc='True'/></True>"
        "    <False><Dialog Text='Thanks.' NoLoc='True'/></False></Query></Option>"
        "<Option Text='Leave' Default='True'><Action Text='later Self' Defer='True'/></Option>"
        "<Dialog Text='Welcome! You have [Coins] coins.' NoLoc='True'/>"
        "<TempDest Name='Farewell'/>"
        "</DialogProvider>",
        "<Data><Datum Name='Coins' Type='Int' Value='3'/></Data>");
    ASSERT_TRUE(talk.Start());
    EXPECT_EQ(talk.Text(), "Welcome! You have 3 coins.");
    EXPECT_EQ(talk.provider->name, ZString("Smith"));
    ASSERT_EQ(talk.provider->options.Count(), 2u);
    EXPECT_EQ(talk.consumer->selected, 1) << "the Default option is selected first";

    // Typewriter: 64 characters a second; the typing sound until the page is complete.
    g_frameTime = 0.125f;
    talk.consumer->TickTypewriter();
    EXPECT_EQ(talk.consumer->shown, 8);
    EXPECT_FALSE(talk.consumer->MoveSelection(1)) << "no choosing while the page still types";
    talk.consumer->TickTypewriter();
    talk.consumer->TickTypewriter();
    talk.consumer->TickTypewriter();
    EXPECT_EQ(talk.consumer->shown, 26);
    EXPECT_FLOAT_EQ(talk.consumer->guardTimer, 0.1f);
    EXPECT_EQ(DialogSounds(), (std::vector<int32_t>{5, 5, 5, 6}));

    // Selection wraps both ways.
    EXPECT_TRUE(talk.consumer->MoveSelection(1));
    EXPECT_EQ(talk.consumer->selected, 0);
    EXPECT_TRUE(talk.consumer->MoveSelection(-1));
    EXPECT_TRUE(talk.consumer->MoveSelection(-1));
    EXPECT_EQ(talk.consumer->selected, 0);

    // Choosing "Buy": its action runs, the query picks a branch.
    EXPECT_TRUE(talk.consumer->Accept());
    EXPECT_EQ(talk.Datum("Coins"), 1);
    EXPECT_EQ(talk.Text(), "Now you are poor.");
    EXPECT_EQ(talk.consumer->selected, -1);
    EXPECT_TRUE(chain.Words().empty()) << "the trailing action runs only when the walk passes it";

    // The template's text, then the action after it, then the end.
    EXPECT_TRUE(talk.Next());
    EXPECT_EQ(talk.Text(), "Farewell, 1 coins left.");
    EXPECT_FALSE(talk.Next());
    EXPECT_EQ(chain.Words(), (Texts{"after", "closed"}));
    EXPECT_TRUE(talk.consumer->text.IsEmpty());
    EXPECT_EQ(talk.provider->consumer, 0u);
    EXPECT_EQ(DialogSounds().back(), 1);
}

TEST(ZDialog, ChoosingAnOptionRestoresTheBlackboardAsItWasOfferedAndRunsDeferredActionsAtTheEnd) {
    const CommandChain chain;
    Conversation talk(
        "<DialogProvider>"
        "<Option Text='A'/><Option Text='B'><Action Text='bye Self' Defer='True'/>"
        "  <Dialog Text='B it is, [Coins].' NoLoc='True'/></Option>"
        "<Dialog Text='Pick.' NoLoc='True'/></DialogProvider>",
        "<Data><Datum Name='Coins' Type='Int' Value='3'/></Data>");
    ASSERT_TRUE(talk.Start());
    RunCommandText("set Self Coins 9", talk.speakerEntity.GetHandle(), 0);
    talk.consumer->Accept();
    ASSERT_TRUE(talk.consumer->MoveSelection(1));
    EXPECT_TRUE(talk.consumer->Accept());
    EXPECT_EQ(talk.Text(), "B it is, 3.");
    EXPECT_TRUE(talk.consumer->deferred.Count() == 1);
    EXPECT_TRUE(chain.Words().empty());
    EXPECT_FALSE(talk.Next());
    EXPECT_EQ(chain.Words(), (Texts{"bye Self"}));
    EXPECT_EQ(CommandChain::Log().back().context, talk.provider->GetHandle());
}

// What the end of a conversation looked like to its own "OnClosed" actions and
// to the closed callback.
ZDialogConsumerComponent* g_closing = nullptr;
std::vector<std::string> g_closingSeen;

std::string ClosingState(const char* who) {
    return std::string(who) + ": bound " + (g_closing->provider != 0 ? "yes" : "no") + ", text '" +
           g_closing->text.GetText() + "', " + std::to_string(CommandChain::Log().size()) + " recorded";
}

bool Peek(const ZHashedString* verb, const ZArray<ZString>& /*words*/, uint32_t, uint32_t) {
    if (verb == nullptr || *verb != ZHashedString("peek")) {
        return false;
    }
    g_closingSeen.push_back(ClosingState("event"));
    return true;
}

TEST(ZDialog, ADeferredCommandMayOpenTheNextConversationWithTheSameSpeaker) {
    const CommandChain chain(&Peek);
    Conversation talk(
        "<DialogProvider><Event Name='OnClosed'><Action Text='peek'/><Action Text='closed'/></Event>"
        "<Option Text='Again'><Action Text='initdialog' Defer='True'/>"
        "  <Dialog Text='Once more.' NoLoc='True'/></Option>"
        "<Action Text='later' Defer='True'/><Dialog Text='Hello.' NoLoc='True'/></DialogProvider>");
    g_closing = talk.consumer;
    g_closingSeen.clear();
    talk.consumer->closedCallback = [](ZEntity*) { g_closingSeen.push_back(ClosingState("callback")); };
    ASSERT_TRUE(talk.Start());
    EXPECT_TRUE(talk.Next());
    EXPECT_EQ(talk.Text(), "Once more.");
    EXPECT_FALSE(talk.Next()) << "the first conversation ends";

    // Unbound and emptied before "OnClosed"; the deferred command ran after it
    // and before the callback, and the conversation it opened stays open.
    EXPECT_EQ(g_closingSeen, (Texts{"event: bound no, text '', 0 recorded",
                                    "callback: bound yes, text 'Hello.', 2 recorded"}));
    EXPECT_EQ(chain.Words(), (Texts{"closed", "later"}));
    ASSERT_EQ(talk.consumer->deferred.Count(), 1u) << "the new conversation's own deferred action is kept";
    EXPECT_EQ(talk.consumer->deferred[0], ZString("later"));
    EXPECT_EQ(talk.consumer->provider, talk.provider->GetHandle());
    EXPECT_EQ(talk.provider->consumer, talk.consumer->GetHandle());
    EXPECT_EQ(talk.Text(), "Hello.");
    EXPECT_TRUE(talk.Next()) << "the new conversation goes on";
    EXPECT_EQ(talk.Text(), "Once more.");
    g_closing = nullptr;
}

TEST(ZDialog, WalksThroughTheTree) {
    struct Case {
        const char* name;
        const char* tree;
        Texts pages;  // the text of each box, in order
    };
    const Case cases[] = {
        {"NoStop joins the next text with a line break",
         "<Dialog Text='One' NoLoc='True' NoStop='TRUE'/><Dialog Text='Two' NoLoc='True'/>"
         "<Dialog Text='Three' NoLoc='True'/>",
         {"One\nTwo", "Three"}},
        {"NoBreak joins without one",
         "<Dialog Text='One' NoLoc='True' NoStop='true' NoBreak='True'/><Dialog Text='Two' NoLoc='True'/>",
         {"OneTwo"}},
        {"a NoStop value other than True is false",
         "<Dialog Text='One' NoLoc='True' NoStop='yes'/><Dialog Text='Two' NoLoc='True'/>", {"One", "Two"}},
        {"an empty query branch removes the query",
         "<Dialog Text='One' NoLoc='True'/><Query Text='1 == 2'><True><Dialog Text='No' NoLoc='True'/></True>"
         "</Query><Dialog Text='Two' NoLoc='True'/>",
         {"One", "Two"}},
        {"the first of two templates of one name, and only the root's",
         "<TempSrc Name='T'><Dialog Text='First' NoLoc='True'/></TempSrc>"
         "<TempSrc Name='T'><Dialog Text='Second' NoLoc='True'/></TempSrc>"
         "<Dialog Text='Go' NoLoc='True'><TempSrc Name='U'><Dialog Text='Deep' NoLoc='True'/></TempSrc></Dialog>"
         "<TempDest Name='T'/><TempDest Name='U'/><Dialog Text='End' NoLoc='True'/>",
         {"Go", "First", "End"}},
        {"a reference inside a template resolves when reached",
         "<TempSrc Name='Outer'><Dialog Text='Out' NoLoc='True'/><TempDest Name='Inner'/></TempSrc>"
         "<TempSrc Name='Inner'><Dialog Text='In' NoLoc='True'/></TempSrc><TempDest Name='Outer'/>",
         {"Out", "In"}},
        {"unknown and event elements are skipped",
         "<Banana/><Dialog Text='Only' NoLoc='True'><Event Name='X'/></Dialog>", {"Only"}},
        {"a template that uses itself ends the conversation",
         "<TempSrc Name='Loop'><TempDest Name='Loop'/></TempSrc><TempDest Name='Loop'/>", {}},
        {"a template's reference to itself is skipped and the walk goes on",
         "<TempSrc Name='Loop'><Dialog Text='Once' NoLoc='True'/><TempDest Name='Loop'/></TempSrc>"
         "<TempDest Name='Loop'/><Dialog Text='After' NoLoc='True'/>",
         {"Once", "After"}},
        {"templates that name each other expand each once",
         "<TempSrc Name='A'><Dialog Text='A' NoLoc='True'/><TempDest Name='B'/></TempSrc>"
         "<TempSrc Name='B'><Dialog Text='B' NoLoc='True'/><TempDest Name='A'/></TempSrc>"
         "<TempDest Name='A'/><Dialog Text='End' NoLoc='True'/>",
         {"A", "B", "End"}},
        {"a template used twice, side by side and inside another, expands every time",
         "<TempSrc Name='T'><Dialog Text='T' NoLoc='True'/></TempSrc>"
         "<TempSrc Name='Two'><TempDest Name='T'/><TempDest Name='T'/></TempSrc>"
         "<TempDest Name='T'/><TempDest Name='Two'/>",
         {"T", "T", "T"}},
        {"a reference inside a query branch of a template still knows its template",
         "<TempSrc Name='Q'><Dialog Text='Q' NoLoc='True'/><Query Text='1 == 1'><True><TempDest Name='Q'/></True>"
         "</Query></TempSrc><TempDest Name='Q'/><Dialog Text='End' NoLoc='True'/>",
         {"Q", "End"}},
    };
    for (const Case& c : cases) {
        const CommandChain chain;
        Conversation talk(std::string("<DialogProvider>") + c.tree + "</DialogProvider>");
        const bool started = talk.Start();
        EXPECT_EQ(started, !c.pages.empty()) << c.name;
        Texts pages;
        for (bool going = started; going && pages.size() < 10; going = talk.Next()) {
            pages.push_back(talk.Text());
        }
        EXPECT_EQ(pages, c.pages) << c.name;
    }
}

// Templates that fan out without naming themselves still grow a conversation
// geometrically: the node budget ends it, with one log line.
TEST(ZDialog, TemplatesThatCopyTooMuchEndTheConversationWithOneLine) {
    std::string tree = "<TempSrc Name='T5'/>";
    for (int level = 4; level >= 1; --level) {
        tree += "<TempSrc Name='T" + std::to_string(level) + "'>";
        for (int i = 0; i < 12; ++i) {
            tree += "<TempDest Name='T" + std::to_string(level + 1) + "'/>";
        }
        tree += "</TempSrc>";
    }
    tree += "<TempDest Name='T1'/><Dialog Text='End' NoLoc='True'/>";
    korvtest::TempDir documents;
    korvtest::TestAppInfo info{"Dialog Test"};
    const korvtest::EngineTestEnv env(documents.Path(), &info);
    const CommandChain chain;
    Conversation talk("<DialogProvider>" + tree + "</DialogProvider>");
    testing::internal::CaptureStdout();
    EXPECT_FALSE(talk.Start());
    EXPECT_FALSE(talk.provider->Advance(-1, false, false)) << "an ended conversation stays ended";
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_LE(talk.provider->GetConversation()->copiedNodes, kMaxConversationNodes);
    const std::string line = "more than " + std::to_string(kMaxConversationNodes) + " nodes";
    const size_t first = out.find(line);
    EXPECT_NE(first, std::string::npos) << out;
    EXPECT_EQ(out.find(line, first + 1), std::string::npos) << "logged more than once: " << out;
}

// Inputs that once held the walk for seconds to minutes: each is talked
// through and copies no more than its own tree holds.
TEST(ZDialog, SelfReferencingTemplateFindingsEndQuickly) {
    const char* const files[] = {
        "dialog_text-self-template-small.xml",
        "dialog_text-self-template-wide.xml",
        "dialog_text-self-template.xml",
    };
    for (const char* file : files) {
        std::ifstream in(std::string(KORV_SOURCE_DIR "/fuzz/corpus/dialog_text/") + file, std::ios::binary);
        ASSERT_TRUE(in) << file;
        const std::string markup((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        const CommandChain chain;
        ZEntity speaker;
        ZEntity listener;
        auto* provider = AddComponent<ZDialogProviderComponent>(&speaker);
        auto* consumer = AddComponent<ZDialogConsumerComponent>(&listener);
        provider->ReadDefinition(Markup(markup));
        provider->consumer = consumer->GetHandle();
        if (provider->StartDialog()) {
            for (int turn = 0; turn < 64 && provider->Advance(-1, false, false); ++turn) {
            }
        }
        ASSERT_NE(provider->GetTree(), nullptr) << file;
        if (provider->GetConversation() != nullptr) {
            EXPECT_LE(provider->GetConversation()->copiedNodes, CountDialogNodes(*provider->GetTree())) << file;
        }
    }
}

TEST(ZDialog, AnOptionPassedTwiceInOneWalkIsOfferedOnce) {
    const CommandChain chain;
    // The action standing last hands the walk back to the text, which walks
    // its children again from the first: past the options once more.
    Conversation talk("<DialogProvider><Dialog Text='Hello' NoLoc='True'>"
                      "  <Option Text='A'><Dialog Text='Chose A' NoLoc='True'/></Option>"
                      "  <Option Text='B' Default='True'/><Action Text='tick'/></Dialog>"
                      "<Dialog Text='Pick' NoLoc='True'/></DialogProvider>");
    ASSERT_TRUE(talk.Start());
    EXPECT_TRUE(talk.Next());
    EXPECT_EQ(talk.Text(), "Pick");
    ASSERT_EQ(talk.provider->options.Count(), 2u);
    EXPECT_EQ(talk.consumer->selected, 1);
    talk.consumer->Accept();
    ASSERT_TRUE(talk.consumer->MoveSelection(1));
    EXPECT_EQ(talk.consumer->selected, 0);
    EXPECT_TRUE(talk.consumer->Accept());
    EXPECT_EQ(talk.Text(), "Chose A");
    EXPECT_EQ(chain.Words(), (Texts{"tick"}));
}

TEST(ZDialog, LongTextsPageAndOptionsComeWithTheLastPage) {
    Conversation talk("<DialogProvider><Option Text='Yes'/><Option Text='No'/>"
                      "<Dialog Text='Page one. Page two.' NoLoc='True'/></DialogProvider>");
    ASSERT_TRUE(talk.Start());
    talk.consumer->SetRest(ZString("Page two."));
    EXPECT_TRUE(talk.consumer->Accept()) << "completes the first page";
    EXPECT_EQ(talk.consumer->shown, 10);
    EXPECT_FALSE(talk.consumer->MoveSelection(1)) << "options wait for the last page";
    EXPECT_TRUE(talk.consumer->Accept());
    EXPECT_EQ(talk.Text(), "Page two.");
    EXPECT_EQ(talk.consumer->shown, 0);
    talk.consumer->Accept();
    EXPECT_TRUE(talk.consumer->MoveSelection(1));
}

TEST(ZDialog, NoCloseForbidsCancellingWhileItsTextShows) {
    Conversation talk("<DialogProvider><Dialog Text='Listen.' NoLoc='True' NoClose='True'/>"
                      "<Dialog Text='Go.' NoLoc='True'/></DialogProvider>");
    ASSERT_TRUE(talk.Start());
    EXPECT_FALSE(talk.consumer->CanCancel());
    talk.Next();
    EXPECT_TRUE(talk.consumer->CanCancel());
}

TEST(ZDialog, ConversationsWithoutATreeOrAProviderFailCleanly) {
    Conversation talk("<Data/>");
    EXPECT_FALSE(talk.Start());
    EXPECT_TRUE(talk.consumer->text.IsEmpty());
    // A provider that is gone ends the conversation at the next accept.
    Conversation gone("<DialogProvider><Dialog Text='Hi' NoLoc='True'/><Dialog Text='Again' NoLoc='True'/>"
                      "</DialogProvider>");
    ASSERT_TRUE(gone.Start());
    gone.speakerEntity.DeleteComponents();
    gone.consumer->Accept();
    EXPECT_FALSE(gone.consumer->Accept());
    EXPECT_TRUE(gone.consumer->text.IsEmpty());
}

ZEntity* g_vanishing = nullptr;

// A game command that takes the speaker away in the middle of its conversation.
bool Vanish(const ZHashedString* verb, const ZArray<ZString>& /*words*/, uint32_t, uint32_t) {
    if (verb == nullptr || *verb != ZHashedString("vanish")) {
        return false;
    }
    g_vanishing->DeleteComponents();
    return true;
}

TEST(ZDialog, ASpeakerThatAnActionDestroysEndsTheConversation) {
    struct Case {
        const char* name;
        const char* tree;
    };
    const Case cases[] = {
        {"on the way to the first text", "<Action Text='vanish'/><Dialog Text='Never' NoLoc='True'/>"},
        {"after the first text", "<Dialog Text='Hi' NoLoc='True'/><Action Text='vanish'/><Dialog Text='Never' "
                                 "NoLoc='True'/>"},
        {"inside a joined text", "<Dialog Text='Hi' NoLoc='True' NoStop='True'><Action Text='vanish'/></Dialog>"
                                 "<Dialog Text='Never' NoLoc='True'/>"},
    };
    for (const Case& c : cases) {
        const CommandChain chain(&Vanish);
        Conversation talk(std::string("<DialogProvider>") + c.tree + "</DialogProvider>");
        g_vanishing = &talk.speakerEntity;
        RunCommandText("initdialog Other", talk.provider->GetHandle(), talk.listenerEntity.GetHandle());
        for (int i = 0; i < 4 && talk.consumer->Accept(); ++i) {
        }
        EXPECT_EQ(talk.Text().find("Never"), std::string::npos) << c.name;
        EXPECT_EQ(GetComponent<ZDialogProviderComponent>(&talk.speakerEntity), nullptr) << c.name;
        g_vanishing = nullptr;
    }
}

TEST(ZDialog, ALayeredDefinitionRenamesTheRootAndAppends) {
    Conversation talk("<DialogProvider Name='A'><Dialog Text='One' NoLoc='True'/></DialogProvider>");
    talk.provider->ReadDefinition(Markup("<DialogProvider Name='B'><Dialog Text='Two' NoLoc='True'/></DialogProvider>"));
    ASSERT_TRUE(talk.Start());
    EXPECT_EQ(talk.provider->name, ZString("B"));
    EXPECT_TRUE(talk.Next());
    EXPECT_EQ(talk.Text(), "Two");
}

TEST(ZDialogText, ExpandsTokens) {
    struct Case {
        const char* text;
        const char* expected;
    };
    const Case cases[] = {
        {"[Int]", "7"},
        {"[Int:%03d]", "007"},
        {"[Int:ROMAN]", "VII"},
        {"[Zero:roman]", ""},
        {"[Int:%s]", "7"},
        {"[Int:%n]", "7"},
        {"[Int:%d %d]", "7"},
        {"[Int:%f]", "7"},
        {"[Int:%*d]", "7"},
        {"[Int:<%x>]", "<7>"},
        {"[Float:%.1f]", "2.5"},
        {"[Float:%d]", "2.500000"},
        {"[Float:%s%s%s]", "2.500000"},
        {"[Float]", "2.500000"},
        {"[Flag]", "true"},
        {"[Word]", "hello"},
        {"[Vec]", "['Vec' not found]"},
        {"[Nobody:%d]", "['Nobody' not found]"},
        {"[Int]]", "7]"},
        {"[Bracket] and [Int]", "[x] and 7"},
        {"open [Int", "open [Int"},
        {"{img:Pad:A}", "<img>Pad:A<img>"},
        {"{IMG:Pad}", "<img>Pad:<img>"},
        {"left {img:a:b", "left {img:a:b"},
        {"[]", "['' not found]"},
    };
    Conversation talk("<DialogProvider/>",
                      "<Data><Datum Name='Int' Type='Int' Value='7'/><Datum Name='Zero' Type='Int' Value='0'/>"
                      "<Datum Name='Float' Type='Float' Value='2.5'/><Datum Name='Flag' Type='Bool' Value='true'/>"
                      "<Datum Name='Word' Type='String' Value='hello'/><Datum Name='Bracket' Type='String' Value='[x]'/>"
                      "<Datum Name='Vec' Type='Vec3' Value='1 2 3'/></Data>");
    talk.provider->consumer = talk.consumer->GetHandle();
    for (const Case& c : cases) {
        ZString text(c.text);
        ExpandDialogText(talk.provider, text);
        EXPECT_STREQ(text.GetText(), c.expected) << c.text;
    }
}

TEST(ZDialogText, BracketTokensWaitForAConsumerAndLocWorksWithoutAProxy) {
    Conversation talk("<DialogProvider/>", "<Data><Datum Name='Int' Type='Int' Value='7'/></Data>");
    ZString text("[Int] {img:a:b}");
    ExpandDialogText(talk.provider, text);
    EXPECT_STREQ(text.GetText(), "[Int] <img>a:b<img>") << "no consumer bound: the token stays";

    talk.provider->consumer = talk.consumer->GetHandle();
    ZString loc("[Greeting:loc]");
    ExpandDialogText(talk.provider, loc);
    EXPECT_NE(std::string(loc.GetText()), "[Greeting:loc]") << "a loc token without a proxy still looks up";
    EXPECT_NE(std::string(loc.GetText()).find("not found"), std::string::npos) << loc.GetText();

    ZLocProxyComponent* proxy = AddComponent<ZLocProxyComponent>(&talk.speakerEntity);
    ZString viaProxy("[Other:loc]");
    ExpandDialogText(talk.provider, viaProxy);
    EXPECT_TRUE(proxy->sections.Contains(ZHashedString("Other"))) << "an unknown key joins the proxy's table";
}

}  // namespace

namespace {

void Put32(std::string& out, const uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        out += static_cast<char>(v >> (8 * i) & 0xFF);
    }
}

// A font of line height 10 whose letters advance 6 and the space 3.
std::unique_ptr<ZFont> TestFont() {
    std::string table = "font";
    Put32(table, 1);
    Put32(table, 27);
    Put32(table, 10);
    for (int i = 1; i < 14; ++i) {
        Put32(table, 0);
    }
    const auto glyph = [&table](const uint16_t code, const uint32_t width, const uint32_t before) {
        table += static_cast<char>(code & 0xFF);
        table += static_cast<char>(code >> 8);
        Put32(table, width);
        for (int i = 0; i < 4; ++i) {
            Put32(table, 0);
        }
        Put32(table, before);
        Put32(table, 0);
    };
    for (uint16_t c = 'a'; c <= 'z'; ++c) {
        glyph(c, 5, 1);
    }
    glyph(' ', 3, 0);
    auto font = std::make_unique<ZFont>();
    EXPECT_TRUE(font->LoadFromMemory(reinterpret_cast<const uint8_t*>(table.data()), table.size(), "test"));
    return font;
}

ZFont* g_font = nullptr;

TEST(ZDialog, TheBoxPagesWhatDoesNotFitAndShowsOptionsWithTheLastPage) {
    std::string words;
    for (int i = 0; i < 40; ++i) {
        words += "aaaa ";
    }
    Conversation talk("<DialogProvider><Option Text='Yes'/><Dialog Text='" + words +
                      "end' NoLoc='True'/></DialogProvider>");
    std::unique_ptr<ZFont> font = TestFont();
    g_font = font.get();
    GetEntityGameHooks().getFont = [](ZHashedString) { return g_font; };
    ASSERT_TRUE(talk.Start());
    talk.consumer->Render(1);
    ASSERT_FALSE(talk.consumer->rest.IsEmpty()) << "five rows of six words fit; the rest waits";
    EXPECT_NE(std::string(talk.consumer->rest.GetText()).find("end"), std::string::npos);
    talk.consumer->Accept();  // the first page at once
    talk.consumer->Accept();  // the next page
    EXPECT_EQ(talk.consumer->shown, 0);
    talk.consumer->Render(1);
    EXPECT_TRUE(talk.consumer->rest.IsEmpty());
    font->ResetFrame();
    talk.consumer->Render(1);
    EXPECT_EQ(font->GetRequests().Count(), 0u) << "nothing typed yet, no option yet";
    talk.consumer->Accept();
    talk.consumer->Render(1);
    // Each text comes after its shadow.
    ASSERT_EQ(font->GetRequests().Count(), 4u) << "the page and the option line";
    const float optionY = font->GetRequests()[3].y;
    EXPECT_FLOAT_EQ(optionY - font->GetRequests()[1].y, 20.0f) << "the page, then a blank line";
    EXPECT_FLOAT_EQ(optionY + 10.0f, 192.0f) << "the box ends at 192: the option line is its last";
    g_font = nullptr;
}

}  // namespace
