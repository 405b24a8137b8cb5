// The heap buffer, the formatted string and the scoped lock: zero-fill, reuse, and failures that
// leave an empty buffer (a failed reallocation frees the old block: the leak checker watches).
#include "confclient/library/LMBuffer.h"
#include "confclient/library/LMFormatString.h"
#include "confclient/library/LMLock.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

// A refused allocation must come back as null here, as it does from the process heap.
extern "C" const char* __asan_default_options()
{
    return "allocator_may_return_null=1";
}

namespace
{
bool AllZero(const uint8_t* p, size_t n)
{
    for (size_t i = 0; i < n; ++i)
        if (p[i]) return false;
    return true;
}
// More than any heap gives, yet accepted by the allocator's size checks.
const size_t kHuge = SIZE_MAX / 4;
} // namespace

TEST(LMBuffer, AllocZeroFillsAndReserveKeepsALargeEnoughBlock)
{
    CLMBuffer buffer(64);
    ASSERT_TRUE(buffer.GetData());
    EXPECT_EQ(buffer.GetCapacity(), 64u);
    EXPECT_TRUE(AllZero(buffer.GetData(), 64));
    memset(buffer.GetData(), 0x5A, 64);
    buffer.SetLength(10);

    uint8_t* pBlock = buffer.GetData();
    for (size_t n : {1u, 63u, 64u})
    {
        EXPECT_EQ(buffer.Reserve(n), pBlock);
        EXPECT_EQ(buffer.GetData()[63], 0x5A);
        EXPECT_EQ(buffer.GetLength(), 10u);
    }
    // Growing keeps the bytes and zero-fills the new ones.
    uint8_t* pGrown = buffer.Reserve(200);
    ASSERT_TRUE(pGrown);
    EXPECT_EQ(buffer.GetCapacity(), 200u);
    EXPECT_EQ(pGrown[0], 0x5A);
    EXPECT_EQ(pGrown[63], 0x5A);
    EXPECT_TRUE(AllZero(pGrown + 64, 136));

    // Alloc is a reset: new zeroed block, length 0.
    ASSERT_TRUE(buffer.Alloc(32));
    EXPECT_TRUE(AllZero(buffer.GetData(), 32));
    EXPECT_EQ(buffer.GetLength(), 0u);
}

TEST(LMBuffer, FailuresLeaveAnEmptyBufferAndNeverRaise)
{
    CLMBuffer empty;
    EXPECT_EQ(empty.Reserve(kHuge), nullptr);
    EXPECT_EQ(empty.GetCapacity(), 0u);

    CLMBuffer buffer(16);
    ASSERT_TRUE(buffer.GetData());
    EXPECT_EQ(buffer.ReAlloc(kHuge), nullptr);
    EXPECT_EQ(buffer.GetData(), nullptr);
    EXPECT_EQ(buffer.GetCapacity(), 0u);
    // Usable again afterwards.
    EXPECT_TRUE(buffer.Reserve(8));
    EXPECT_EQ(buffer.Alloc(kHuge), nullptr);
    EXPECT_EQ(buffer.GetCapacity(), 0u);
}

TEST(LMFormatString, FormatsAndReformatsOnTheHeap)
{
    CLMFormatString text(L"%s:%d", L"RecvVideo", 12);
    EXPECT_STREQ(text.GetText(), L"RecvVideo:12");
    EXPECT_STREQ(text.Format(L"%08X", 0xBEEFu), L"0000BEEF");
    EXPECT_STREQ(text.GetText(), L"0000BEEF");
    EXPECT_EQ(CLMFormatString().GetText(), nullptr);
}

namespace
{
class CRecordingLock : public ILMAutoFinalize
{
public:
    void Lock() override { calls += L'L'; }
    void Unlock() override { calls += L'U'; }
    std::wstring calls;
};
} // namespace

TEST(LMLock, AccessorHoldsTheLockForItsScope)
{
    CRecordingLock lock;
    {
        CLMAutoFinalizeAccessor<> outer(lock);
        EXPECT_EQ(lock.calls, L"L");
    }
    EXPECT_EQ(lock.calls, L"LU");

    // The critical section is recursive, as the engines' nested blocks need.
    CLMLockCS section(4000);
    CLMAutoFinalizeAccessor<> first(section);
    CLMAutoFinalizeAccessor<CLMLockCS> second(section);
}
