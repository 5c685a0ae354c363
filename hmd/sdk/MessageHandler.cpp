#include "hmd/sdk/MessageHandler.h"

#include <algorithm>
#include <atomic>
#include <thread>

#include "hmd/sdk/Device.h"

namespace HSK {

namespace {

// Number of users; -1 while the lock is being made or destroyed.
std::atomic<int> gUsers{0};
std::atomic<std::recursive_mutex*> gLock{nullptr};

}  // namespace

std::recursive_mutex* MessageHandler::AddLockUser() {
    for (;;) {
        int users = gUsers.load();
        if (users == -1) {
            std::this_thread::yield();
            continue;
        }
        if (users == 0) {
            if (gUsers.compare_exchange_weak(users, -1)) {
                gLock.store(new std::recursive_mutex());
                gUsers.store(1);
                return gLock.load();
            }
        } else if (gUsers.compare_exchange_weak(users, users + 1)) {
            return gLock.load();
        }
    }
}

void MessageHandler::RemoveLockUser() {
    for (;;) {
        int users = gUsers.load();
        if (users == -1) {
            std::this_thread::yield();
            continue;
        }
        if (users == 1) {
            if (gUsers.compare_exchange_weak(users, -1)) {
                delete gLock.exchange(nullptr);
                gUsers.store(0);
                return;
            }
        } else if (gUsers.compare_exchange_weak(users, users - 1)) {
            return;
        }
    }
}

MessageHandler::MessageHandler() : m_lock(AddLockUser()) {}

MessageHandler::~MessageHandler() {
    RemoveHandlerFromDevices();
    RemoveLockUser();
}

bool MessageHandler::IsHandlerInstalled() const {
    const std::lock_guard<std::recursive_mutex> lock(*m_lock);
    return !m_devices.empty();
}

void MessageHandler::RemoveHandlerFromDevices() {
    const std::lock_guard<std::recursive_mutex> lock(*m_lock);
    for (DeviceBase* const device : m_devices) {
        device->m_handler = nullptr;
    }
    m_devices.clear();
}

std::recursive_mutex* MessageHandler::SharedLock() {
    return gLock.load();
}

int MessageHandler::SharedLockUsers() {
    return gUsers.load();
}

}  // namespace HSK
