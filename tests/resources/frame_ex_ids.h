// Ids of frame_ex.rc: the newer frame's tool bar, menus and strings.
#pragma once
#define IDR_EX_TOOLBAR 140
#define IDR_EX_MENU 141
#define IDR_EX_POPUP 142
#define IDS_EX_EDIT_MENU 143
#define ID_EX_ONE 32790
#define ID_EX_TWO 32791
#define ID_EX_CUT 32792
#define ID_EX_COPY 32793
#define ID_EX_CUSTOMIZE 32794
