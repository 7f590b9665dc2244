//{{NO_DEPENDENCIES}}
// Resource ids of the examples' scripts (win32_sprites.rc, mfc_frame_view.rc,
// mfc_dialog_game.rc), as a resource editor writes them.
//
#define IDS_TITLE                       1
#define IDM_ABOUTBOX                    0x0010
#define IDD_ABOUTBOX                    100
#define IDS_ABOUTBOX                    101
#define IDD_MFC_DIALOG_GAME_DIALOG      102
#define IDR_MAINFRAME                   128
#define IDI_SPRITES                     129
#define IDC_CROSSHAIR                   130
#define IDB_STAR                        131
#define IDR_ACCELERATORS                132
#define IDC_PAUSE                       1000
#define IDC_FAST                        1001
#define IDC_PLAYER                      1002
#define IDC_SPEED                       1003
#define IDC_ABOUT                       1004
#define IDC_SCORE                       1005
#define ID_GAME_QUIT                    32771
#define ID_GAME_PAUSE                   32772
#ifndef ID_APP_EXIT // MFC's own command (afxres.h), for scripts that include only winres.h
#define ID_APP_EXIT                     0xE141
#endif

// Next default values for new objects
//
#ifdef APSTUDIO_INVOKED
#ifndef APSTUDIO_READONLY_SYMBOLS
#define _APS_NEXT_RESOURCE_VALUE        133
#define _APS_NEXT_COMMAND_VALUE         32773
#define _APS_NEXT_CONTROL_VALUE         1006
#define _APS_NEXT_SYMED_VALUE           101
#endif
#endif
