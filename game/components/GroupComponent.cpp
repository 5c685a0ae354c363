#include "game/components/GroupComponent.h"

#include <cstdio>

#include "entity/ZComponentLookup.h"
#include "entity/ZDataComponent.h"
#include "entity/ZDatum.h"
#include "entity/ZEntity.h"
#include "game/components/GroupStore.h"

namespace {

// FNV-1a over the text with ASCII capitals folded, as hashed names fold them.
uint64_t FoldedDigest(const std::string& text, uint64_t basis) {
    for (const char ch : text) {
        const char folded = (ch >= 'A' && ch <= 'Z') ? static_cast<char>(ch + ('a' - 'A')) : ch;
        basis ^= static_cast<uint8_t>(folded);
        basis *= 0x100000001B3ull;
    }
    return basis;
}

}  // namespace

std::string MakeGroupKeyText(const ZHashedString groupName, const ZHashedString datumName) {
    std::string text = "GROUP_";
    text += groupName.GetTextOrEmpty();
    text += '_';
    text += datumName.GetTextOrEmpty();
    if (text.size() <= ZHashedString::kMaxTextLength) {
        return text;
    }
    // A hashed name keeps only the first characters of a longer text, so two
    // long keys would meet in one entry: the whole text is digested instead.
    char digest[64];
    std::snprintf(digest, sizeof digest, "GROUP_#%016llx%016llx",
                  static_cast<unsigned long long>(FoldedDigest(text, 0xCBF29CE484222325ull)),
                  static_cast<unsigned long long>(FoldedDigest(text, 0x84222325CBF29CE4ull)));
    return digest;
}

ZHashedString MakeGroupKey(const ZHashedString groupName, const ZHashedString datumName) {
    return ZHashedString(MakeGroupKeyText(groupName, datumName).c_str());
}

void GroupComponent::ReadDefinition(const ZDefNode& element) {
    ZSerialComponent::ReadDefinition(element);
    static const ZHashedString kName("Name");
    if (element.HasAttribute(kName)) {
        groupName = ZHashedString(element.GetAttribute(kName).GetText());
    }
}

void GroupComponent::Set(const ZHashedString datumName) const {
    ZDataComponent* const data = ResolveComponent<ZDataComponent>(GetOwner());
    GroupStore* const store = GetGroupStore();
    if (data == nullptr || store == nullptr) {
        return;
    }
    ZDatumEntry value;
    data->GetDatum(datumName, value);
    const ZHashedString key = MakeGroupKey(groupName, datumName);
    ZDataComponent* const shared = store->GetData();
    shared->AddDatum(key);
    shared->UpdateDatum(key, value);
    // The saved-state store holds the value from now on, so every later write
    // of the autosave carries it.
    store->SaveToSavedState();
}

void GroupComponent::Get(const ZHashedString datumName) const {
    ZDataComponent* const data = ResolveComponent<ZDataComponent>(GetOwner());
    GroupStore* const store = GetGroupStore();
    if (data == nullptr || store == nullptr) {
        return;
    }
    ZDatumEntry value;
    data->GetDatum(datumName, value);
    const ZHashedString key = MakeGroupKey(groupName, datumName);
    const ZDataComponent* const shared = store->GetData();
    if (shared->HasDatum(key)) {
        shared->GetDatum(key, value);
    }
    // Only a datum the entity declares receives the value.
    data->UpdateDatum(datumName, value);
}
