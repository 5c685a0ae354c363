#pragma once

#include "entity/ZSerialComponent.h"
#include "foundation/ZArray.h"
#include "foundation/ZString.h"
#include "renderer/ZParameterSource.h"

class ZPopupBackdrop;

// Short messages shown one after another in a banner on the player's
// screen, each for five seconds with a half-second fade at both ends, over
// the scene's "Popup Backdrop", whose effect reads the fade from here.
class ZPopupComponent : public ZSerialComponent, public ZParameterSource {
    Z_RTTI(ZPopupComponent, ZSerialComponent)

public:
    static constexpr float kShowTime = 5.0f;
    static constexpr float kFadeTime = 0.5f;

    struct PopupEntry {
        ZString text;
        float remaining = kShowTime;
    };

    // Links itself to the scene's popup backdrop, when there is one.
    ZPopupComponent();
    // Hides the backdrop and unlinks it.
    ~ZPopupComponent() override;

    ZHashedString GetSerialName() const override {
        static const ZHashedString kind("Popup");
        return kind;
    }

    // Answers "BackdropOpacity"; anything else goes to the attached source.
    bool SetParameters(ZEffectParameter* binding, ZHashedString passName, ZParameterSource* source) override;

    // Queues a message for its full five seconds.
    void Push(const ZString& text) { queue.PushBack(PopupEntry{text, kShowTime}); }
    // The fade of the first message; 0 with none.
    float GetOpacity() const;
    void Clear() { queue.Clear(); }
    void RemoveFirst();
    // The player's render each frame: the first message ages by the frame
    // time and goes once it is used up; then Render.
    void Tick(float frameTime);
    // Draws the first message and sizes the backdrop.
    void Render();

    ZArray<PopupEntry> queue;

private:
    static ZPopupBackdrop* FindBackdrop();
};
