#pragma once

#include <cstdint>

#include "foundation/ZArray.h"
#include "foundation/ZHashedString.h"
#include "foundation/ZString.h"
#include "input/ZControl.h"
#include "input/ZControlGroup.h"
#include "input/ZInputBinding.h"
#include "input/ZShareSet.h"
#include "input/ZStickControl.h"

// One control of the input recorder's list: the control's place and, when
// refreshed, its value and its change since the previous evaluation.
struct ZControlSample {
    int32_t group = 0;    // group index
    int32_t control = 0;  // control index within the group
    float change = 0.0f;
    float value = 0.0f;
    int32_t cursor = 0;  // the recorder's playback position
};

// Named controls in named groups, fed by bindings. Every frame (mode 1) and
// every fixed step (mode 2) Update evaluates the groups due at that rate; game
// code, menus and the framework then ask whether an action is held, was just
// pressed or released, or repeats. It also tracks the device class used last.
//
// All names are hashed names. A query on a missing group or control answers
// 0, false, -1 or the none name. Main thread only.
class ZControlMgr {
public:
    // What the manager needs of the rest of the program. The framework fills
    // these in at start-up; a null hook does nothing (or answers "no").
    struct Hooks {
        // The game's default bindings (ZBaseGame::SetUpDefaultControlBindings).
        void (*setUpDefaultBindings)() = nullptr;
        // A running cinematic blocks input (ZCinematicMgr::IsInputBlocked).
        bool (*isInputBlocked)() = nullptr;
        // The active device class changed: the framework shows the cursor only
        // for class 1 and re-acquires the mouse and keyboard.
        void (*onActiveDeviceClassChanged)(int32_t deviceClass) = nullptr;
        // Prompts: the class the game forces (> 0), or 0 for the active class.
        int32_t (*promptDeviceOverride)() = nullptr;
        // Player controller: the game suspends player input.
        bool (*isPlayerInputSuspended)() = nullptr;
        // Player controller: the game's controller hook (object handle, value).
        void (*controllerNotify)(uint32_t handle, float value) = nullptr;
    };

    ZControlMgr();
    ~ZControlMgr();
    ZControlMgr(const ZControlMgr&) = delete;
    ZControlMgr& operator=(const ZControlMgr&) = delete;

    void SetHooks(const Hooks& hooks) { m_hooks = hooks; }
    const Hooks& GetHooks() const { return m_hooks; }

    // --- Building ---
    // A new group; null (nothing changes) when a group of that name exists.
    ZControlGroup* AddControlGroup(ZHashedString name, bool cinematicBlock, bool rebindable, bool perFrame,
                                   bool hiddenGroup);
    ZControlGroup* AddGroup(ZHashedString name, bool cinematicBlock, bool rebindable, bool perFrame,
                            bool hiddenGroup) {
        return AddControlGroup(name, cinematicBlock, rebindable, perFrame, hiddenGroup);
    }
    // A new control; null when the group is missing or has a control of that name.
    ZControl* AddControl(ZHashedString group, ZHashedString name, bool hidden);
    // A stick over four controls of a group; null when the group or any of the
    // four controls is missing. The caller may set its ramp fields.
    ZStickControl* AddStick(ZHashedString group, ZHashedString up, ZHashedString down, ZHashedString right,
                            ZHashedString left);
    // Controls of a group that may share inputs (the list is copied); null
    // when the group is missing.
    ZShareSet* AddShareSet(ZHashedString group, const ZArray<ZHashedString>& controls);

    // --- Lookup ---
    int32_t FindGroup(ZHashedString name) const;
    int32_t FindControl(ZHashedString group, ZHashedString name) const;
    ZControlGroup* GetGroup(ZHashedString name) const;
    ZControl* GetControl(ZHashedString group, ZHashedString name) const;
    uint32_t CountGroups() const { return m_groups.Count(); }
    ZControlGroup* GetGroupAt(uint32_t index) const { return index < m_groups.Count() ? m_groups[index] : nullptr; }
    ZHashedString GetGroupIdAt(int32_t index) const;
    ZHashedString GetControlIdAt(ZHashedString group, int32_t index) const;
    // Controls of the group that are not hidden.
    int32_t CountVisibleControls(ZHashedString group) const;

    // --- Bindings ---
    // Removes the input from every control of the group that is not allowed to
    // share it with this one (and from this one), then appends it.
    void AddBinding(ZHashedString group, ZHashedString control, const ZInputBinding& binding);
    void ClearBindings(ZHashedString group, ZHashedString control);
    // Empties every control's list, or only those of rebindable groups.
    void ClearAllBindings(bool onlyRebindable);
    void ClearBindings(bool onlyRebindable) { ClearAllBindings(onlyRebindable); }
    // The controls menu's reset: every list emptied, then the game's defaults.
    void RestoreDefaultBindings();
    // Starts from the defaults (the setUpDefaultBindings hook), then takes
    // each existing control named in the bindings file. A missing file is
    // written from the defaults; a damaged or foreign one keeps the defaults
    // for everything not read whole. Answers whether the file was read.
    bool LoadBindings(const char* path);
    // Writes every group's bindings, replacing the file atomically; false
    // (and a log line) when the file could not be written.
    bool SaveBindings(const char* path) const;

    // --- Evaluation ---
    // mode 1: the per-frame groups with the frame dt and time; mode 2: the
    // per-step groups (and the sticks) with the step length and fixed time.
    void Update(float dt, float time, int32_t mode);

    // --- Queries ---
    float GetValue(ZHashedString group, ZHashedString control) const;
    bool WasPressed(ZHashedString group, ZHashedString control, float threshold) const;
    bool WasReleased(ZHashedString group, ZHashedString control, float threshold) const;
    bool IsDown(ZHashedString group, ZHashedString control, float threshold) const;
    bool WasUp(ZHashedString group, ZHashedString control, float threshold) const;
    // On the press, again 0.35 s later, then every 0.075 s while held.
    bool WasPressedRepeating(ZHashedString group, ZHashedString control);

    // --- Device class and prompts ---
    int32_t GetActiveDeviceClass() const { return m_activeDeviceClass; }
    void SetActiveDeviceClass(int32_t deviceClass) { m_activeDeviceClass = deviceClass; }
    // 2 when a pad is selected, else 3 when a joystick is open, else 1.
    void ResetActiveDeviceClass();
    // The binding a prompt names: the most recent of the active class.
    ZInputBinding GetPromptBinding(ZHashedString group, ZHashedString control) const;
    // The localised text of that binding (file "Input", section = device
    // type, key = input name); isPad becomes true for pad inputs.
    ZString GetBindingDisplayText(bool& isPad, ZHashedString group, ZHashedString control) const;
    // The class prompts use: the game's forced class, else the active one.
    int32_t GetPromptDeviceClass() const;

    // --- Input recorder ---
    // Empties records and lists every control of every group not named in
    // excludedGroups, in group and control order.
    void SnapshotControls(ZArray<ZControlSample>& records, const ZArray<ZHashedString>& excludedGroups) const;
    // value := the control's value, change := value - previous value.
    void FillSnapshot(ZArray<ZControlSample>& records) const;
    // Playback: writes a control's value by group and control index.
    void SetControlValue(int32_t groupIndex, int32_t controlIndex, float value);

private:
    // The group when it exists and its queries are not blocked by a cinematic.
    const ZControl* FindQueryable(ZHashedString group, ZHashedString control) const;
    bool SharesInput(const ZControlGroup& group, ZHashedString a, ZHashedString b) const;
    void RemoveConflicts(ZControlGroup& group, const ZControl& target, const ZInputBinding& binding);
    void UpdateSticks(float dt, float time);

    ZArray<ZControlGroup*> m_groups;
    ZArray<ZStickControl*> m_sticks;
    ZArray<ZShareSet*> m_shareSets;
    int32_t m_activeDeviceClass = ZDeviceClass::KeyboardMouse;
    Hooks m_hooks;
};

// The manager, made on first use.
ZControlMgr* GetControlMgr();
// Destroys the manager (shutdown does this before the input handler goes).
void DeleteControlMgr();
