#pragma once

#include <cstdint>

#include "foundation/ZString.h"

class ZDialogProviderComponent;
class ZLocProxyComponent;
class ZRTTIBase;
struct ZDatumEntry;

// Expansion of the tokens in conversation texts, in place. Bracket tokens
// ("[Coins]", "[Level:%03d]", "[Kills:roman]", "[Time:time]", "[Key:loc]")
// take values from the speaker's world; they expand only while a consumer is
// bound (otherwise they stay as written). Brace tokens ("{Gameplay:Jump}",
// "{img:Set:Glyph}") become input prompts or inline image markup.
void ExpandDialogText(ZDialogProviderComponent* provider, ZString& text);
void ExpandBraceTokens(ZString& text);

// The loc proxy of the object, of its entity, or of its shape's owner.
ZLocProxyComponent* FindLocProxy(ZRTTIBase* object);

// The text of a value for a token's format. Formats come from data, so a
// printf format is used only when it holds exactly one conversion of the
// value's kind (d i u o x X c for ints, f F e E g G a A for floats); any
// other format gives the default form ("%d", "%f").
ZString FormatDialogValue(const ZDatumEntry& value, const ZString& format, const ZString& operand);
