// Config.ini from untrusted bytes, loaded into a registry holding a variable
// of every type. Whatever the bytes, every value that was taken must be one
// the registry accepts: finite floats (a slider's range bounds the slider, not
// the stored value). The text written back must load again.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "framework/ZConfigVar.h"

namespace {

struct Values {
    int32_t count = 0;
    float speed = 0.0f;
    bool enabled = false;
    ZHashedString who;
    float tint[4] = {};
    float volume = 0.0f;
    int32_t width = 0;
};

Values g_values;
int g_calls = 0;

void Count() {
    ++g_calls;
}

void Register() {
    ClearConfigRegistry();
    const ZHashedString base = ZHashedString::None();
    RegisterConfigVarInt(base, ZHashedString("Count"), &g_values.count, 5, Count);
    RegisterConfigVarFloat(base, ZHashedString("Speed"), &g_values.speed, 2.5f, Count);
    RegisterConfigVarBool(base, ZHashedString("Enabled"), &g_values.enabled, true, Count);
    RegisterConfigVarString(base, ZHashedString("Who"), &g_values.who, ZHashedString("Alpha"), Count);
    RegisterConfigVarVector4(ZHashedString("Video"), ZHashedString("Tint"), g_values.tint, 0, 0, 0, 1);
    RegisterConfigVarInt(ZHashedString("Video"), ZHashedString("Width"), &g_values.width, 1024, nullptr);
    RegisterConfigVarFloat(ZHashedString("Audio"), ZHashedString("Volume"), &g_values.volume, 0.5f, Count);
    ZConfigVar& volume = FindOrAddConfigVar(ZHashedString("Audio"), ZHashedString("Volume"));
    volume.hasRange = true;
    volume.step = 0.05f;
    volume.minimum = 0.0f;
    volume.maximum = 1.0f;
}

void Check() {
    bool ok = std::isfinite(g_values.speed) && std::isfinite(g_values.volume);
    for (const float c : g_values.tint) {
        ok = ok && std::isfinite(c);
    }
    if (!ok) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 1 << 16) {
        return 0;
    }
    // A fresh registry each time: unknown sections from earlier inputs would
    // otherwise pile up.
    Register();
    LoadConfigText(reinterpret_cast<const char*>(data), size);
    Check();
    const ZString text = FormatConfigText();
    Register();
    LoadConfigText(text.GetText(), static_cast<size_t>(text.GetLength()));
    Check();
    ClearConfigRegistry();
    return 0;
}
