#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <set>
#include <string>

#include "foundation/ZHashedString.h"
#include "foundation/ZStaticInit.h"

TEST(ZStaticInit, NoneIdReadsBackAsNULL) {
    EXPECT_STREQ(ZHashedString::None().GetText(), "NULL");
    EXPECT_EQ(ZHashedString(), ZHashedString::None());
    EXPECT_EQ(ZHashedString(nullptr), ZHashedString::None());
}

TEST(ZStaticInit, BuiltinNamesAreInternedUnderTheirTexts) {
    const ZBuiltinNames& n = GetBuiltinNames();
    struct Case {
        const ZHashedString& name;
        const char* text;
    };
    const Case cases[] = {
        {n.preHUDTargetSetterPass, "__ZORP_PreHUD_RT_Setter"},
        {n.defaultPass, "__ZORP_Default_Pass"},
        {n.finalTargetSetterPass, "__ZORP_Final_RT_Setter"},
        {n.preHUDPass, "__ZORP_PreHUD_Pass"},
        {n.hudPass, "__ZORP_HUD_Pass"},
        {n.menuPass, "__ZORP_Menu_Pass"},
        {n.consolePass, "__ZORP_Console_Pass"},
        {n.actualTargetSetterPass, "__ZORP_Actual_RT_Setter"},
        {n.finalPass, "__ZORP_Final_Pass"},
        {n.defaultGroup, "__ZORP_Default_Group"},
        {n.defaultBackdropGroup, "__ZORP_Default_Backdrop_Group"},
        {n.defaultAlphaGroup, "__ZORP_Default_Alpha_Group"},
        {n.preHUDGroup, "__ZORP_PreHUD_Group"},
        {n.hudGroup, "__ZORP_HUD_Group"},
        {n.hudGlyphGroup, "__ZORP_HUD_Glyph_Group"},
        {n.menuGroup, "__ZORP_Menu_Group"},
        {n.menuGlyphGroup, "__ZORP_Menu_Glyph_Group"},
        {n.menuBackdropGroup, "__ZORP_Menu_Backdrop_Group"},
        {n.menuUnderlayGroup, "__ZORP_Menu_Underlay_Group"},
        {n.consoleBackdropGroup, "__ZORP_Console_Backdrop_Group"},
        {n.consoleGroup, "__ZORP_Console_Group"},
        {n.consoleGlyphGroup, "__ZORP_Console_Glyph_Group"},
        {n.finalGroup, "__ZORP_Final_Group"},
        {n.titleScreenGroup, "__ZORP_Default_Title_Screen_Group"},
        {n.sfxAudioGroup, "__ZORP_AudioGroup_SFX"},
        {n.bgmAudioGroup, "__ZORP_AudioGroup_BGM"},
        {n.keyboardDeviceType, "Keyboard"},
        {n.mouseDeviceType, "Mouse"},
        {n.joystickDeviceType, "Joystick"},
        {n.xboxDeviceType, "Xbox"},
    };
    std::set<uint32_t> ids;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_STREQ(c.name.GetText(), c.text);
        // Interning the text again, in any case, finds the same name.
        std::string upper(c.text);
        std::string lower(c.text);
        for (size_t i = 0; i < upper.size(); ++i) {
            upper[i] = static_cast<char>(std::toupper(static_cast<unsigned char>(upper[i])));
            lower[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(lower[i])));
        }
        EXPECT_EQ(ZHashedString(c.text), c.name);
        EXPECT_EQ(ZHashedString(upper.c_str()), c.name);
        EXPECT_EQ(ZHashedString(lower.c_str()), c.name);
        EXPECT_NE(c.name, ZHashedString::None());
        ids.insert(c.name.GetId());
    }
    EXPECT_EQ(ids.size(), std::size(cases));
}

TEST(ZStaticInit, DerivedConstants) {
    EXPECT_EQ(kStickAxisScale, 1.0f / 25600.0f);
    EXPECT_EQ(kTriggerScale, 1.0f / 176.0f);
    EXPECT_FLOAT_EQ(kPlayerUnderwaterWalkSpeed, 44.16f);
    EXPECT_FLOAT_EQ(kPlayerScaledFactor, 0.39f);
    // At full deflection the scaled span reaches exactly 1.
    EXPECT_EQ(static_cast<float>(kStickAxisFullScale - kStickAxisDeadZone) * kStickAxisScale, 1.0f);
    EXPECT_EQ(static_cast<float>(kTriggerFullScale - kTriggerDeadZone) * kTriggerScale, 1.0f);
}
