#include "input/ZControlMgr.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "foundation/ZLog.h"
#include "foundation/ZMath.h"
#include "framework/ZLocMgr.h"
#include "input/ZBindingsFile.h"
#include "input/ZInputHandler.h"
#include "platform/os/files.h"

namespace {

ZControlMgr* gControlMgr = nullptr;

constexpr float kRepeatDelay = 0.35f;
constexpr float kRepeatInterval = 0.075f;
constexpr float kDefaultThreshold = 0.5f;
constexpr float kStickEpsilon = 0.0001f;
// A bindings file is a few kilobytes; anything this large is not one.
constexpr int64_t kMaxBindingsFileSize = 16 * 1024 * 1024;

constexpr float kNever = std::numeric_limits<float>::infinity();

// The response ramp shared by controls and sticks: the cap holds a sum that
// jumps above the threshold, then follows it at the ramp rate after the delay.
struct Ramp {
    float& rampStart;
    float& cap;
    float initialCap;
    float rampThreshold;
    float rampDelay;
    float rampRate;

    void Reset() {
        rampStart = kNever;
        cap = initialCap;
    }
    void Run(const float magnitude, const float dt, const float time) {
        if (rampStart > time && magnitude > rampThreshold) {
            rampStart = time;
            cap = initialCap;
        } else if (rampDelay + rampStart < time) {
            const float k = ZMath::Clamp01(rampRate * dt);
            const float target = magnitude > cap ? magnitude : cap;
            cap += (target - cap) * k;
        }
    }
};

Ramp RampOf(ZControl& c) {
    return Ramp{c.rampStart, c.cap, c.initialCap, c.rampThreshold, c.rampDelay, c.rampRate};
}

Ramp RampOf(ZStickControl& s) {
    return Ramp{s.rampStart, s.cap, s.initialCap, s.rampThreshold, s.rampDelay, s.rampRate};
}

ZControl* FindIn(const ZControlGroup& group, const ZHashedString name) {
    for (ZControl* control : group.controls) {
        if (control->name == name) {
            return control;
        }
    }
    return nullptr;
}

void EmptyBindings(ZControl& control) {
    control.bindings.RemoveRange(0, control.bindings.Count());
}

bool TakesPart(const ZControlGroup& group, const int32_t mode) {
    return (mode == 1 && group.perFrame != 0) || (mode == 2 && group.perFrame == 0);
}

// Shutdown saves the bindings in play over the file: one that could not be
// used (damaged, or from another version) moves aside first, so the player's
// own bindings are not lost with it.
void KeepUnusedBindingsFile(const char* path) {
    const std::string aside = std::string(path) + ".unused";
    const int error = os::RenameFile(path, aside);
    if (error != 0) {
        ZLog::Printf("ZControlMgr::LoadBindings: cannot move \"%s\" aside (%s); it will be replaced", path,
                     std::strerror(error));
        return;
    }
    ZLog::Printf("ZControlMgr::LoadBindings: \"%s\" kept as \"%s\"", path, aside.c_str());
}

}  // namespace

ZControlMgr* GetControlMgr() {
    if (gControlMgr == nullptr) {
        gControlMgr = new ZControlMgr();
    }
    return gControlMgr;
}

void DeleteControlMgr() {
    delete gControlMgr;
    gControlMgr = nullptr;
}

ZControlMgr::ZControlMgr() {
    ResetActiveDeviceClass();
}

ZControlMgr::~ZControlMgr() {
    for (ZControlGroup* group : m_groups) {
        delete group;
    }
    for (ZStickControl* stick : m_sticks) {
        delete stick;
    }
    for (ZShareSet* set : m_shareSets) {
        delete set;
    }
}

// --- Building ----------------------------------------------------------------------

ZControlGroup* ZControlMgr::AddControlGroup(const ZHashedString name, const bool cinematicBlock, const bool rebindable,
                                            const bool perFrame, const bool hiddenGroup) {
    if (FindGroup(name) >= 0) {
        return nullptr;
    }
    ZControlGroup* group = new ZControlGroup();
    group->name = name;
    group->cinematicBlock = cinematicBlock ? 1 : 0;
    group->rebindable = rebindable ? 1 : 0;
    group->perFrame = perFrame ? 1 : 0;
    group->hiddenGroup = hiddenGroup ? 1 : 0;
    m_groups.PushBack(group);
    return group;
}

ZControl* ZControlMgr::AddControl(const ZHashedString group, const ZHashedString name, const bool hidden) {
    ZControlGroup* owner = GetGroup(group);
    if (owner == nullptr || FindIn(*owner, name) != nullptr) {
        return nullptr;
    }
    ZControl* control = new ZControl();
    control->name = name;
    control->hidden = hidden ? 1 : 0;
    owner->controls.PushBack(control);
    return control;
}

ZStickControl* ZControlMgr::AddStick(const ZHashedString group, const ZHashedString up, const ZHashedString down,
                                     const ZHashedString right, const ZHashedString left) {
    const ZControlGroup* owner = GetGroup(group);
    if (owner == nullptr) {
        return nullptr;
    }
    for (const ZHashedString name : {up, down, right, left}) {
        if (FindIn(*owner, name) == nullptr) {
            ZLog::Printf("ZControlMgr::AddStick: group \"%s\" has no control \"%s\"; no stick made",
                         group.GetText() != nullptr ? group.GetText() : "?",
                         name.GetText() != nullptr ? name.GetText() : "?");
            return nullptr;
        }
    }
    ZStickControl* stick = new ZStickControl();
    stick->group = group;
    stick->up = up;
    stick->down = down;
    stick->right = right;
    stick->left = left;
    m_sticks.PushBack(stick);
    return stick;
}

ZShareSet* ZControlMgr::AddShareSet(const ZHashedString group, const ZArray<ZHashedString>& controls) {
    if (GetGroup(group) == nullptr) {
        return nullptr;
    }
    ZShareSet* set = new ZShareSet();
    set->group = group;
    set->controls = controls;
    m_shareSets.PushBack(set);
    return set;
}

// --- Lookup --------------------------------------------------------------------------

int32_t ZControlMgr::FindGroup(const ZHashedString name) const {
    for (uint32_t i = 0; i < m_groups.Count(); ++i) {
        if (m_groups[i]->name == name) {
            return static_cast<int32_t>(i);
        }
    }
    return -1;
}

int32_t ZControlMgr::FindControl(const ZHashedString group, const ZHashedString name) const {
    const ZControlGroup* owner = GetGroup(group);
    if (owner == nullptr) {
        return -1;
    }
    for (uint32_t i = 0; i < owner->controls.Count(); ++i) {
        if (owner->controls[i]->name == name) {
            return static_cast<int32_t>(i);
        }
    }
    return -1;
}

ZControlGroup* ZControlMgr::GetGroup(const ZHashedString name) const {
    const int32_t index = FindGroup(name);
    return index >= 0 ? m_groups[static_cast<uint32_t>(index)] : nullptr;
}

ZControl* ZControlMgr::GetControl(const ZHashedString group, const ZHashedString name) const {
    const ZControlGroup* owner = GetGroup(group);
    return owner != nullptr ? FindIn(*owner, name) : nullptr;
}

ZHashedString ZControlMgr::GetGroupIdAt(const int32_t index) const {
    if (index < 0 || static_cast<uint32_t>(index) >= m_groups.Count()) {
        return ZHashedString::None();
    }
    return m_groups[static_cast<uint32_t>(index)]->name;
}

ZHashedString ZControlMgr::GetControlIdAt(const ZHashedString group, const int32_t index) const {
    const ZControlGroup* owner = GetGroup(group);
    if (owner == nullptr || index < 0 || static_cast<uint32_t>(index) >= owner->controls.Count()) {
        return ZHashedString::None();
    }
    return owner->controls[static_cast<uint32_t>(index)]->name;
}

int32_t ZControlMgr::CountVisibleControls(const ZHashedString group) const {
    const ZControlGroup* owner = GetGroup(group);
    if (owner == nullptr) {
        return 0;
    }
    int32_t visible = 0;
    for (const ZControl* control : owner->controls) {
        visible += control->hidden == 0 ? 1 : 0;
    }
    return visible;
}

// --- Bindings ------------------------------------------------------------------------

bool ZControlMgr::SharesInput(const ZControlGroup& group, const ZHashedString a, const ZHashedString b) const {
    for (const ZShareSet* set : m_shareSets) {
        if (set->group == group.name && set->controls.Contains(a) && set->controls.Contains(b)) {
            return true;
        }
    }
    return false;
}

void ZControlMgr::RemoveConflicts(ZControlGroup& group, const ZControl& target, const ZInputBinding& binding) {
    for (ZControl* control : group.controls) {
        if (control != &target && SharesInput(group, target.name, control->name)) {
            continue;
        }
        for (uint32_t i = 0; i < control->bindings.Count();) {
            if (control->bindings[i].SameInput(binding)) {
                control->bindings.RemoveAt(i);
            } else {
                ++i;
            }
        }
    }
}

void ZControlMgr::AddBinding(const ZHashedString group, const ZHashedString control, const ZInputBinding& binding) {
    ZControlGroup* owner = GetGroup(group);
    ZControl* target = owner != nullptr ? FindIn(*owner, control) : nullptr;
    if (target == nullptr) {
        return;
    }
    // Copied first: the binding may live in a list the removal changes.
    const ZInputBinding copy = binding;
    RemoveConflicts(*owner, *target, copy);
    target->bindings.PushBack(copy);
}

void ZControlMgr::ClearBindings(const ZHashedString group, const ZHashedString control) {
    if (ZControl* target = GetControl(group, control)) {
        EmptyBindings(*target);
    }
}

void ZControlMgr::ClearAllBindings(const bool onlyRebindable) {
    for (ZControlGroup* group : m_groups) {
        if (onlyRebindable && group->rebindable == 0) {
            continue;
        }
        for (ZControl* control : group->controls) {
            EmptyBindings(*control);
        }
    }
}

void ZControlMgr::RestoreDefaultBindings() {
    ClearAllBindings(false);
    if (m_hooks.setUpDefaultBindings != nullptr) {
        m_hooks.setUpDefaultBindings();
    }
}

bool ZControlMgr::LoadBindings(const char* path) {
    ClearAllBindings(false);
    std::FILE* file = os::OpenFile(path, "rb");
    ClearAllBindings(false);
    if (m_hooks.setUpDefaultBindings != nullptr) {
        m_hooks.setUpDefaultBindings();
    }
    if (file == nullptr) {
        // First start: the defaults become the file.
        SaveBindings(path);
        return false;
    }

    const int64_t size = os::FileSize(file);
    std::vector<uint8_t> bytes;
    bool readAll = size >= 0 && size <= kMaxBindingsFileSize;
    if (readAll) {
        bytes.resize(static_cast<size_t>(size));
        readAll = bytes.empty() || std::fread(bytes.data(), 1, bytes.size(), file) == bytes.size();
    }
    std::fclose(file);
    if (!readAll) {
        ZLog::Printf("ZControlMgr::LoadBindings: cannot read \"%s\"; keeping the default bindings", path);
        KeepUnusedBindingsFile(path);
        return false;
    }

    ZArray<ZBindingsFile::Group> groups;
    std::string error;
    const ZBindingsFile::Status status = ZBindingsFile::Parse(bytes.data(), bytes.size(), groups, error);
    if (status != ZBindingsFile::Status::Ok) {
        ZLog::Printf("ZControlMgr::LoadBindings: \"%s\" not used (%s); keeping the default bindings", path,
                     error.c_str());
        KeepUnusedBindingsFile(path);
        return false;
    }

    // In file order, so an input a later control of a group claims moves there.
    for (const ZBindingsFile::Group& fileGroup : groups) {
        ZControlGroup* group = GetGroup(ZHashedString(fileGroup.name.c_str()));
        for (const ZBindingsFile::Control& fileControl : fileGroup.controls) {
            ZControl* control = group != nullptr ? FindIn(*group, ZHashedString(fileControl.name.c_str())) : nullptr;
            if (control == nullptr) {
                continue;
            }
            EmptyBindings(*control);
            for (const ZInputBinding& binding : fileControl.bindings) {
                RemoveConflicts(*group, *control, binding);
                control->bindings.PushBack(binding);
            }
        }
    }
    return true;
}

bool ZControlMgr::SaveBindings(const char* path) const {
    const std::vector<uint8_t> bytes = ZBindingsFile::Write(*this);
    const int error = os::WriteFileAtomic(path, bytes.data(), bytes.size());
    if (error != 0) {
        ZLog::Printf("ZControlMgr::SaveBindings: cannot write \"%s\" (error %d); the old file is kept", path, error);
        return false;
    }
    return true;
}

// --- Evaluation ----------------------------------------------------------------------

void ZControlMgr::Update(const float dt, const float time, const int32_t mode) {
    const ZInputHandler& handler = *GetInputHandler();
    const int32_t classBefore = m_activeDeviceClass;

    for (ZControlGroup* group : m_groups) {
        if (!TakesPart(*group, mode)) {
            continue;
        }
        for (ZControl* control : group->controls) {
            bool active = false;
            bool mouseDriven = false;
            control->rawValue =
                EvaluateBindings(control->bindings, handler, active, mouseDriven, m_activeDeviceClass, time);
            control->active = active ? 1 : 0;
            control->mouseDriven = mouseDriven ? 1 : 0;
            control->repeatTimer -= dt;
            if (control->repeatTimer < 0.0f) {
                control->repeatTimer = 0.0f;
            }
        }
    }

    for (ZControlGroup* group : m_groups) {
        if (!TakesPart(*group, mode)) {
            continue;
        }
        for (ZControl* control : group->controls) {
            control->previousValue = control->value;
            Ramp ramp = RampOf(*control);
            if (control->active == 0 || control->mouseDriven != 0) {
                ramp.Reset();
                control->value = control->idleScale * control->rawValue;
                continue;
            }
            ramp.Run(control->rawValue, dt, time);
            const float shaped = std::pow(control->rawValue, control->responseExponent);
            control->value = control->activeScale * (shaped < control->cap ? shaped : control->cap);
        }
    }

    if (mode == 2) {
        UpdateSticks(dt, time);
    }

    if (m_activeDeviceClass != classBefore && m_hooks.onActiveDeviceClassChanged != nullptr) {
        m_hooks.onActiveDeviceClassChanged(m_activeDeviceClass);
    }
}

void ZControlMgr::UpdateSticks(const float dt, const float time) {
    for (ZStickControl* stick : m_sticks) {
        const ZControlGroup* group = GetGroup(stick->group);
        if (group == nullptr) {
            continue;
        }
        ZControl* up = FindIn(*group, stick->up);
        ZControl* down = FindIn(*group, stick->down);
        ZControl* right = FindIn(*group, stick->right);
        ZControl* left = FindIn(*group, stick->left);
        if (up == nullptr || down == nullptr || right == nullptr || left == nullptr) {
            continue;
        }
        Ramp ramp = RampOf(*stick);
        const ZControl* four[] = {up, down, right, left};
        bool anyActive = false;
        bool anyMouse = false;
        for (const ZControl* c : four) {
            anyActive = anyActive || c->active != 0;
            anyMouse = anyMouse || c->mouseDriven != 0;
        }
        if (!anyActive || anyMouse) {
            ramp.Reset();
            continue;
        }

        float x = right->rawValue - left->rawValue;
        float y = down->rawValue - up->rawValue;
        const float lengthSq = x * x + y * y;
        const float inverse = 1.0f / std::sqrt(lengthSq);
        const float dirX = std::isinf(inverse) ? 0.0f : x * inverse;
        const float dirY = std::isinf(inverse) ? 0.0f : y * inverse;
        if (lengthSq > 1.0f) {
            x = dirX;
            y = dirY;
        }
        const float magnitude = std::sqrt(x * x + y * y);
        if (stick->lastDirection[0] * dirX + stick->lastDirection[1] * dirY < stick->reversalCos ||
            magnitude < kStickEpsilon) {
            ramp.Reset();
        }
        stick->lastDirection[0] = dirX;
        stick->lastDirection[1] = dirY;

        ramp.Run(magnitude, dt, time);
        const float shaped = std::pow(magnitude, stick->responseExponent);
        const float s = shaped < stick->cap ? shaped : stick->cap;
        x = dirX * s;
        y = dirY * s;
        up->value = (-y > 0.0f ? -y : 0.0f) * up->activeScale;
        down->value = (y > 0.0f ? y : 0.0f) * down->activeScale;
        right->value = (x > 0.0f ? x : 0.0f) * right->activeScale;
        left->value = (-x > 0.0f ? -x : 0.0f) * left->activeScale;
    }
}

// --- Queries -------------------------------------------------------------------------

const ZControl* ZControlMgr::FindQueryable(const ZHashedString group, const ZHashedString control) const {
    const ZControlGroup* owner = GetGroup(group);
    if (owner == nullptr) {
        return nullptr;
    }
    if (owner->cinematicBlock != 0 && m_hooks.isInputBlocked != nullptr && m_hooks.isInputBlocked()) {
        return nullptr;
    }
    return FindIn(*owner, control);
}

float ZControlMgr::GetValue(const ZHashedString group, const ZHashedString control) const {
    const ZControl* c = FindQueryable(group, control);
    return c != nullptr ? c->value : 0.0f;
}

bool ZControlMgr::WasPressed(const ZHashedString group, const ZHashedString control, const float threshold) const {
    const ZControl* c = FindQueryable(group, control);
    return c != nullptr && c->value >= threshold && c->previousValue < threshold;
}

bool ZControlMgr::WasReleased(const ZHashedString group, const ZHashedString control, const float threshold) const {
    const ZControl* c = FindQueryable(group, control);
    return c != nullptr && c->value < threshold && c->previousValue >= threshold;
}

bool ZControlMgr::IsDown(const ZHashedString group, const ZHashedString control, const float threshold) const {
    const ZControl* c = FindQueryable(group, control);
    return c != nullptr && c->value >= threshold;
}

bool ZControlMgr::WasUp(const ZHashedString group, const ZHashedString control, const float threshold) const {
    const ZControl* c = FindQueryable(group, control);
    return c != nullptr && c->previousValue < threshold;
}

bool ZControlMgr::WasPressedRepeating(const ZHashedString group, const ZHashedString control) {
    ZControl* c = const_cast<ZControl*>(FindQueryable(group, control));
    if (c == nullptr) {
        return false;
    }
    if (c->value >= kDefaultThreshold && c->previousValue < kDefaultThreshold) {
        c->repeatTimer = kRepeatDelay;
        return true;
    }
    if (c->value >= kDefaultThreshold && c->repeatTimer <= 0.0f) {
        c->repeatTimer = kRepeatInterval;
        return true;
    }
    return false;
}

// --- Device class and prompts --------------------------------------------------------

void ZControlMgr::ResetActiveDeviceClass() {
    const ZInputHandler* handler = GetInputHandler();
    m_activeDeviceClass = handler->IsPadSelected()       ? ZDeviceClass::XInputPad
                          : handler->HasJoystickDevice() ? ZDeviceClass::Joystick
                                                         : ZDeviceClass::KeyboardMouse;
}

int32_t ZControlMgr::GetPromptDeviceClass() const {
    if (m_hooks.promptDeviceOverride != nullptr) {
        const int32_t forced = m_hooks.promptDeviceOverride();
        if (forced > 0) {
            return forced;
        }
    }
    return m_activeDeviceClass;
}

ZInputBinding ZControlMgr::GetPromptBinding(const ZHashedString group, const ZHashedString control) const {
    const ZControl* c = GetControl(group, control);
    return c != nullptr ? FindMostRecentBinding(c->bindings, m_activeDeviceClass) : ZInputBinding();
}

ZString ZControlMgr::GetBindingDisplayText(bool& isPad, const ZHashedString group, const ZHashedString control) const {
    const ZControl* c = GetControl(group, control);
    if (c == nullptr) {
        return ZString();
    }
    const ZInputBinding binding = FindMostRecentBinding(c->bindings, GetPromptDeviceClass());
    if (binding.kind != ZInputBinding::kButton && binding.kind != ZInputBinding::kAxis) {
        return ZString();  // nothing bound
    }
    ZHashedString deviceName;
    const ZHashedString inputName = GetInputName(binding, deviceName);
    isPad = isPad || IsPadInput(binding);
    static const ZHashedString inputFile("Input");
    return ZLocMgr::GetInstance()->GetString(inputFile, deviceName, inputName);
}

// --- Input recorder ------------------------------------------------------------------

void ZControlMgr::SnapshotControls(ZArray<ZControlSample>& records, const ZArray<ZHashedString>& excludedGroups) const {
    records.Clear();
    for (uint32_t g = 0; g < m_groups.Count(); ++g) {
        if (excludedGroups.Contains(m_groups[g]->name)) {
            continue;
        }
        for (uint32_t c = 0; c < m_groups[g]->controls.Count(); ++c) {
            ZControlSample sample;
            sample.group = static_cast<int32_t>(g);
            sample.control = static_cast<int32_t>(c);
            records.PushBack(sample);
        }
    }
}

void ZControlMgr::FillSnapshot(ZArray<ZControlSample>& records) const {
    for (ZControlSample& sample : records) {
        const ZControlGroup* group = sample.group >= 0 ? GetGroupAt(static_cast<uint32_t>(sample.group)) : nullptr;
        if (group == nullptr || sample.control < 0 || static_cast<uint32_t>(sample.control) >= group->controls.Count()) {
            continue;
        }
        const ZControl* control = group->controls[static_cast<uint32_t>(sample.control)];
        sample.value = control->value;
        sample.change = control->value - control->previousValue;
    }
}

void ZControlMgr::SetControlValue(const int32_t groupIndex, const int32_t controlIndex, const float value) {
    const ZControlGroup* group = groupIndex >= 0 ? GetGroupAt(static_cast<uint32_t>(groupIndex)) : nullptr;
    if (group == nullptr || controlIndex < 0 || static_cast<uint32_t>(controlIndex) >= group->controls.Count()) {
        return;
    }
    group->controls[static_cast<uint32_t>(controlIndex)]->value = value;
}
