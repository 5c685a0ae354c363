#include <gtest/gtest.h>

#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "InputFixture.h"
#include "input/ZBindingsFile.h"
#include "platform/os/fake/fake.h"
#include "platform/os/files.h"
#include "support/TempDir.h"

using namespace platform;
using inputtest::InputFixture;

namespace {

const ZHashedString kMenus("Menus");
const ZHashedString kGameplay("Gameplay");
const ZHashedString kAccept("Accept");
const ZHashedString kCancel("Cancel");
const ZHashedString kJump("Jump");
const ZHashedString kInteract("Interact");

ZInputBinding Key(const int32_t code) { return ZInputBinding::Button(ZInputDevice::Keyboard, code); }
ZInputBinding PadButton(const int32_t mask) { return ZInputBinding::Button(ZInputDevice::XInput, mask); }

int gDefaultsCalls = 0;

void SetUpDefaults() {
    ++gDefaultsCalls;
    ZControlMgr* mgr = GetControlMgr();
    mgr->AddBinding(kMenus, kAccept, Key(DIK_RETURN));
    mgr->AddBinding(kMenus, kAccept, PadButton(input::XINPUT_GAMEPAD_A));
    mgr->AddBinding(kMenus, kCancel, Key(DIK_ESCAPE));
    mgr->AddBinding(kGameplay, kJump, Key(DIK_SPACE));
    mgr->AddBinding(kGameplay, kJump, ZInputBinding::Axis(ZInputAxis::XboxLSY, 1.0f));
    mgr->AddBinding(kGameplay, kInteract, Key(DIK_E));
}

// Little-endian writer for hand-made files.
struct Bytes {
    std::string data;
    Bytes& U32(const uint32_t v) {
        for (int i = 0; i < 4; ++i) {
            data.push_back(static_cast<char>(v >> (8 * i)));
        }
        return *this;
    }
    Bytes& Tag(const char* four) {
        data.append(four, 4);
        return *this;
    }
    Bytes& Name(const char* text) {
        U32(static_cast<uint32_t>(std::strlen(text) + 1));
        data.append(text, std::strlen(text) + 1);
        return *this;
    }
    Bytes& Button(const uint32_t device, const uint32_t code) { return U32(1).U32(device).U32(code); }
    Bytes& Header() { return Tag("xbnd").U32(3).Tag("zorp"); }
};

std::string Describe(const ZArray<ZInputBinding>& bindings) {
    std::string out;
    for (const ZInputBinding& b : bindings) {
        ZHashedString device;
        out += GetInputName(b, device).GetText();
        out += b.lastUsed == 0.0f ? " " : "(used) ";
    }
    return out;
}

}  // namespace

class BindingsFile : public InputFixture {
protected:
    void SetUp() override {
        InputFixture::SetUp();
        gDefaultsCalls = 0;
        mgr = GetControlMgr();
        ZControlMgr::Hooks hooks;
        hooks.setUpDefaultBindings = SetUpDefaults;
        mgr->SetHooks(hooks);
        mgr->AddControlGroup(kMenus, false, false, true, false);
        mgr->AddControl(kMenus, kAccept, false);
        mgr->AddControl(kMenus, kCancel, false);
        mgr->AddControlGroup(kGameplay, true, true, false, false);
        mgr->AddControl(kGameplay, kJump, false);
        mgr->AddControl(kGameplay, kInteract, false);
        path = dir.File("Config/ControlBindings.bnd");
        os::CreateFolders(dir.File("Config"));
    }

    std::string Bindings(const ZHashedString group, const ZHashedString control) const {
        return Describe(mgr->GetControl(group, control)->bindings);
    }
    std::string All() const {
        return Bindings(kMenus, kAccept) + "| " + Bindings(kMenus, kCancel) + "| " + Bindings(kGameplay, kJump) +
               "| " + Bindings(kGameplay, kInteract);
    }
    std::string Defaults() {
        mgr->ClearAllBindings(false);
        SetUpDefaults();
        return All();
    }
    bool Load(const std::string& bytes) {
        dir.Write("Config/ControlBindings.bnd", bytes);
        return mgr->LoadBindings(path.c_str());
    }

    korvtest::TempDir dir;
    std::string path;
    ZControlMgr* mgr = nullptr;
};

TEST_F(BindingsFile, FirstStartWritesTheDefaults) {
    EXPECT_FALSE(os::Exists(path));
    EXPECT_FALSE(mgr->LoadBindings(path.c_str()));
    EXPECT_EQ(gDefaultsCalls, 1);
    EXPECT_TRUE(os::Exists(path));
    const std::string defaults = All();
    mgr->ClearAllBindings(false);
    EXPECT_TRUE(mgr->LoadBindings(path.c_str()));
    EXPECT_EQ(All(), defaults);
}

TEST_F(BindingsFile, SaveThenLoadGivesTheSameBindingsInOrder) {
    mgr->LoadBindings(path.c_str());
    mgr->ClearBindings(kGameplay, kJump);
    mgr->AddBinding(kGameplay, kJump, PadButton(input::XINPUT_GAMEPAD_B));
    mgr->AddBinding(kGameplay, kJump, ZInputBinding::Axis(ZInputAxis::XboxRT, 1.0f));
    mgr->AddBinding(kGameplay, kJump, ZInputBinding::Axis(ZInputAxis::JoyPOVHatY, -1.0f));
    mgr->AddBinding(kGameplay, kJump, Key(DIK_E));  // taken from Interact
    mgr->ClearBindings(kMenus, kCancel);            // the player unbound it
    mgr->GetControl(kGameplay, kJump)->bindings[0].lastUsed = 12.0f;
    const std::string saved = All();
    ASSERT_TRUE(mgr->SaveBindings(path.c_str()));

    EXPECT_TRUE(mgr->LoadBindings(path.c_str()));
    EXPECT_EQ(All(), std::string(saved).replace(saved.find("(used)"), 6, ""));
    EXPECT_EQ(Bindings(kMenus, kCancel), "");
    EXPECT_EQ(Bindings(kGameplay, kInteract), "");
}

// Display names print "(-)" for a direction of 0 as well as for -1, so the
// directions themselves are compared: a lost one would leave a hat-down or
// stick-down binding dead after a restart.
TEST_F(BindingsFile, AxisDirectionsSurviveSaveAndLoad) {
    struct Case {
        uint32_t axis;
        float direction;
    };
    const Case cases[] = {
        {ZInputAxis::JoyPOVHatY, -1.0f}, {ZInputAxis::JoyPOVHatY, 1.0f}, {ZInputAxis::XboxLSY, -1.0f},
        {ZInputAxis::XboxLSX, 1.0f},     {ZInputAxis::XboxRT, 1.0f},
    };
    mgr->LoadBindings(path.c_str());
    mgr->ClearBindings(kGameplay, kJump);
    for (const Case& c : cases) {
        mgr->AddBinding(kGameplay, kJump, ZInputBinding::Axis(c.axis, c.direction));
    }
    ASSERT_TRUE(mgr->SaveBindings(path.c_str()));
    mgr->ClearAllBindings(false);
    ASSERT_TRUE(mgr->LoadBindings(path.c_str()));

    const ZArray<ZInputBinding>& loaded = mgr->GetControl(kGameplay, kJump)->bindings;
    ASSERT_EQ(loaded.Count(), std::size(cases));
    for (uint32_t i = 0; i < loaded.Count(); ++i) {
        SCOPED_TRACE(GetInputAxisName(cases[i].axis));
        EXPECT_TRUE(loaded[i].IsAxis());
        EXPECT_EQ(loaded[i].AxisId(), cases[i].axis);
        EXPECT_EQ(loaded[i].direction, cases[i].direction);
    }
}

TEST_F(BindingsFile, ParseRoundTripsTheWrittenImage) {
    SetUpDefaults();
    const std::vector<uint8_t> image = ZBindingsFile::Write(*mgr);
    ZArray<ZBindingsFile::Group> groups;
    std::string error;
    ASSERT_EQ(ZBindingsFile::Parse(image.data(), image.size(), groups, error), ZBindingsFile::Status::Ok) << error;
    ASSERT_EQ(groups.Count(), 2u);
    EXPECT_EQ(groups[0].name, "Menus");
    ASSERT_EQ(groups[1].controls.Count(), 2u);
    EXPECT_EQ(groups[1].controls[0].name, "Jump");
    EXPECT_EQ(Describe(groups[1].controls[0].bindings), "Key57 XboxLSY(+) ");
    // The header is "xbnd", 3, "zorp" and the count of groups.
    EXPECT_EQ(std::string(image.begin(), image.begin() + 4), "xbnd");
    EXPECT_EQ(std::string(image.begin() + 8, image.begin() + 12), "zorp");
    EXPECT_EQ(image[4], 3);
    EXPECT_EQ(image[12], 2);
}

TEST_F(BindingsFile, FileReplacesOnlyTheControlsItNames) {
    Bytes file;
    file.Header().U32(2);
    file.Name("Gameplay").U32(2);
    file.Name("Jump").U32(1).Button(ZInputDevice::Keyboard, DIK_W);
    file.Name("Vanished").U32(1).Button(ZInputDevice::Keyboard, DIK_Q);  // no longer exists
    file.Name("NoSuchGroup").U32(1);
    file.Name("Accept").U32(1).Button(ZInputDevice::Keyboard, DIK_Z);
    EXPECT_TRUE(Load(file.data));
    EXPECT_EQ(Bindings(kGameplay, kJump), "Key17 ");
    EXPECT_EQ(Bindings(kGameplay, kInteract), "Key18 ");  // default kept
    EXPECT_EQ(Bindings(kMenus, kAccept), "Key28 XB4096 ");
}

TEST_F(BindingsFile, ZeroBindingsUnbindsAndLaterControlsClaimInputs) {
    Bytes file;
    file.Header().U32(2);
    file.Name("Menus").U32(1);
    file.Name("Cancel").U32(0);
    file.Name("Gameplay").U32(2);
    file.Name("Jump").U32(1).Button(ZInputDevice::Keyboard, DIK_SPACE);
    file.Name("Interact").U32(1).Button(ZInputDevice::Keyboard, DIK_SPACE);
    EXPECT_TRUE(Load(file.data));
    EXPECT_EQ(Bindings(kMenus, kCancel), "");
    EXPECT_EQ(Bindings(kGameplay, kJump), "");
    EXPECT_EQ(Bindings(kGameplay, kInteract), "Key57 ");
}

TEST_F(BindingsFile, OlderFormsAreRead) {
    struct Case {
        const char* what;
        Bytes header;
    };
    Case cases[] = {
        {".bnd: count at once", Bytes().Tag(".bnd")},
        {"version 2: no engine magic", Bytes().Tag("xbnd").U32(2)},
        {"any first word", Bytes().Tag("abcd").U32(3).Tag("zorp")},
    };
    for (Case& c : cases) {
        c.header.U32(1).Name("Menus").U32(1).Name("Accept").U32(1).Button(ZInputDevice::Mouse, 1);
        EXPECT_TRUE(Load(c.header.data)) << c.what;
        EXPECT_EQ(Bindings(kMenus, kAccept), "MB1 ") << c.what;
    }
}

TEST_F(BindingsFile, AnotherEnginesFileKeepsTheDefaults) {
    const std::string defaults = Defaults();
    Bytes file;
    file.Tag("xbnd").U32(3).Tag("zzzz").U32(1).Name("Menus").U32(1).Name("Accept").U32(0);
    EXPECT_FALSE(Load(file.data));
    EXPECT_EQ(All(), defaults);
    EXPECT_EQ(gDefaultsCalls, 2);
}

// Every cut of a valid file, and a set of damaged ones, keeps the defaults
// whole: nothing half-read is applied.
TEST_F(BindingsFile, TruncatedFilesKeepTheDefaults) {
    const std::string defaults = Defaults();
    mgr->ClearAllBindings(false);
    mgr->AddBinding(kMenus, kAccept, Key(DIK_F1));
    mgr->AddBinding(kGameplay, kJump, Key(DIK_F2));
    const std::vector<uint8_t> image = ZBindingsFile::Write(*mgr);
    for (size_t size = 0; size < image.size(); ++size) {
        EXPECT_FALSE(Load(std::string(image.begin(), image.begin() + static_cast<std::ptrdiff_t>(size))))
            << "cut at " << size;
        EXPECT_EQ(All(), defaults) << "cut at " << size;
    }
    EXPECT_TRUE(Load(std::string(image.begin(), image.end())));
    EXPECT_EQ(Bindings(kMenus, kAccept), "Key59 ");
}

TEST_F(BindingsFile, DamagedFilesKeepTheDefaults) {
    const std::string defaults = Defaults();
    struct Case {
        const char* what;
        Bytes file;
    };
    Case cases[] = {
        {"group count past the file", Bytes().Header().U32(1000000)},
        {"negative group count", Bytes().Header().U32(0xFFFFFFFF)},
        {"huge name length", Bytes().Header().U32(1).U32(0x7FFFFFFF).Tag("Menu")},
        {"zero name length", Bytes().Header().U32(1).U32(0).U32(0)},
        {"name without its zero", Bytes().Header().U32(1).U32(5).Tag("Menu").Tag("s\0\0\0").U32(0)},
        {"name longer than a name can be", Bytes().Header().U32(1).U32(300)},
        {"negative control count", Bytes().Header().U32(1).Name("Menus").U32(0x80000000)},
        {"binding count past the file",
         Bytes().Header().U32(1).Name("Menus").U32(1).Name("Accept").U32(2).Button(1, 1)},
        {"one group of two", Bytes().Header().U32(2).Name("Menus").U32(1).Name("Accept").U32(1).Button(1, 1)},
    };
    for (Case& c : cases) {
        EXPECT_FALSE(Load(c.file.data)) << c.what;
        EXPECT_EQ(All(), defaults) << c.what;
        // Saving the defaults at shutdown must not destroy the player's file.
        ASSERT_TRUE(mgr->SaveBindings(path.c_str())) << c.what;
        EXPECT_EQ(dir.Read("Config/ControlBindings.bnd.unused"), c.file.data) << c.what;
    }
}

// Codes out of their device's range load (they came from the file) but read 0.
TEST_F(BindingsFile, OutOfRangeCodesLoadAndReadNothing) {
    Bytes file;
    file.Header().U32(1).Name("Menus").U32(1).Name("Accept").U32(3);
    file.Button(ZInputDevice::Keyboard, 70000).Button(ZInputDevice::Mouse, 0xFFFFFFFF).Button(9, 1);
    ASSERT_TRUE(Load(file.data));
    EXPECT_EQ(mgr->GetControl(kMenus, kAccept)->bindings.Count(), 3u);
    StartDevices();
    for (uint8_t code = 0; code < 255; ++code) {
        fake->SetKey(code, true);
    }
    fake->SetMouseButton(0, true);
    Frame();
    EXPECT_EQ(mgr->GetValue(kMenus, kAccept), 0.0f);
}

TEST_F(BindingsFile, AxisDirectionsAreReducedToTheirSign) {
    Bytes file;
    const float odd[] = {0.25f, -7.0f};
    uint32_t bits[2];
    std::memcpy(bits, odd, sizeof(bits));
    file.Header().U32(1).Name("Gameplay").U32(1).Name("Jump").U32(3);
    file.U32(2).U32(ZInputAxis::XboxLSX).U32(bits[0]);
    file.U32(2).U32(ZInputAxis::XboxLSY).U32(bits[1]);
    file.U32(2).U32(ZInputAxis::XboxRSX).U32(0x7FC00000);  // NaN
    ASSERT_TRUE(Load(file.data));
    const ZArray<ZInputBinding>& b = mgr->GetControl(kGameplay, kJump)->bindings;
    ASSERT_EQ(b.Count(), 3u);
    EXPECT_EQ(b[0].direction, 1.0f);
    EXPECT_EQ(b[1].direction, -1.0f);
    EXPECT_EQ(b[2].direction, 0.0f);
}

TEST_F(BindingsFile, ControlsMenuResetRestoresTheDefaults) {
    const std::string defaults = Defaults();
    mgr->ClearAllBindings(true);
    mgr->AddBinding(kMenus, kCancel, Key(DIK_Q));
    mgr->RestoreDefaultBindings();
    EXPECT_EQ(All(), defaults);
}

TEST_F(BindingsFile, FailedSaveKeepsTheOldFile) {
    mgr->LoadBindings(path.c_str());
    const std::string before = dir.Read("Config/ControlBindings.bnd");
    ASSERT_FALSE(before.empty());
    mgr->ClearAllBindings(false);
    {
        os::fake::DiskFull full;
        EXPECT_FALSE(mgr->SaveBindings(path.c_str()));
    }
    EXPECT_EQ(dir.Read("Config/ControlBindings.bnd"), before);
    EXPECT_FALSE(mgr->SaveBindings(dir.File("NoSuchFolder/ControlBindings.bnd").c_str()));
}
