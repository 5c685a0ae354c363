#include "framework/ZLocListener.h"

namespace {
ZArray<ZLocListener*>* s_registry = nullptr;
}

ZLocListener::ZLocListener() { GetRegistry()->PushBack(this); }

ZLocListener::ZLocListener(const ZLocListener& /*other*/) { GetRegistry()->PushBack(this); }

ZLocListener::~ZLocListener() {
    if (s_registry != nullptr) {
        s_registry->Remove(this);
    }
}

ZArray<ZLocListener*>* ZLocListener::GetRegistry() {
    if (s_registry == nullptr) {
        s_registry = new ZArray<ZLocListener*>();
    }
    return s_registry;
}

void ZLocListener::DestroyRegistry() {
    delete s_registry;
    s_registry = nullptr;
}

void ZLocListener::NotifyAll() {
    if (s_registry == nullptr) {
        return;
    }
    // Walk a copy: a listener may destroy others (or itself) from its call,
    // which shifts the live list under an index.
    const ZArray<ZLocListener*> snapshot(*s_registry);
    for (ZLocListener* listener : snapshot) {
        if (s_registry != nullptr && s_registry->Contains(listener)) {
            listener->OnLanguageChanged();
        }
    }
}
