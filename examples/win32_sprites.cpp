// A plain Win32 program in the classic style around the library: a window class, CreateWindow
// with the outer size its frame needs, a message loop, a WM_TIMER animation drawn on the
// library's canvas (its back buffer) and copied to the window in WM_PAINT with BeginPaint. Its
// icon, cursor, star sprite, title and keys come from its resource script, win32_sprites.rc.
// Nothing here is specific to Linux; the same source builds against the Windows SDK.
//
// Run headless with MOXIMAGE2_CAPTURE=<folder> MOXIMAGE2_QUIT_AFTER_MS=<n> to get its frames
// as PNG files; Escape, Ctrl+Q or closing the window ends it.
#include <MoxImage2.h>

#include "resource.h"

namespace {

const char kClassName[] = "MoxSpritesWindow";
constexpr int kWidth = 320;
constexpr int kHeight = 200;
constexpr int kBall = 24;
constexpr UINT_PTR kTimerId = 1;

struct Game {
    CMoxGraphics canvas;
    HBITMAP star = nullptr; // the sprite from the resources, drawn in the sky's top-right corner
    int x = 20, y = 40, dx = 4, dy = 3;
    int frames = 0;
};

Game* g_game = nullptr;

// One frame: the background, a ground strip, and the ball at its new place.
void Step(Game& game)
{
    game.x += game.dx;
    game.y += game.dy;
    if (game.x < 0 || game.x + kBall > kWidth)
        game.dx = -game.dx, game.x += 2 * game.dx;
    if (game.y < 0 || game.y + kBall > kHeight - 30)
        game.dy = -game.dy, game.y += 2 * game.dy;
    game.canvas.FillRectangle(0, 0, kWidth, kHeight - 30, 40, 90, 200);
    game.canvas.FillRectangle(0, kHeight - 30, kWidth, 30, 30, 140, 40);
    if (game.star && game.canvas.GetMemDC()) {
        HDC sprites = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(sprites, game.star);
        BitBlt(game.canvas.GetMemDC()->GetSafeHdc(), kWidth - 40, 8, 32, 32, sprites, 0, 0, SRCCOPY);
        SelectObject(sprites, old);
        DeleteDC(sprites);
    }
    game.canvas.FillRectangle(game.x, game.y, kBall, kBall, 250, 200, 0);
    ++game.frames;
}

LRESULT CALLBACK WndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        SetTimer(hWnd, kTimerId, 30, nullptr);
        return 0;
    case WM_TIMER:
        if (wParam == kTimerId && g_game) {
            Step(*g_game);
            InvalidateRect(hWnd, nullptr, FALSE);
        }
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC hdc = BeginPaint(hWnd, &ps);
        if (g_game && g_game->canvas.GetMemDC())
            BitBlt(hdc, 0, 0, kWidth, kHeight, g_game->canvas.GetMemDC()->GetSafeHdc(), 0, 0, SRCCOPY);
        EndPaint(hWnd, &ps);
        return 0;
    }
    case WM_COMMAND: // Escape and Ctrl+Q, through the accelerator table
        if (LOWORD(wParam) == ID_GAME_QUIT)
            DestroyWindow(hWnd);
        return 0;
    case WM_DESTROY:
        KillTimer(hWnd, kTimerId);
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProc(hWnd, message, wParam, lParam);
    }
}

} // namespace

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int nCmdShow)
{
    Game game;
    game.canvas.GdiInit();
    if (!game.canvas.Init(kWidth, kHeight))
        return 1;
    game.canvas.InitGraphics(static_cast<CPaintDC*>(nullptr)); // a back buffer of its own
    game.star = LoadBitmap(hInstance, MAKEINTRESOURCE(IDB_STAR));
    g_game = &game;
    Step(game);

    WNDCLASSEX wc = {};
    wc.cbSize = sizeof(WNDCLASSEX);
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = WndProc;
    wc.hInstance = hInstance;
    wc.hIcon = LoadIcon(hInstance, MAKEINTRESOURCE(IDI_SPRITES));
    wc.hIconSm = static_cast<HICON>(LoadImage(hInstance, MAKEINTRESOURCE(IDI_SPRITES), IMAGE_ICON,
                                              GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
    wc.hCursor = LoadCursor(hInstance, MAKEINTRESOURCE(IDC_CROSSHAIR));
    wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    wc.lpszClassName = kClassName;
    if (!RegisterClassEx(&wc))
        return 1;

    // The window's outer size: the client area plus the frame and caption.
    const DWORD style = WS_OVERLAPPEDWINDOW;
    RECT rc = {0, 0, kWidth, kHeight};
    AdjustWindowRect(&rc, style, FALSE);
    char title[64] = "MoxImage2";
    LoadString(hInstance, IDS_TITLE, title, sizeof title);
    HWND hWnd = CreateWindow(kClassName, title, style, CW_USEDEFAULT, CW_USEDEFAULT, rc.right - rc.left,
                             rc.bottom - rc.top, nullptr, nullptr, hInstance, nullptr);
    if (!hWnd)
        return 1;
    ShowWindow(hWnd, nCmdShow);
    UpdateWindow(hWnd);

    HACCEL keys = LoadAccelerators(hInstance, MAKEINTRESOURCE(IDR_ACCELERATORS));
    MSG msg;
    while (GetMessage(&msg, nullptr, 0, 0) > 0) {
        if (TranslateAccelerator(hWnd, keys, &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessage(&msg);
    }
    g_game = nullptr;
    if (game.star)
        DeleteObject(game.star);
    return static_cast<int>(msg.wParam);
}

// Until the platform's entry-point library calls WinMain itself, the program starts it.
int main()
{
    return WinMain(GetModuleHandle(nullptr), nullptr, nullptr, SW_SHOWDEFAULT);
}
