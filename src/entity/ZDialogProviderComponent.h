#pragma once

#include <cstdint>

#include "entity/ZSerialComponent.h"
#include "foundation/ZArray.h"
#include "foundation/ZString.h"

class ZDialogConsumerComponent;
class ZDialogNode;
class ZDialogOptionNode;
class ZDialogRootNode;
class ZDialogTextNode;

// The side of a conversation that talks (a character, a sign): it owns the
// parsed dialog tree, walks a fresh clone of it per conversation and builds
// the text to show and the options to offer.
class ZDialogProviderComponent : public ZSerialComponent {
    Z_RTTI(ZDialogProviderComponent, ZSerialComponent)

public:
    struct DialogOptionEntry {
        ZString label;
        ZDialogOptionNode* node = nullptr;  // a node of the conversation, not owned
    };

    ZDialogProviderComponent() = default;
    ~ZDialogProviderComponent() override;

    // Events; then the "DialogProvider" element's nodes. A second element
    // (a layered definition) renames the root when it has "Name" and appends
    // its nodes to the existing tree.
    void ReadDefinition(const ZDefNode& element) override;
    ZHashedString GetSerialName() const override {
        static const ZHashedString kind("DialogProvider");
        return kind;
    }

    // Starts a conversation on a fresh clone of the tree and walks to its
    // first text. False, with nothing started, when no tree was read.
    bool StartDialog();
    // Moves on: takes the chosen option (choice >= 0) and walks to the next
    // text, which replaces the text, or is appended to it (after a line break
    // unless noBreak). False when the conversation has run out.
    bool Advance(int32_t choice, bool append, bool noBreak);

    // Drops the tree and the conversation (the next ReadDefinition reads a
    // fresh tree): a speaker that is given another dialog to say.
    void ClearDialogs();

    // The consumer in the conversation, while its handle resolves.
    ZDialogConsumerComponent* ResolveConsumer() const;
    // Called by an option node as the walk passes it.
    void OfferOption(const ZString& label, ZDialogOptionNode* node, bool isDefault);

    const ZDialogRootNode* GetTree() const { return m_tree; }
    ZDialogRootNode* GetConversation() const { return m_conversation; }
    ZDialogTextNode* GetCurrent() const { return m_current; }

    uint32_t consumer = 0;
    ZString name;
    ZString text;
    ZArray<DialogOptionEntry> options;
    int32_t defaultOption = 0;
    // Set by game code only; each counts as set only above 0.
    float typingRate = -1.0f;
    int32_t rows = -1;
    int32_t minimumRows = -1;
    int32_t boxWidth = -1;

private:
    // One walk to the next text (Advance joins the NoStop ones).
    bool Step(int32_t choice, bool append, bool noBreak);

    ZDialogRootNode* m_tree = nullptr;
    ZDialogRootNode* m_conversation = nullptr;
    ZDialogTextNode* m_current = nullptr;
};
