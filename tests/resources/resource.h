//{{NO_DEPENDENCIES}}
// Resource ids of the resource tests' script, as a resource editor writes them.
//
#define IDR_MAINFRAME                   128
#define IDB_SPRITE                      130
#define IDB_MASK                        131
#define IDC_POINTER                     132
#define IDR_LEVEL1                      133
#define IDR_BEEP                        134
#define IDD_ABOUTBOX                    100
#define IDS_TITLE                       1
#define IDS_LONG                        2
#define IDS_UNICODE                     17
#define IDS_QUOTES                      40
#define ID_GAME_NEW                     32771
#define ID_GAME_PAUSE                   32772
#define ID_GAME_FIRE                    32773
#define IDR_TOOLBAR                     135
#define ID_BAR_ONE                      32780
#define ID_BAR_TWO                      32781
#define ID_BAR_THREE                    32782
#define ID_BAR_NOHANDLER                32783
#define IDR_TOOLBAR_WORDS               136
#define IDR_TOOLBAR_DWORDS              137
#define IDR_TOOLBAR_SHORT               138

// Next default values for new objects
//
#ifdef APSTUDIO_INVOKED
#ifndef APSTUDIO_READONLY_SYMBOLS
#define _APS_NEXT_RESOURCE_VALUE        135
#define _APS_NEXT_COMMAND_VALUE         32774
#endif
#endif
