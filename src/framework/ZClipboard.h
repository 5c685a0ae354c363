#pragma once

#include "foundation/ZString.h"

// Plain text between the system clipboard and the engine's strings, for the
// console's and the menus' copy and paste. Text is UTF-8 up to its first zero
// byte. Main thread only.

// The clipboard's text; empty when it holds none, cannot be read or there is
// no window system.
void GetClipboardText(ZString& out);
// Puts the text on the clipboard (an empty text clears it to ""). Silently
// does nothing when the clipboard cannot be written.
void SetClipboardText(const ZString& text);
