#pragma once

#include <cstdarg>
#include <cstdint>

#include "foundation/ZMap.h"

class ZDialogProviderComponent;
class ZRTTIBase;

// Small helpers the game's entities share. Component access itself is the
// engine's AddComponent<T>, GetComponent<T> and ResolveComponent<T>
// (entity/ZComponentLookup.h) and ResolveEntity (entity/ZConditions.h).

// A key of at most 63 characters (powerup keys, input names) formatted
// printf-style into the buffer. A key that would not fit is not cut: the
// buffer is left empty, the attempt is logged and the answer is false.
bool FormatKey64(char (&buffer)[64], const char* format, ...) __attribute__((format(printf, 2, 3)));

// The object as a dialog provider when it is one, else null.
ZDialogProviderComponent* CastToDialogProvider(ZRTTIBase* object);

// The value stored under the key, or a value-initialised one (all zeros)
// when the key is absent. Answers by value, so nothing shared is handed out.
template <typename Key, typename Value>
Value FindOrDefault(const ZMap<Key, Value>& map, const Key& key) {
    if (const auto* node = map.Find(key)) {
        return node->value;
    }
    return Value{};
}
