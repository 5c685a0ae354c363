#pragma once

#include <cstdint>

#include "entity/ZSerialComponent.h"
#include "foundation/ZArray.h"
#include "foundation/ZString.h"
#include "input/ZInputPrompt.h"

class ZDialogProviderComponent;

// The listener's side of a conversation (the player): the text being shown,
// revealed like a typewriter and split into pages, the selected option and
// the actions deferred to the end of the conversation. The game's player
// update and render drive it every frame.
class ZDialogConsumerComponent : public ZSerialComponent {
    Z_RTTI(ZDialogConsumerComponent, ZSerialComponent)

public:
    // Told (with the consumer's entity) after a conversation with a speaker
    // has closed and its deferred commands have run.
    using ClosedCallback = void (*)(ZEntity* owner);

    ZDialogConsumerComponent();

    ZHashedString GetSerialName() const override {
        static const ZHashedString kind("DialogConsumer");
        return kind;
    }
    virtual void SetUserValue(uint32_t value) { userValue = value; }
    virtual uint32_t GetUserValue() const { return userValue; }

    // Binds this consumer and the provider (its conversation already started)
    // and takes the provider's first text.
    void OpenDialog(ZDialogProviderComponent* provider);
    // Ends the conversation: both sides are unbound and the box emptied
    // first, then the provider's "OnClosed" event fires, then every deferred
    // command text runs, in order (one may open the next conversation), then
    // the closed callback.
    void CloseDialog();
    // Reveals the page a frame's worth; the typing voice on every frame
    // that had characters left.
    void TickTypewriter();
    // The accept control: completes the page, or turns it, or moves the
    // conversation on with the selected option; false when it closed.
    bool Accept();
    // Moves the selection by delta, wrapping, once the page is complete and
    // options are offered; whether it moved.
    bool MoveSelection(int32_t delta);
    // False only while the shown text forbids cancelling.
    bool CanCancel() const;
    // Draws the box on the 256 x 224 game screen: 0 at the top, 1 at the
    // bottom. Lays the page out (what does not fit becomes rest), shows the
    // options once the page is complete, and sizes the dialog backdrop.
    void Render(int32_t placement);
    // Called by the layout: the part of text that does not fit the box.
    void SetRest(const ZString& overflow) { rest = overflow; }

    ZDialogProviderComponent* ResolveProvider() const;
    bool IsPageComplete() const { return text.GetCharCount() <= shown; }

    uint32_t userValue = 0;
    uint32_t provider = 0;
    ZString text;
    float revealed = 0.0f;
    int32_t shown = 0;
    ZString rest;
    int32_t selected = -1;
    ZArray<ZString> deferred;
    ZInputPrompt acceptPrompt;
    float guardTimer = -1.0f;
    ClosedCallback closedCallback = nullptr;
};
