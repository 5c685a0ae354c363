#pragma once

#include "foundation/ZArray.h"

// Base of every object that shows localised text. An object is in the one
// program-wide listener list from the end of its base constructor to the
// start of its base destructor; after a language switch the localisation
// manager calls OnLanguageChanged on every listener, in list order, so the
// object can fetch its texts again.
//
// Main thread only: the list has no lock.
class ZLocListener {
public:
    ZLocListener();
    // A copy is a listener of its own and joins the list too.
    ZLocListener(const ZLocListener& other);
    ZLocListener& operator=(const ZLocListener&) { return *this; }
    virtual ~ZLocListener();

    virtual void OnLanguageChanged() = 0;

    // The list, made (empty) on first use.
    static ZArray<ZLocListener*>* GetRegistry();
    // Shutdown: frees the list. A listener that dies afterwards finds no list
    // and leaves nothing behind.
    static void DestroyRegistry();

    // Calls OnLanguageChanged on every listener in list order. A listener
    // destroyed by an earlier one's call is skipped; one created during the
    // walk is not called (it was made with the new texts already).
    static void NotifyAll();
};
