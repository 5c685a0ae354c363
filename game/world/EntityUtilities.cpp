#include "game/world/EntityUtilities.h"

#include <cstdio>

#include "entity/ZDialogProviderComponent.h"
#include "foundation/ZLog.h"

bool FormatKey64(char (&buffer)[64], const char* const format, ...) {
    buffer[0] = '\0';
    if (format == nullptr) {
        return false;
    }
    va_list args;
    va_start(args, format);
    const int written = std::vsnprintf(buffer, sizeof(buffer), format, args);
    va_end(args);
    if (written < 0 || static_cast<size_t>(written) >= sizeof(buffer)) {
        ZLog::Printf("Key too long for 63 characters (format \"%s\"); not used.", format);
        buffer[0] = '\0';
        return false;
    }
    return true;
}

ZDialogProviderComponent* CastToDialogProvider(ZRTTIBase* const object) {
    return DynamicCast<ZDialogProviderComponent>(object);
}
