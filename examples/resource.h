//{{NO_DEPENDENCIES}}
// Resource ids of the dialog-based example, as a resource editor writes them.
//
#define IDM_ABOUTBOX                    0x0010
#define IDD_ABOUTBOX                    100
#define IDS_ABOUTBOX                    101
#define IDD_MFC_DIALOG_GAME_DIALOG      102
#define IDR_MAINFRAME                   128
#define IDC_PAUSE                       1000
#define IDC_FAST                        1001
#define IDC_PLAYER                      1002
#define IDC_SPEED                       1003
#define IDC_ABOUT                       1004
#define IDC_SCORE                       1005

// Next default values for new objects
//
#ifdef APSTUDIO_INVOKED
#ifndef APSTUDIO_READONLY_SYMBOLS
#define _APS_NEXT_RESOURCE_VALUE        130
#define _APS_NEXT_COMMAND_VALUE         32771
#define _APS_NEXT_CONTROL_VALUE         1006
#define _APS_NEXT_SYMED_VALUE           101
#endif
#endif
