// Image buttons: cutting the looks, the half-open hit area, the mouse state machine and the
// click message to the owner window.
#include <MoxImage2.h>

#include "test_support.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

// A 32-bit uncompressed TGA, bottom row first, every pixel the same.
std::string WriteTga(const std::string& name, int width, int height)
{
    const std::string path = moxtest::TempPath(name);
    unsigned char header[18] = {};
    header[2] = 2;
    header[12] = static_cast<unsigned char>(width & 0xFF);
    header[13] = static_cast<unsigned char>(width >> 8);
    header[14] = static_cast<unsigned char>(height & 0xFF);
    header[15] = static_cast<unsigned char>(height >> 8);
    header[16] = 32;
    header[17] = 8;
    std::vector<unsigned char> pixels(static_cast<size_t>(width) * height * 4, 0xC0);
    FILE* f = std::fopen(path.c_str(), "wb");
    EXPECT_NE(f, nullptr);
    if (f) {
        std::fwrite(header, 1, sizeof header, f);
        if (!pixels.empty())
            std::fwrite(pixels.data(), 1, pixels.size(), f);
        std::fclose(f);
    }
    return path;
}

struct Tga {
    CMoxTga image;
    Tga(int width, int height)
    {
        image.Init(
            WriteTga("button_" + std::to_string(width) + "x" + std::to_string(height) + ".tga", width, height).c_str());
    }
};

struct RawBitmap {
    std::vector<unsigned char> bytes;
    BITMAPINFO header;
    CMoxBitmap image;
    RawBitmap(int width, int height)
        : bytes(moxtest::RawBottomUp(width, height,
                                     [](int, int) {
                                         return moxtest::Rgb{10, 20, 30};
                                     })),
          header(moxtest::RawHeader(width, height))
    {
        image.Init(bytes.data(), static_cast<int>(bytes.size()), header, 0);
    }
};

// A headless owner window that records every WM_COMMAND and the button state it found.
class OwnerWnd : public CWnd {
public:
    CMoxButton* watched = nullptr;
    struct Command {
        WPARAM wParam;
        LPARAM lParam;
        int state;
    };
    std::vector<Command> commands;

    bool Create()
    {
        return CreateEx(0, AfxRegisterWndClass(0), "owner", WS_OVERLAPPED, 0, 0, 64, 64, nullptr, nullptr) != FALSE;
    }

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override
    {
        commands.push_back({wParam, lParam, watched ? watched->m_State : -1});
        return TRUE;
    }
};

struct Placement {
    int x, y, width, height, srcX, srcY;
};

Placement PlacementOf(CMoxSprite& s)
{
    return {s.GetX(), s.GetY(), s.GetWidth(), s.GetHeight(), s.GetSrcX(), s.GetSrcY()};
}

void ExpectPlacement(CMoxSprite& s, Placement p, const char* what)
{
    SCOPED_TRACE(what);
    EXPECT_EQ(s.GetX(), p.x);
    EXPECT_EQ(s.GetY(), p.y);
    EXPECT_EQ(s.GetWidth(), p.width);
    EXPECT_EQ(s.GetHeight(), p.height);
    EXPECT_EQ(s.GetSrcX(), p.srcX);
    EXPECT_EQ(s.GetSrcY(), p.srcY);
    EXPECT_EQ(s.GetAlpha(), 255);
}

class ButtonMouse : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(owner.Create());
        owner.watched = &button;
        // A 30 x 40 hit area at (10, 20).
        button.Init(&owner, 7, 10, 20, &look.image, &look.image, &look.image, &look.image);
    }

    Tga look{30, 40};
    OwnerWnd owner;
    CMoxButton button;
};

} // namespace

TEST(ButtonNew, ShowsNormalLookAndNothingHitsIt)
{
    CMoxButton b;
    EXPECT_EQ(b.GetSprite(), &b.m_Sprite[0]);
    EXPECT_EQ(b.GetEnable(), 1);
    EXPECT_EQ(b.GetShow(), 1);
    EXPECT_EQ(b.m_Owner, nullptr);
    EXPECT_EQ(b.OnMouseMove(0, 0), 0);
    EXPECT_EQ(b.OnMouseDown(0, 0), 0);
    EXPECT_EQ(b.OnMouseUp(0, 0), 0);
    EXPECT_EQ(b.m_State, 0);
}

TEST_F(ButtonMouse, HitAreaIsHalfOpen)
{
    EXPECT_EQ(button.GetX(), 10);
    EXPECT_EQ(button.GetY(), 20);
    EXPECT_EQ(button.GetWidth(), 30);
    EXPECT_EQ(button.GetHeight(), 40);
    EXPECT_EQ(button.OnMouseDown(10, 20), 1);
    EXPECT_EQ(button.OnMouseDown(39, 59), 1);
    EXPECT_EQ(button.OnMouseDown(40, 30), 0);
    EXPECT_EQ(button.OnMouseDown(20, 60), 0);
    EXPECT_EQ(button.OnMouseDown(9, 30), 0);
    EXPECT_EQ(button.OnMouseDown(20, 19), 0);
}

TEST(ButtonHitArea, NearTheEndOfTheIntRangeDoesNotWrap)
{
    Tga look(30, 40);
    CMoxButton b;
    b.Init(nullptr, 1, 0x7FFFFFF0, 0x7FFFFFF0, &look.image, &look.image, &look.image, nullptr);
    EXPECT_EQ(b.OnMouseDown(0x7FFFFFF0, 0x7FFFFFF0), 1);
    EXPECT_EQ(b.OnMouseDown(0x7FFFFFFF, 0x7FFFFFFF), 1);
    EXPECT_EQ(b.OnMouseDown(-0x7FFFFFFF, 0x7FFFFFF0), 0);
}

TEST_F(ButtonMouse, HoverComesOnceAndLeavesOnMoveOff)
{
    EXPECT_EQ(button.OnMouseMove(15, 25), 1);
    EXPECT_EQ(button.m_State, 1);
    EXPECT_EQ(button.GetSprite(), &button.m_Sprite[1]);
    EXPECT_EQ(button.OnMouseMove(16, 26), 0);
    EXPECT_EQ(button.m_State, 1);
    EXPECT_EQ(button.OnMouseMove(100, 100), 0);
    EXPECT_EQ(button.m_State, 0);
    EXPECT_TRUE(owner.commands.empty());
}

TEST_F(ButtonMouse, PressAndReleaseOnClicksAndOwnerSeesStateZero)
{
    EXPECT_EQ(button.OnMouseDown(15, 25), 1); // no hover needed first
    EXPECT_EQ(button.m_State, 2);
    EXPECT_EQ(button.GetSprite(), &button.m_Sprite[2]);
    EXPECT_EQ(button.OnMouseMove(16, 26), 0); // moving on keeps the press
    EXPECT_EQ(button.m_State, 2);
    EXPECT_EQ(button.OnMouseUp(15, 25), 1);
    ASSERT_EQ(owner.commands.size(), 1u);
    EXPECT_EQ(owner.commands[0].wParam, 7u);
    EXPECT_EQ(owner.commands[0].lParam, 0);
    EXPECT_EQ(owner.commands[0].state, 0);
    EXPECT_EQ(button.m_State, 0); // normal, not hover, until the next move
}

TEST_F(ButtonMouse, ReleaseOffKeepsThePressForALaterReleaseOn)
{
    ASSERT_EQ(button.OnMouseDown(15, 25), 1);
    EXPECT_EQ(button.OnMouseUp(200, 200), 0);
    EXPECT_EQ(button.m_State, 2);
    // A press that lands elsewhere does not cancel it either.
    EXPECT_EQ(button.OnMouseDown(200, 200), 0);
    EXPECT_EQ(button.m_State, 2);
    EXPECT_TRUE(owner.commands.empty());
    EXPECT_EQ(button.OnMouseUp(15, 25), 1);
    EXPECT_EQ(owner.commands.size(), 1u);
}

TEST_F(ButtonMouse, DragOffAndBackCancelsTheClick)
{
    ASSERT_EQ(button.OnMouseDown(15, 25), 1);
    EXPECT_EQ(button.OnMouseMove(200, 200), 0);
    EXPECT_EQ(button.m_State, 0);
    EXPECT_EQ(button.OnMouseMove(15, 25), 1);
    EXPECT_EQ(button.m_State, 1);
    EXPECT_EQ(button.OnMouseUp(15, 25), 0);
    EXPECT_EQ(button.m_State, 1);
    EXPECT_TRUE(owner.commands.empty());
}

TEST_F(ButtonMouse, ReleaseWithoutPressSendsNothing)
{
    EXPECT_EQ(button.OnMouseUp(15, 25), 0);
    button.OnMouseMove(15, 25);
    EXPECT_EQ(button.OnMouseUp(15, 25), 0);
    EXPECT_EQ(button.m_State, 1);
    EXPECT_TRUE(owner.commands.empty());
}

TEST_F(ButtonMouse, DisabledIsInertShowsItsLookAndKeepsTheState)
{
    ASSERT_EQ(button.OnMouseDown(15, 25), 1);
    button.Enable(0);
    EXPECT_EQ(button.GetEnable(), 0);
    EXPECT_EQ(button.GetSprite(), &button.m_Sprite[3]);
    EXPECT_EQ(button.OnMouseMove(200, 200), 0);
    EXPECT_EQ(button.OnMouseUp(15, 25), 0);
    EXPECT_EQ(button.OnMouseDown(15, 25), 0);
    EXPECT_EQ(button.m_State, 2);
    EXPECT_TRUE(owner.commands.empty());

    // Enabled again, the press it kept still completes.
    button.Enable(1);
    EXPECT_EQ(button.GetSprite(), &button.m_Sprite[2]);
    EXPECT_EQ(button.OnMouseUp(15, 25), 1);
    EXPECT_EQ(owner.commands.size(), 1u);
}

TEST_F(ButtonMouse, HiddenIsInertAndAddsNothing)
{
    button.Show(0);
    EXPECT_EQ(button.GetShow(), 0);
    EXPECT_EQ(button.GetSprite(), nullptr);
    EXPECT_EQ(button.OnMouseMove(15, 25), 0);
    EXPECT_EQ(button.OnMouseDown(15, 25), 0);
    EXPECT_EQ(button.OnMouseUp(15, 25), 0);
    EXPECT_EQ(button.m_State, 0);

    CMoxGraphics canvas;
    canvas.GdiInit();
    ASSERT_TRUE(canvas.Init(100, 100));
    canvas.InitSprite();
    canvas.AddSprite(&button);
    EXPECT_TRUE(canvas.m_SpriteList.empty());
}

TEST_F(ButtonMouse, IdentifierTravelsWithAllItsBits)
{
    for (int id : {0x12345678, -1, 0xFFFF}) {
        owner.commands.clear();
        button.Init(&owner, id, 10, 20, &look.image, &look.image, &look.image, &look.image);
        button.OnMouseDown(15, 25);
        ASSERT_EQ(button.OnMouseUp(15, 25), 1);
        ASSERT_EQ(owner.commands.size(), 1u);
        EXPECT_EQ(owner.commands[0].wParam, static_cast<WPARAM>(static_cast<std::uint32_t>(id)));
    }
}

TEST_F(ButtonMouse, DestroyedOwnerGetsNothingButTheClickCompletes)
{
    owner.DestroyWindow();
    button.OnMouseDown(15, 25);
    EXPECT_EQ(button.OnMouseUp(15, 25), 1);
    EXPECT_EQ(button.m_State, 0);
    EXPECT_TRUE(owner.commands.empty());
}

TEST(ButtonOwner, NullOwnerClicksWithoutSending)
{
    Tga look(30, 40);
    CMoxButton b;
    b.Init(nullptr, 3, 0, 0, &look.image, &look.image, &look.image, nullptr);
    EXPECT_EQ(b.OnMouseDown(5, 5), 1);
    EXPECT_EQ(b.OnMouseUp(5, 5), 1);
    EXPECT_EQ(b.m_State, 0);

    // An owner object that never made its window: its handle is null.
    OwnerWnd unmade;
    b.Init(&unmade, 3, 0, 0, &look.image, &look.image, &look.image, nullptr);
    b.OnMouseDown(5, 5);
    EXPECT_EQ(b.OnMouseUp(5, 5), 1);
    EXPECT_TRUE(unmade.commands.empty());
}

TEST_F(ButtonMouse, CopySharesOwnerAndCarriesStateAndLooks)
{
    button.OnMouseDown(15, 25);
    CMoxButton copy(button);
    EXPECT_EQ(copy.m_State, 2);
    EXPECT_EQ(copy.m_Owner, &owner);
    EXPECT_EQ(copy.m_Sprite[1].GetTga(), &look.image);
    EXPECT_EQ(copy.GetWidth(), 30);
    EXPECT_EQ(copy.OnMouseUp(15, 25), 1);
    ASSERT_EQ(owner.commands.size(), 1u);
    EXPECT_EQ(owner.commands[0].wParam, 7u);
    EXPECT_EQ(button.m_State, 2); // the source keeps its own state

    CMoxButton assigned;
    assigned = button;
    EXPECT_EQ(assigned.m_ID, 7);
    EXPECT_EQ(assigned.m_State, 2);
    ExpectPlacement(assigned.m_Sprite[3], PlacementOf(button.m_Sprite[3]), "assigned disabled look");
}

// --- Cutting the looks ----------------------------------------------------------------------

TEST(ButtonFourImages, PlacesEachWholeAndTakesTheHitAreaFromNormal)
{
    Tga normal(30, 20), hover(40, 50), pressed(10, 10), disabled(5, 6);
    CMoxButton b;
    b.m_State = 1;
    b.Enable(0);
    b.Init(nullptr, 4, 7, 8, &normal.image, &hover.image, &pressed.image, &disabled.image);
    ExpectPlacement(b.m_Sprite[0], {7, 8, 30, 20, 0, 0}, "normal");
    ExpectPlacement(b.m_Sprite[1], {7, 8, 40, 50, 0, 0}, "hover");
    ExpectPlacement(b.m_Sprite[2], {7, 8, 10, 10, 0, 0}, "pressed");
    ExpectPlacement(b.m_Sprite[3], {7, 8, 5, 6, 0, 0}, "disabled");
    EXPECT_EQ(b.GetWidth(), 30);
    EXPECT_EQ(b.GetHeight(), 20);
    // Init keeps state and flags.
    EXPECT_EQ(b.m_State, 1);
    EXPECT_EQ(b.GetEnable(), 0);

    // A null disabled image leaves the disabled look as it was.
    Tga other(60, 70);
    b.Init(nullptr, 4, 1, 2, &other.image, &other.image, &other.image, nullptr);
    EXPECT_EQ(b.m_Sprite[3].GetTga(), &disabled.image);
    ExpectPlacement(b.m_Sprite[3], {7, 8, 5, 6, 0, 0}, "kept disabled");
    EXPECT_EQ(b.GetWidth(), 60);
}

TEST(ButtonFourImages, BitmapsAndANullNormalImage)
{
    RawBitmap normal(24, 12), other(8, 9);
    CMoxButton b;
    b.Init(nullptr, 4, 3, 4, &normal.image, &other.image, &other.image, &other.image);
    EXPECT_EQ(b.m_Sprite[0].GetBitmap(), &normal.image);
    ExpectPlacement(b.m_Sprite[0], {3, 4, 24, 12, 0, 0}, "bitmap normal");
    ExpectPlacement(b.m_Sprite[3], {3, 4, 8, 9, 0, 0}, "bitmap disabled");
    EXPECT_EQ(b.GetWidth(), 24);
    EXPECT_EQ(b.GetHeight(), 12);

    // Without a normal image the button has nothing to hit rather than crashing.
    CMoxButton empty;
    empty.Init(nullptr, 5, 3, 4, static_cast<CMoxBitmap*>(nullptr), &other.image, &other.image, nullptr);
    EXPECT_EQ(empty.GetWidth(), 0);
    EXPECT_EQ(empty.GetHeight(), 0);
    EXPECT_EQ(empty.OnMouseDown(3, 4), 0);
}

namespace {

// Checks one cut of the three (or four) looks; frames run along y for stacked images, along x
// for images side by side.
void ExpectCut(CMoxButton& b, bool stacked, int x, int y, int across, int frame, int lastFrame, bool disabled)
{
    for (int k = 0; k < 3; ++k) {
        const std::string what = "look " + std::to_string(k);
        if (stacked)
            ExpectPlacement(b.m_Sprite[k], {x, y, across, frame, 0, k * frame}, what.c_str());
        else
            ExpectPlacement(b.m_Sprite[k], {x, y, frame, across, k * frame, 0}, what.c_str());
    }
    if (disabled) {
        if (stacked)
            ExpectPlacement(b.m_Sprite[3], {x, y, across, lastFrame, 0, 3 * lastFrame}, "disabled look");
        else
            ExpectPlacement(b.m_Sprite[3], {x, y, lastFrame, across, 3 * lastFrame, 0}, "disabled look");
    }
    EXPECT_EQ(b.GetX(), x);
    EXPECT_EQ(b.GetY(), y);
    EXPECT_EQ(b.GetWidth(), stacked ? across : frame);
    EXPECT_EQ(b.GetHeight(), stacked ? frame : across);
}

} // namespace

TEST(ButtonCut, StackedTgaLooks)
{
    Tga tall120(50, 120), tall100(50, 100), tall102(50, 102);
    CMoxButton b;
    b.Init(nullptr, 9, 5, 6, &tall120.image, 4);
    EXPECT_EQ(b.m_ID, 9);
    ExpectCut(b, true, 5, 6, 50, 30, 30, true);

    // Count 3 cuts 40-row looks and leaves the disabled look from before.
    const Placement before = PlacementOf(b.m_Sprite[3]);
    b.Init(nullptr, 9, 5, 6, &tall120.image, 3);
    ExpectCut(b, true, 5, 6, 50, 40, 0, false);
    ExpectPlacement(b.m_Sprite[3], before, "untouched disabled look");

    // The remainder rows belong to no look.
    b.Init(nullptr, 9, 5, 6, &tall100.image, 3);
    ExpectCut(b, true, 5, 6, 50, 33, 0, false);
    b.Init(nullptr, 9, 5, 6, &tall102.image, 4);
    ExpectCut(b, true, 5, 6, 50, 25, 25, true);
    EXPECT_EQ(b.m_Sprite[3].GetSrcY(), 75);

    // Above four, three looks and no disabled one.
    b.Init(nullptr, 9, 5, 6, &tall120.image, 6);
    ExpectCut(b, true, 5, 6, 50, 20, 0, false);
    EXPECT_EQ(b.m_Sprite[3].GetSrcY(), 75);
}

TEST(ButtonCut, SideBySideTgaLooks)
{
    Tga wide120(120, 50), wide100(100, 50), wide102(102, 50);
    CMoxButton b;
    b.InitH(nullptr, 9, 5, 6, &wide120.image, 4);
    ExpectCut(b, false, 5, 6, 50, 30, 30, true);
    const Placement before = PlacementOf(b.m_Sprite[3]);
    b.InitH(nullptr, 9, 5, 6, &wide120.image, 3);
    ExpectCut(b, false, 5, 6, 50, 40, 0, false);
    ExpectPlacement(b.m_Sprite[3], before, "untouched disabled look");
    b.InitH(nullptr, 9, 5, 6, &wide100.image, 3);
    ExpectCut(b, false, 5, 6, 50, 33, 0, false);
    b.InitH(nullptr, 9, 5, 6, &wide102.image, 4);
    ExpectCut(b, false, 5, 6, 50, 25, 25, true);
    EXPECT_EQ(b.m_Sprite[3].GetSrcX(), 75);
}

TEST(ButtonCut, BitmapLooksBothWays)
{
    RawBitmap tall(40, 102), wide(102, 40);
    CMoxButton b;
    b.Init(nullptr, 2, 0, 0, &tall.image, 4);
    EXPECT_EQ(b.m_Sprite[0].GetBitmap(), &tall.image);
    ExpectCut(b, true, 0, 0, 40, 25, 25, true);
    b.InitH(nullptr, 2, 0, 0, &wide.image, 3);
    EXPECT_EQ(b.m_Sprite[2].GetBitmap(), &wide.image);
    ExpectCut(b, false, 0, 0, 40, 34, 0, false);
    EXPECT_EQ(b.m_Sprite[3].GetBitmap(), &tall.image);
}

TEST(ButtonCut, HitAreaDoesNotFollowLaterPlacements)
{
    Tga tall(50, 120);
    CMoxButton b;
    b.Init(nullptr, 1, 0, 0, &tall.image, 4);
    b.GetSprite()->SetRect(100, 100, 10, 10, 0, 0, 255);
    EXPECT_EQ(b.GetX(), 0);
    EXPECT_EQ(b.GetWidth(), 50);
    EXPECT_EQ(b.GetHeight(), 30);
    EXPECT_EQ(b.OnMouseDown(0, 0), 1);
}

// Counts that cannot hold three looks, null images and images too small for even one row a
// look change nothing at all: looks, hit area, identifier and owner stay.
TEST(ButtonCut, UnusableCountsAndImagesAreRefused)
{
    Tga tall(50, 120), tiny(2, 2);
    RawBitmap bmp(50, 120);
    OwnerWnd owner;
    CMoxButton b;
    b.Init(&owner, 1, 5, 6, &tall.image, 4);

    auto unchanged = [&](const char* what) {
        SCOPED_TRACE(what);
        EXPECT_EQ(b.m_ID, 1);
        EXPECT_EQ(b.m_Owner, &owner);
        ExpectCut(b, true, 5, 6, 50, 30, 30, true);
        EXPECT_EQ(b.m_Sprite[0].GetTga(), &tall.image);
    };
    for (int count : {0, 1, 2, -1, -4, static_cast<int>(0x80000000)}) {
        SCOPED_TRACE(count);
        b.Init(nullptr, 2, 0, 0, &tall.image, count);
        unchanged("stacked tga");
        b.InitH(nullptr, 2, 0, 0, &tall.image, count);
        unchanged("side by side tga");
        b.Init(nullptr, 2, 0, 0, &bmp.image, count);
        unchanged("stacked bitmap");
        b.InitH(nullptr, 2, 0, 0, &bmp.image, count);
        unchanged("side by side bitmap");
    }
    b.Init(nullptr, 2, 0, 0, static_cast<CMoxTga*>(nullptr), 4);
    unchanged("null tga");
    b.InitH(nullptr, 2, 0, 0, static_cast<CMoxBitmap*>(nullptr), 3);
    unchanged("null bitmap");
    b.Init(nullptr, 2, 0, 0, &tiny.image, 3);
    unchanged("two rows for three looks");
    b.InitH(nullptr, 2, 0, 0, &tiny.image, 4);
    unchanged("two columns for four looks");
}

// An image with no pixels (a load that failed) is not refused: the button takes the new
// identifier and owner, every look is the empty image and the hit area is empty, so a click
// where the old looks were sends nothing, neither the old identifier nor the new one.
TEST(ButtonCut, ImageWithoutPixelsEmptiesTheButton)
{
    Tga tall(50, 120), noRows(50, 0);
    CMoxBitmap emptyBitmap;
    CMoxTga emptyTga;
    struct Case {
        const char* what;
        std::function<void(CMoxButton&, CWnd*)> init;
        void* image;
    };
    const Case cases[] = {
        {"stacked tga", [&](CMoxButton& b, CWnd* o) { b.Init(o, 7, 1, 2, &emptyTga, 4); }, &emptyTga},
        {"side by side tga", [&](CMoxButton& b, CWnd* o) { b.InitH(o, 7, 1, 2, &emptyTga, 3); }, &emptyTga},
        {"stacked bitmap", [&](CMoxButton& b, CWnd* o) { b.Init(o, 7, 1, 2, &emptyBitmap, 3); }, &emptyBitmap},
        {"side by side bitmap", [&](CMoxButton& b, CWnd* o) { b.InitH(o, 7, 1, 2, &emptyBitmap, 4); },
         &emptyBitmap},
        {"tga of no rows", [&](CMoxButton& b, CWnd* o) { b.Init(o, 7, 1, 2, &noRows.image, 3); }, &noRows.image},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        OwnerWnd oldOwner, newOwner;
        ASSERT_TRUE(oldOwner.Create());
        ASSERT_TRUE(newOwner.Create());
        CMoxButton b;
        b.Init(&oldOwner, 1, 5, 6, &tall.image, 4);
        c.init(b, &newOwner);

        EXPECT_EQ(b.m_ID, 7);
        EXPECT_EQ(b.m_Owner, &newOwner);
        EXPECT_EQ(b.GetX(), 1);
        EXPECT_EQ(b.GetY(), 2);
        EXPECT_EQ(static_cast<long long>(b.GetWidth()) * b.GetHeight(), 0);
        for (int k = 0; k < 3; ++k) {
            const void* shown = b.m_Sprite[k].GetTga() ? static_cast<void*>(b.m_Sprite[k].GetTga())
                                                       : static_cast<void*>(b.m_Sprite[k].GetBitmap());
            EXPECT_EQ(shown, c.image) << "look " << k;
        }
        EXPECT_EQ(b.OnMouseDown(10, 10), 0);
        EXPECT_EQ(b.OnMouseUp(10, 10), 0);
        EXPECT_EQ(b.OnMouseDown(1, 2), 0);
        EXPECT_EQ(b.OnMouseUp(1, 2), 0);
        EXPECT_TRUE(oldOwner.commands.empty());
        EXPECT_TRUE(newOwner.commands.empty());
    }
}

// --- In the scene ---------------------------------------------------------------------------

TEST(ButtonScene, AddsTheSpriteOfItsCurrentLook)
{
    Tga tall(40, 120);
    CMoxGraphics canvas;
    canvas.GdiInit();
    ASSERT_TRUE(canvas.Init(100, 100));
    CMoxButton b;
    b.Init(nullptr, 1, 10, 10, &tall.image, 4);

    canvas.AddSprite(static_cast<CMoxButton*>(nullptr));
    EXPECT_TRUE(canvas.m_SpriteList.empty());

    canvas.InitSprite();
    canvas.AddSprite(&b);
    canvas.DrawSprite(false);
    ASSERT_EQ(canvas.m_SpriteList.size(), 1u);
    EXPECT_EQ(canvas.m_SpriteList[0], &b.m_Sprite[0]);

    // The pressed look replaces the normal one after the next pass.
    b.OnMouseDown(15, 15);
    canvas.InitSprite();
    canvas.AddSprite(&b);
    canvas.DrawSprite(false);
    ASSERT_EQ(canvas.m_SpriteList.size(), 1u);
    EXPECT_EQ(canvas.m_SpriteList[0], &b.m_Sprite[2]);

    b.Enable(0);
    canvas.InitSprite();
    canvas.AddSprite(&b);
    canvas.DrawSprite(false);
    ASSERT_EQ(canvas.m_SpriteList.size(), 1u);
    EXPECT_EQ(canvas.m_SpriteList[0], &b.m_Sprite[3]);
}

TEST(ButtonLook, StateWrittenFromOutsideStaysInTheFourLooks)
{
    CMoxButton b;
    for (int state : {-1, 4, 1000}) {
        b.m_State = state;
        EXPECT_EQ(b.GetSprite(), &b.m_Sprite[0]);
    }
    b.m_State = 2;
    EXPECT_EQ(b.GetSprite(), &b.m_Sprite[2]);
}
