#include <gtest/gtest.h>

#include <memory>

#include "entity/ZRTTIBase.h"
#include "foundation/ZHandle.h"
#include "foundation/ZHandleRegistry.h"

namespace {

struct Object : ZRTTIBase {};

struct FirstHandles {
    uint32_t first = 0;
    uint32_t second = 0;
};

// Made while the program starts, before any test makes an object: the first
// two objects of the run.
const FirstHandles gFirstHandles = [] {
    FirstHandles handles;
    const Object a;
    const Object b;
    handles.first = a.GetHandle();
    handles.second = b.GetHandle();
    return handles;
}();

class HandleRegistryTest : public ::testing::Test {
protected:
    void TearDown() override { ZHandleRegistry::SetShuttingDown(false); }
};

TEST_F(HandleRegistryTest, HandlesStartAtOne) {
    EXPECT_EQ(gFirstHandles.first, 1u);
    EXPECT_EQ(gFirstHandles.second, 2u);
}

TEST_F(HandleRegistryTest, RegistryHoldsLiveObjectsOnly) {
    ZHandleRegistry* registry = ZHandleRegistry::GetInstance();
    ASSERT_NE(registry, nullptr);
    const uint32_t before = registry->GetCount();
    auto a = std::make_unique<Object>();
    auto b = std::make_unique<Object>();
    EXPECT_EQ(registry->GetCount(), before + 2);
    EXPECT_EQ(registry->Find(a->GetHandle()), a.get());

    const uint32_t handleA = a->GetHandle();
    a.reset();
    EXPECT_EQ(registry->Find(handleA), nullptr);
    EXPECT_EQ(registry->Find(b->GetHandle()), b.get());
    EXPECT_EQ(registry->Find(0), nullptr);
    b.reset();
    EXPECT_EQ(registry->GetCount(), before);
}

TEST_F(HandleRegistryTest, HandleValueResolvesUntilTheObjectIsGone) {
    const ZHandle none;
    EXPECT_TRUE(none.IsNone());
    EXPECT_EQ(none.GetObject(), nullptr);

    auto object = std::make_unique<Object>();
    const ZHandle handle(object->GetHandle());
    EXPECT_FALSE(handle.IsNone());
    EXPECT_EQ(handle.GetObject(), object.get());
    object.reset();
    EXPECT_EQ(handle.GetObject(), nullptr);
}

TEST_F(HandleRegistryTest, NoRegistryIsMadeOnceShutdownHasBegun) {
    auto early = std::make_unique<Object>();
    const uint32_t earlyHandle = early->GetHandle();
    ZHandleRegistry::SetShuttingDown(true);
    ZHandleRegistry::DestroyInstance();
    EXPECT_EQ(ZHandleRegistry::GetInstance(), nullptr);
    EXPECT_EQ(FindObjectByHandle(earlyHandle), nullptr);

    // Objects still come and go; their handles stay unique but resolve to nothing.
    auto late = std::make_unique<Object>();
    EXPECT_GT(late->GetHandle(), earlyHandle);
    EXPECT_EQ(FindObjectByHandle(late->GetHandle()), nullptr);
    late.reset();
    early.reset();
    EXPECT_EQ(ZHandleRegistry::GetInstance(), nullptr);

    // A new run of the registry starts empty and keeps counting on.
    ZHandleRegistry::SetShuttingDown(false);
    ASSERT_NE(ZHandleRegistry::GetInstance(), nullptr);
    EXPECT_EQ(ZHandleRegistry::GetInstance()->GetCount(), 0u);
    const Object next;
    EXPECT_GT(next.GetHandle(), earlyHandle + 1);
    EXPECT_EQ(FindObjectByHandle(next.GetHandle()), &next);
}

}  // namespace
