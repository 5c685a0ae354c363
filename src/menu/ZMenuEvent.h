#pragma once

#include <cstdint>

// The kinds of menu events. The numbers are fixed: menus switch on them and
// derived menus of the game use the same values.
struct ZMenuEventKind {
    enum : int32_t {
        FrameStart = 2,  // start of every input step
        FrameEnd = 3,    // end of every input step
        NavUp = 4,
        NavDown = 5,
        NavLeft = 6,
        NavRight = 7,
        NavNext = 8,
        Accept = 9,
        Cancel = 10,
        Mouse = 11,      // a click pressed or released, or the cursor moved
        Opened = 14,     // pushed; sent to the new top menu
        Closing = 15,    // about to be popped and deleted
        Resumed = 16,    // a pop made this menu the top again
        OutDone = 17,    // its closing transition is over, or it is covered within one batch
        InDone = 18,     // its opening transition is over
        Covered = 19,    // another menu is about to be pushed over it
        Tick = 20,       // every frame, after the transitions
        BeginEdit = 21,  // Accept started editing a capturing item
        EndEdit = 22,    // editing of the active item ends
    };
};

// One event as the menu manager hands it to a menu or to the item being edited.
struct ZMenuEvent {
    int32_t kind = 0;
};

// The mouse with a Mouse event: the cursor in render pixels, its motion since
// the last input step, and the Click control's edges this step.
struct ZMenuMouseState {
    float x = 0.0f;
    float y = 0.0f;
    float dx = 0.0f;
    float dy = 0.0f;
    float z = 0.0f;         // always 0
    bool pressed = false;   // Click went down this step
    bool held = false;      // Click is down and did not go down this step
    bool released = false;  // Click went up this step
};
