#include "menu/ZMenuMgr.h"

#include <cmath>

#include "audio/ZAudioMgr.h"
#include "foundation/ZAppInfo.h"
#include "foundation/ZLog.h"
#include "foundation/ZMatrix4.h"
#include "foundation/ZVector3.h"
#include "framework/ZBaseGame.h"
#include "input/ZControlMgr.h"
#include "input/ZInputBinding.h"
#include "input/ZInputHandler.h"
#include "menu/ZConsoleBackdrop.h"
#include "menu/ZMenu.h"
#include "menu/ZMenuItem.h"
#include "renderer/ZRenderGroup.h"
#include "renderer/ZRenderer.h"

namespace {

ZMenuMgr* g_menuMgr = nullptr;

// DirectInput key codes the input step checks.
constexpr uint8_t kLeftAlt = 0x38;
constexpr uint8_t kRightAlt = 0xB8;
constexpr uint8_t kLeftShift = 0x2A;
constexpr uint8_t kRightShift = 0x36;

struct MenuControls {
    ZHashedString group{"Menus"};
    ZHashedString navUp{"NavUp"};
    ZHashedString navDown{"NavDown"};
    ZHashedString navLeft{"NavLeft"};
    ZHashedString navRight{"NavRight"};
    ZHashedString navNext{"NavNext"};
    ZHashedString accept{"Accept"};
    ZHashedString cancel{"Cancel"};
    ZHashedString click{"Click"};
};

const MenuControls& Controls() {
    static const MenuControls controls;
    return controls;
}

ZHashedString BackdropGroupName() {
    const ZBaseGame* game = ZBaseGame::PeekInstance();
    return game != nullptr ? game->GetMenuBackdropGroupName() : ZHashedString("__ZORP_Menu_Backdrop_Group");
}

// Adds the backdrop to its group when the group exists (it may come after the manager).
void JoinBackdropGroup(ZConsoleBackdrop* backdrop) {
    if (ZRenderer* renderer = PeekRenderer()) {
        if (ZRenderGroup* group = renderer->FindRenderGroup(BackdropGroupName())) {
            group->Add(backdrop);
        }
    }
}

}  // namespace

ZMenuMgr* GetMenuMgr() { return GetOrCreateManager(g_menuMgr); }

ZMenuMgr* PeekMenuMgr() { return g_menuMgr; }

void DestroyMenuMgr() { DestroyManager(g_menuMgr); }

ZMenuMgr::ZMenuMgr() {
    m_backdrop = new ZConsoleBackdrop(ZConsoleBackdrop::kMenu);
    m_backdrop->shader = new ZConsoleBackdropShader(true);
    m_backdrop->visible = false;
    JoinBackdropGroup(m_backdrop);
    UpdateSlide();
}

ZMenuMgr::~ZMenuMgr() {
    // Menus closing now may not queue anything new.
    m_accepting = false;
    m_requests.PushBack(ZMenuRequest{ZMenuRequest::kCloseAll, nullptr});
    ApplyRequests();
    if (ZRenderer* renderer = PeekRenderer()) {
        renderer->RemoveFromAllRenderGroups(m_backdrop);
    }
    delete m_backdrop->shader;
    delete m_backdrop;
    m_backdrop = nullptr;
}

// --- Requests -------------------------------------------------------------------------

bool ZMenuMgr::Refuse(const char* call) const {
    if (m_accepting) {
        return false;
    }
    const ZAppInfo* info = gAppInfo.load();
    if (info != nullptr && info->IsLogging()) {
        ZLog::Printf("Attempted to call ZMenuMgr::%s during Update().", call);
    }
    return true;
}

void ZMenuMgr::OpenMenu(ZMenu* menu) {
    if (Refuse("OpenMenu")) {
        // Nobody else holds a menu handed over for opening: it would be lost.
        // One the stack or the queue still holds stays theirs.
        if (!IsHeld(menu)) {
            delete menu;
        }
        return;
    }
    if (menu == nullptr) {
        return;
    }
    m_direction = kForward;
    m_requests.PushBack(ZMenuRequest{ZMenuRequest::kOpen, menu});
}

void ZMenuMgr::CloseMenu() {
    if (Refuse("CloseMenu()")) {
        return;
    }
    m_direction = kBack;
    m_requests.PushBack(ZMenuRequest{ZMenuRequest::kClose, nullptr});
}

void ZMenuMgr::CloseAll(const int32_t direction) {
    if (Refuse("CloseAll()")) {
        return;
    }
    m_direction = direction;
    m_requests.PushBack(ZMenuRequest{ZMenuRequest::kCloseAll, nullptr});
}

bool ZMenuMgr::IsHeld(const ZMenu* const menu) const {
    if (menu == nullptr) {
        return false;
    }
    for (const ZMenu* open : m_stack) {
        if (open == menu) {
            return true;
        }
    }
    for (const ZMenuRequest& request : m_requests) {
        if (request.menu == menu) {
            return true;
        }
    }
    return false;
}

uint32_t ZMenuMgr::GetQueuedOpenCount() const {
    uint32_t count = 0;
    for (const ZMenuRequest& request : m_requests) {
        count += request.kind == ZMenuRequest::kOpen ? 1 : 0;
    }
    return count;
}

void ZMenuMgr::MarkPendingOpens() {
    for (const ZMenuRequest& request : m_requests) {
        if (request.kind == ZMenuRequest::kOpen && request.menu != nullptr) {
            request.menu->backdropFlagA = true;
            request.menu->backdropFlagB = true;
        }
    }
}

// --- Events ---------------------------------------------------------------------------

void ZMenuMgr::DispatchEvent(const ZMenuEvent& event, ZMenuMouseState* mouse) {
    ZMenu* top = GetTopMenu();
    if (top == nullptr) {
        return;
    }
    ZMenuItem* active = top->GetActiveItem();
    if (active != nullptr && active->CapturesInput()) {
        active->HandleInput(event, mouse);
    } else {
        top->HandleAction(event, mouse);
    }
}

void ZMenuMgr::Send(const int32_t kind) {
    ZMenuEvent event;
    event.kind = kind;
    DispatchEvent(event, nullptr);
}

void ZMenuMgr::PlayNavigationSound() {
    // A sound of that name that was never created plays nothing; the request is counted either way.
    ++m_navigationSounds;
    GetAudioMgr()->PlaySound(m_navigationSound);
}

void ZMenuMgr::Update() {
    float cursor[2] = {0.0f, 0.0f};
    if (ZBaseGame* game = ZBaseGame::PeekInstance()) {
        game->GetCursorClientPos(cursor);
    }
    if (m_state == kNone) {
        const MenuControls& c = Controls();
        ZControlMgr* controls = GetControlMgr();
        const float x = (controls->WasPressedRepeating(c.group, c.navRight) ? 1.0f : 0.0f) +
                        (controls->WasPressedRepeating(c.group, c.navLeft) ? -1.0f : 0.0f);
        const float y = (controls->WasPressedRepeating(c.group, c.navDown) ? 1.0f : 0.0f) +
                        (controls->WasPressedRepeating(c.group, c.navUp) ? -1.0f : 0.0f);
        bool next = controls->WasPressedRepeating(c.group, c.navNext);
        bool accept = controls->WasPressed(c.group, c.accept, 0.5f);
        const bool cancel = controls->WasPressed(c.group, c.cancel, 0.5f);
        // Alt+Enter toggles full screen and Shift+Tab is a chord of its own.
        const ZInputHandler* input = GetInputHandler();
        if (input->IsKeyDown(kLeftAlt) || input->IsKeyDown(kRightAlt)) {
            accept = false;
        }
        if (input->IsKeyDown(kLeftShift) || input->IsKeyDown(kRightShift)) {
            next = false;
        }
        if (m_forcedAccept) {
            accept = true;
            m_forcedAccept = false;
        }

        Send(ZMenuEventKind::FrameStart);
        if (std::fabs(x) >= 0.5f) {
            Send(x > 0.0f ? ZMenuEventKind::NavRight : ZMenuEventKind::NavLeft);
        }
        if (std::fabs(y) >= 0.5f) {
            Send(y > 0.0f ? ZMenuEventKind::NavDown : ZMenuEventKind::NavUp);
        }
        if (next) {
            Send(ZMenuEventKind::NavNext);
        }
        if (accept) {
            Send(ZMenuEventKind::Accept);
        }
        if (cancel) {
            Send(ZMenuEventKind::Cancel);
        }
        if (controls->GetActiveDeviceClass() == ZDeviceClass::KeyboardMouse) {
            ZMenuMouseState mouse;
            mouse.x = cursor[0];
            mouse.y = cursor[1];
            mouse.dx = cursor[0] - m_previousCursor[0];
            mouse.dy = cursor[1] - m_previousCursor[1];
            mouse.pressed = controls->WasPressed(c.group, c.click, 0.5f);
            mouse.released = controls->WasReleased(c.group, c.click, 0.5f);
            mouse.held = controls->IsDown(c.group, c.click, 0.5f) && !mouse.pressed;
            if (mouse.pressed || mouse.released || mouse.dx * mouse.dx + mouse.dy * mouse.dy > 1e-6f) {
                ZMenuEvent event;
                event.kind = ZMenuEventKind::Mouse;
                DispatchEvent(event, &mouse);
            }
        }
        Send(ZMenuEventKind::FrameEnd);
    }
    m_previousCursor[0] = cursor[0];
    m_previousCursor[1] = cursor[1];
}

// --- Transitions ----------------------------------------------------------------------

void ZMenuMgr::UpdateTransitions(const float now) {
    m_now = now;
    m_accepting = false;
    if (m_state != kClosing && !m_requests.IsEmpty()) {
        ZMenu* top = GetTopMenu();
        if (top == nullptr) {
            ApplyRequests();
        } else if (!BeginClosing() && !(top->closeDuration > 0.0f)) {
            // A menu without a closing transition would hold the queue for good.
            ApplyRequests();
        }
    }
    ZMenu* top = GetTopMenu();
    if (m_state != kNone && top != nullptr) {
        UpdateProgress();
        const float duration = m_state == kOpening ? top->openDuration : top->closeDuration;
        if (m_now - m_start > duration) {
            if (m_state == kClosing) {
                Send(ZMenuEventKind::OutDone);
                ApplyRequests();
            } else {
                Send(ZMenuEventKind::InDone);
                EndTransition();
            }
        }
    } else if (m_state == kNone) {
        UpdateProgress();
    }
    m_accepting = true;

    if (m_backdrop->visible) {
        const ZBaseGame* game = ZBaseGame::PeekInstance();
        const float height = game != nullptr ? static_cast<float>(game->GetScreenHeight()) : 0.0f;
        m_backdrop->transform = ZMatrix4::MakeScale(ZVector3(1.0f, -height, 0.0f));
    }
    UpdateProgress();
    Send(ZMenuEventKind::Tick);
}

bool ZMenuMgr::BeginOpening() {
    ZMenu* top = GetTopMenu();
    if (top == nullptr || !(top->openDuration > 0.0f)) {
        return false;
    }
    if (top->delayFrames >= 1) {
        --top->delayFrames;
        return false;
    }
    m_state = kOpening;
    m_start = m_now;
    UpdateProgress();
    return true;
}

bool ZMenuMgr::BeginClosing() {
    ZMenu* top = GetTopMenu();
    if (top == nullptr || !(top->closeDuration > 0.0f)) {
        return false;
    }
    if (top->delayFrames >= 1) {
        --top->delayFrames;
        return false;
    }
    m_state = kClosing;
    m_start = m_now;
    UpdateProgress();
    return true;
}

void ZMenuMgr::EndTransition() {
    m_state = kNone;
    m_start = 0.0f;
    m_progress = 1.0f;
    m_overlayColor = 0xFFFFFFFFu;
    UpdateSlide();
}

void ZMenuMgr::UpdateProgress() {
    float progress = 1.0f;
    ZMenu* top = GetTopMenu();
    if (top != nullptr) {
        if (m_state == kOpening && top->openDuration > 0.0f) {
            progress = (m_now - m_start) / top->openDuration;
        } else if (m_state == kClosing && top->closeDuration > 0.0f) {
            progress = 1.0f - (m_now - m_start) / top->closeDuration;
        }
    }
    progress = progress > 0.0f ? (progress < 1.0f ? progress : 1.0f) : 0.0f;
    if (top != nullptr) {
        top->AdjustTransitionProgress(&progress);
    }
    m_progress = progress;
    const float alpha = std::round(progress * 255.0f);
    const uint32_t a = alpha > 0.0f ? (alpha < 255.0f ? static_cast<uint32_t>(alpha) : 255u) : 0u;
    m_overlayColor = a << 24 | 0x00FFFFFFu;
    UpdateSlide();
}

void ZMenuMgr::UpdateSlide() {
    ZMenu* top = GetTopMenu();
    // The slide is the movement of a transition: at rest a menu stands in its
    // place, even while it holds its progress below 1 (a fade-in of its own).
    if (m_state == kNone || (top != nullptr && top->KeepsPositionDuringTransition(m_direction, m_state))) {
        m_slide = 0.0f;
        return;
    }
    const float rest = 1.0f - m_progress;
    const float f = rest * rest * rest * rest;
    if (m_direction == kForward) {
        m_slide = m_state == kOpening ? f : -f;
    } else if (m_direction == kBack) {
        m_slide = m_state == kOpening ? -f : f;
    } else {
        m_slide = 0.0f;
    }
}

void ZMenuMgr::ApplyRequests() {
    ZMenu* opened = nullptr;
    ZMenu* resumed = nullptr;
    // By index: the destructor's close-all may meet requests queued before it.
    for (uint32_t i = 0; i < m_requests.Count(); ++i) {
        const ZMenuRequest request = m_requests[i];
        if (request.kind == ZMenuRequest::kOpen) {
            ZMenu* menu = request.menu;
            if (menu == nullptr) {
                continue;
            }
            if (m_stack.Contains(menu)) {
                ZLog::Printf("ZMenuMgr: a menu that is already open was opened again; ignored.");
                continue;
            }
            if (opened != nullptr) {
                if (resumed == GetTopMenu()) {
                    resumed = nullptr;
                }
                Send(ZMenuEventKind::InDone);
                Send(ZMenuEventKind::OutDone);
            } else if (resumed != nullptr) {
                resumed = nullptr;
                Send(ZMenuEventKind::OutDone);
            }
            Send(ZMenuEventKind::Covered);
            m_previousTop = GetTopMenu();
            m_stack.PushBack(menu);
            Send(ZMenuEventKind::Opened);
            BeginOpening();
            opened = menu;
            if (m_stack.Count() == 1) {
                ShowBackdrop(true);
                RequestPause(true);
            }
        } else if (request.kind == ZMenuRequest::kClose) {
            ZMenu* top = GetTopMenu();
            if (top == nullptr) {
                continue;
            }
            Send(ZMenuEventKind::Closing);
            m_previousTop = top;
            m_stack.RemoveAt(m_stack.Count() - 1);
            if (opened == top) {
                opened = nullptr;
            }
            delete top;
            resumed = GetTopMenu();
            Send(ZMenuEventKind::Resumed);
            EndTransition();
            BeginOpening();
            if (m_stack.IsEmpty()) {
                ShowBackdrop(false);
                RequestPause(false);
            }
        } else if (request.kind == ZMenuRequest::kCloseAll) {
            const bool hadMenus = !m_stack.IsEmpty();
            while (ZMenu* top = GetTopMenu()) {
                Send(ZMenuEventKind::Closing);
                m_stack.RemoveAt(m_stack.Count() - 1);
                delete top;
            }
            opened = nullptr;
            resumed = nullptr;
            m_previousTop = nullptr;
            EndTransition();
            ShowBackdrop(false);
            // Only a pause this manager asked for is given back.
            if (hadMenus) {
                RequestPause(false);
            }
        }
    }
    m_requests.Clear();
}

void ZMenuMgr::ShowBackdrop(const bool show) {
    if (show) {
        JoinBackdropGroup(m_backdrop);
    }
    m_backdrop->visible = show;
}

void ZMenuMgr::RequestPause(const bool pause) {
    if (ZBaseGame* game = ZBaseGame::PeekInstance()) {
        game->PushPause(pause);
    }
}

float ZMenuMgr::GetOverlayOpacity() const {
    const uint32_t count = m_stack.Count() + GetQueuedOpenCount();
    float opacity = m_stack.IsEmpty() ? 0.0f : 1.0f;
    ZMenu* top = GetTopMenu();
    if (top == nullptr) {
        return opacity;
    }
    if (count == 1) {
        if (m_state == kOpening && top->FadesBackdropOnOpen() && m_previousTop == nullptr) {
            opacity = m_progress;
        } else if (m_state == kClosing && top->FadesBackdropOnClose()) {
            opacity = m_progress;
        }
    }
    top->AdjustBackdropOpacity(&opacity);
    return opacity;
}
