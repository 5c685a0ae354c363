#pragma once

#include <cstdint>

#include "foundation/ZArray.h"
#include "foundation/ZHashedString.h"
#include "menu/ZMenuEvent.h"

class ZConsoleBackdrop;
class ZMenu;

// A queued change of the menu stack.
struct ZMenuRequest {
    enum Kind : int32_t { kOpen = 1, kClose = 2, kCloseAll = 3 };
    int32_t kind = 0;
    ZMenu* menu = nullptr;  // the menu to open (kOpen only)
};

// The stack of open menus, and the only way to open or close one: callers
// queue requests, which UpdateTransitions applies between frames after the
// top menu's closing transition, so a menu never disappears under the code
// that runs it. It turns the "Menus" controls and the mouse into menu events
// (Update), animates the sliding transitions, pauses the game while any menu
// is open and shows the dark backdrop behind the menus.
//
// Requests made while UpdateTransitions applies requests (from the handlers
// of the events it sends) are refused with a log line. Main thread only.
class ZMenuMgr {
public:
    enum TransitionState : int32_t { kNone = 0, kOpening = 1, kClosing = 2 };
    enum Direction : int32_t { kForward = 0, kBack = 1 };

    // Creates the backdrop and puts it, hidden, in the base game's menu
    // backdrop group.
    ZMenuMgr();
    // Closes every menu (each gets Closing and is deleted, the pause is
    // released), then frees the backdrop.
    ~ZMenuMgr();
    ZMenuMgr(const ZMenuMgr&) = delete;
    ZMenuMgr& operator=(const ZMenuMgr&) = delete;

    // Queues opening the menu (forward); the manager owns it once the request
    // is applied. A null menu is ignored when applied.
    void OpenMenu(ZMenu* menu);
    // Queues closing the top menu, whichever it is (back).
    void CloseMenu();
    // Queues closing every menu, sliding in the given direction.
    void CloseAll(int32_t direction = kBack);
    // The input step: the "Menus" controls and the mouse as events to the
    // top menu (or its capturing item). Sends nothing while a transition runs.
    void Update();
    // Applies requests, advances the transition (now: the game's clock in
    // seconds) and sends Tick.
    void UpdateTransitions(float now);
    // Sends the event to the top menu, or to its active item while that
    // captures input. Nothing without a menu.
    void DispatchEvent(const ZMenuEvent& event, ZMenuMouseState* mouse);
    // Flags every queued menu to open over an already dark backdrop.
    void MarkPendingOpens();
    // The backdrop's opacity, 0..1.
    float GetOverlayOpacity() const;

    ZMenu* GetTopMenu() const { return m_stack.IsEmpty() ? nullptr : m_stack[m_stack.Count() - 1]; }
    // The open menus from the bottom (0) up; null past the top.
    ZMenu* GetMenuAt(uint32_t index) const { return index < m_stack.Count() ? m_stack[index] : nullptr; }
    uint32_t GetOpenMenuCount() const { return m_stack.Count(); }
    uint32_t GetQueuedOpenCount() const;
    const ZArray<ZMenuRequest>& GetRequests() const { return m_requests; }
    int32_t GetTransitionState() const { return m_state; }
    int32_t GetDirection() const { return m_direction; }
    float GetProgress() const { return m_progress; }
    // The top menu's horizontal slide, -1..1 (0 at rest).
    float GetSlideOffset() const { return m_slide; }
    // White with alpha = progress x 255 (packed ARGB); opaque white at rest.
    uint32_t GetOverlayColor() const { return m_overlayColor; }
    // Replaces the overlay colour until the next progress update.
    void SetOverlayColor(uint32_t argb) { m_overlayColor = argb; }
    ZConsoleBackdrop* GetBackdrop() const { return m_backdrop; }

    // The sound menus play when the selection moves and on Accept.
    ZHashedString GetNavigationSound() const { return m_navigationSound; }
    void SetNavigationSound(ZHashedString sound) { m_navigationSound = sound; }
    // Plays the navigation sound; counted, for the menus' tests.
    void PlayNavigationSound();
    uint32_t GetNavigationSoundCount() const { return m_navigationSounds; }

    // The next input step takes Accept as pressed.
    void ForceAccept() { m_forcedAccept = true; }

private:
    bool Refuse(const char* call) const;
    // The menu is on the stack or waits in the request queue.
    bool IsHeld(const ZMenu* menu) const;
    bool BeginOpening();
    bool BeginClosing();
    void EndTransition();
    void UpdateProgress();
    void UpdateSlide();
    void ApplyRequests();
    void ShowBackdrop(bool show);
    void RequestPause(bool pause);
    void Send(int32_t kind);

    ZHashedString m_navigationSound;
    uint32_t m_navigationSounds = 0;
    float m_previousCursor[2] = {0.0f, 0.0f};
    ZArray<ZMenuRequest> m_requests;
    bool m_accepting = true;
    int32_t m_state = kNone;
    int32_t m_direction = kForward;
    ZArray<ZMenu*> m_stack;
    ZMenu* m_previousTop = nullptr;
    float m_start = 0.0f;
    float m_progress = 1.0f;
    uint32_t m_overlayColor = 0xFFFFFFFFu;
    float m_slide = 0.0f;
    float m_now = 0.0f;
    ZConsoleBackdrop* m_backdrop = nullptr;
    bool m_forcedAccept = false;
};

// The menu manager, made on first use.
ZMenuMgr* GetMenuMgr();
// The manager when it exists, else null.
ZMenuMgr* PeekMenuMgr();
// Frees it (engine shutdown, before the renderer goes).
void DestroyMenuMgr();
