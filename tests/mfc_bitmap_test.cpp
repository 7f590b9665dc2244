// CBitmap and CDC's blit members: ownership of the handle, and the calls reaching GDI.
#include <gtest/gtest.h>

#include <afxwin.h>

// SelectObject hands back the bitmap selected before: the stock one of a new DC as a temporary
// CBitmap; the owning CBitmap is found again for its own handle.
TEST(CBitmap, SelectionAndOwnership)
{
    CDC dc;
    ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
    CBitmap bitmap;
    ASSERT_TRUE(bitmap.CreateBitmap(4, 2, 1, 32, nullptr));
    EXPECT_FALSE(bitmap.CreateBitmap(4, 2, 1, 32, nullptr)) << "already holds a bitmap";
    CBitmap* old = dc.SelectObject(&bitmap);
    ASSERT_NE(old, nullptr);
    EXPECT_NE(old, &bitmap);
    EXPECT_EQ(dc.SelectObject(old), &bitmap);
    EXPECT_EQ(CBitmap::FromHandle(static_cast<HBITMAP>(bitmap.m_hObject)), &bitmap);
    BITMAP info;
    ASSERT_EQ(bitmap.GetBitmap(&info), int(sizeof info));
    EXPECT_EQ(info.bmWidth, 4);
    EXPECT_EQ(info.bmBitsPixel, 32);
    HGDIOBJ handle = bitmap.Detach();
    EXPECT_EQ(bitmap.m_hObject, nullptr);
    EXPECT_TRUE(::DeleteObject(handle));
}

// The classic mask sprite through CDC: mask from the key colour, AND, then OR.
TEST(CDC, MaskSpriteThroughTheMembers)
{
    CDC screen, sprite, mask;
    ASSERT_TRUE(screen.CreateCompatibleDC(nullptr));
    ASSERT_TRUE(sprite.CreateCompatibleDC(nullptr));
    ASSERT_TRUE(mask.CreateCompatibleDC(nullptr));
    HDC ref = ::GetDC(nullptr);
    CBitmap screenBm, spriteBm, maskBm;
    ASSERT_TRUE(screenBm.Attach(::CreateCompatibleBitmap(ref, 2, 1)));
    ASSERT_TRUE(spriteBm.Attach(::CreateCompatibleBitmap(ref, 2, 1)));
    ::ReleaseDC(nullptr, ref);
    ASSERT_TRUE(maskBm.CreateBitmap(2, 1, 1, 1, nullptr));
    CBitmap* oldScreen = screen.SelectObject(&screenBm);
    CBitmap* oldSprite = sprite.SelectObject(&spriteBm);
    CBitmap* oldMask = mask.SelectObject(&maskBm);
    const COLORREF key = RGB(255, 0, 255), red = RGB(255, 0, 0), grey = RGB(90, 90, 90);
    sprite.SetPixel(0, 0, key);
    sprite.SetPixel(1, 0, red);
    screen.PatBlt(0, 0, 2, 1, WHITENESS);
    screen.SetPixel(0, 0, grey);
    screen.SetPixel(1, 0, grey);
    ::SetBkColor(sprite.m_hDC, key);
    ASSERT_TRUE(mask.BitBlt(0, 0, 2, 1, &sprite, 0, 0, SRCCOPY));
    ::SetBkColor(sprite.m_hDC, RGB(0, 0, 0));
    ::SetTextColor(sprite.m_hDC, RGB(255, 255, 255));
    ASSERT_TRUE(sprite.BitBlt(0, 0, 2, 1, &mask, 0, 0, SRCAND));
    ASSERT_TRUE(screen.BitBlt(0, 0, 2, 1, &mask, 0, 0, SRCAND));
    ASSERT_TRUE(screen.BitBlt(0, 0, 2, 1, &sprite, 0, 0, SRCPAINT));
    EXPECT_EQ(screen.GetPixel(0, 0), grey);
    EXPECT_EQ(screen.GetPixel(1, 0), red);
    // The same through TransparentBlt, stretched twice as wide into a fresh row.
    screen.SetPixel(0, 0, grey);
    screen.SetPixel(1, 0, grey);
    sprite.SetPixel(0, 0, key);
    ASSERT_TRUE(screen.TransparentBlt(0, 0, 2, 1, &sprite, 0, 0, 1, 1, key));
    EXPECT_EQ(screen.GetPixel(1, 0), grey);
    screen.SelectObject(oldScreen);
    sprite.SelectObject(oldSprite);
    mask.SelectObject(oldMask);
}
