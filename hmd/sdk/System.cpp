#include "hmd/sdk/System.h"

#include <atomic>

#include "hmd/sdk/Thread.h"
#include "hmd/sdk/Timer.h"

namespace HSK {

namespace {

std::atomic<bool> gTimerPeriod{false};

}  // namespace

void System::Init(Log* log, Allocator* allocator) {
    Log::GetDefaultLog()->SetLoggingMask(LogMask_All);
    DefaultAllocator* const fallback = DefaultAllocator::GetDefault();
    if (Allocator::GetInstance() != nullptr) return;
    Log::SetGlobalLog(log != nullptr ? log : Log::GetDefaultLog());
    gTimerPeriod.store(true);
    Timer::Reset();
    fallback->MarkInitialized();
    Allocator::SetInstance(allocator != nullptr ? allocator : fallback);
}

void System::Destroy() {
    Allocator* const allocator = Allocator::GetInstance();
    if (allocator == nullptr) return;
    Thread::FinishAllThreads();
    allocator->OnSystemShutdown();
    Allocator::SetInstance(nullptr);
    gTimerPeriod.store(false);
    Log::SetGlobalLog(Log::GetDefaultLog());
}

bool System::HoldsTimerPeriod() {
    return gTimerPeriod.load();
}

}  // namespace HSK
