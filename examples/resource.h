//{{NO_DEPENDENCIES}}
// Resource ids of the examples' scripts (win32_sprites.rc, mfc_frame_view.rc).
//
#define IDR_MAINFRAME                   128
#define IDI_SPRITES                     129
#define IDC_CROSSHAIR                   130
#define IDB_STAR                        131
#define IDR_ACCELERATORS                132
#define IDS_TITLE                       1
#define ID_GAME_QUIT                    32771
#ifndef ID_APP_EXIT // MFC's own command (afxres.h), for scripts that include only winres.h
#define ID_APP_EXIT                     0xE141
#endif

// Next default values for new objects
//
#ifdef APSTUDIO_INVOKED
#ifndef APSTUDIO_READONLY_SYMBOLS
#define _APS_NEXT_RESOURCE_VALUE        133
#define _APS_NEXT_COMMAND_VALUE         32772
#endif
#endif
