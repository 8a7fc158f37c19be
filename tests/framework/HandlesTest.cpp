// The handle owners give back exactly what they hold, once, and a selection
// puts the replaced object back.
#include "framework/Handles.h"

#include <gtest/gtest.h>

#include <utility>

namespace
{
bool IsOpenHandle(HANDLE h)
{
    DWORD flags = 0;
    return ::GetHandleInformation(h, &flags) != FALSE;
}
} // namespace

TEST(HandlesTest, KernelHandleIsClosedWhenItsOwnerGoesOrTakesAnother)
{
    HANDLE first = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE second = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    ASSERT_TRUE(IsOpenHandle(first) && IsOpenHandle(second));
    {
        CKernelHandle owner(first);
        owner.Attach(second);
        EXPECT_FALSE(IsOpenHandle(first));
        EXPECT_TRUE(IsOpenHandle(second));
        CKernelHandle moved(std::move(owner));
        EXPECT_FALSE(owner.IsValid());
        EXPECT_TRUE(IsOpenHandle(second));
    }
    EXPECT_FALSE(IsOpenHandle(second));
}

TEST(HandlesTest, DetachedHandleStaysOpenAndFailureValuesAreNotClosed)
{
    HANDLE event = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    {
        CKernelHandle owner(event);
        EXPECT_EQ(event, owner.Detach());
    }
    EXPECT_TRUE(IsOpenHandle(event));
    EXPECT_TRUE(::CloseHandle(event));

    CKernelHandle invalid(INVALID_HANDLE_VALUE), null(nullptr);
    EXPECT_FALSE(invalid.IsValid());
    EXPECT_FALSE(null.IsValid());
    EXPECT_TRUE(invalid.Close());
}

TEST(HandlesTest, RegistryKeyReceivedThroughAPointerIsClosed)
{
    HKEY raw = nullptr;
    {
        CRegKeyHandle key;
        ASSERT_EQ(ERROR_SUCCESS, ::RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_READ, key.Receive()));
        raw = key.Get();
        DWORD subkeys = 0;
        EXPECT_EQ(ERROR_SUCCESS, ::RegQueryInfoKeyA(raw, nullptr, nullptr, nullptr, &subkeys, nullptr,
                                                    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr));
    }
    DWORD subkeys = 0;
    EXPECT_NE(ERROR_SUCCESS, ::RegQueryInfoKeyA(raw, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr,
                                                nullptr, nullptr, nullptr, nullptr, nullptr));
}

TEST(HandlesTest, SelectionPutsTheFirstReplacedObjectBackBeforeItsObjectIsDeleted)
{
    CMemoryDC dc(::CreateCompatibleDC(nullptr));
    ASSERT_TRUE(dc.IsValid());
    HGDIOBJ original = ::GetCurrentObject(dc.Get(), OBJ_PEN);
    CGdiObject<HPEN> red(::CreatePen(PS_SOLID, 1, RGB(255, 0, 0)));
    CGdiObject<HPEN> blue(::CreatePen(PS_SOLID, 1, RGB(0, 0, 255)));
    HPEN redPen = red.Get();
    {
        CSelectedObject selection(dc.Get(), red.Get());
        selection.Select(dc.Get(), blue.Get());
        EXPECT_EQ(blue.Get(), ::GetCurrentObject(dc.Get(), OBJ_PEN));
    }
    EXPECT_EQ(original, ::GetCurrentObject(dc.Get(), OBJ_PEN));
    red.Close();
    LOGPEN pen = {};
    EXPECT_EQ(0, ::GetObjectA(redPen, sizeof(pen), &pen)) << "the pen is deleted";
}
