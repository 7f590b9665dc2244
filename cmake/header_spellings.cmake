# Header names as Windows programs spell them. Windows' file names ignore case and Linux's do
# not, so each spelling found in real programs gets a one-line header that includes the file
# under its SDK name. They are generated into the build tree (a checkout on a case-insensitive
# file system could not hold windows.h and Windows.h side by side) and installed beside the
# headers. A new spelling is one more entry here.
set(MOX_HEADER_SPELLINGS
  Windows.h:windows.h WINDOWS.H:windows.h WinDef.h:windef.h WinBase.h:winbase.h WinUser.h:winuser.h
  WinGDI.h:wingdi.h WinGdi.h:wingdi.h WinNls.h:winnls.h WinNT.h:winnt.h WinNt.h:winnt.h
  WinError.h:winerror.h GuidDef.h:guiddef.h Sal.h:sal.h
  GdiPlus.h:gdiplus.h Gdiplus.h:gdiplus.h GDIPlus.h:gdiplus.h GdiPlus.H:gdiplus.h
  MMSystem.h:mmsystem.h Mmsystem.h:mmsystem.h MmSystem.h:mmsystem.h
  TChar.h:tchar.h Tchar.h:tchar.h TCHAR.H:tchar.h
  WindowsX.h:windowsx.h Windowsx.h:windowsx.h
  CommCtrl.h:commctrl.h Commctrl.h:commctrl.h
  SDKDDKVer.h:sdkddkver.h SdkDdkVer.h:sdkddkver.h
  AfxWin.h:afxwin.h Afxwin.h:afxwin.h AfxExt.h:afxext.h Afxext.h:afxext.h AfxCmn.h:afxcmn.h
  AfxDisp.h:afxdisp.h AfxDtCtl.h:afxdtctl.h AfxWinAppEx.h:afxwinappex.h AfxDialogEx.h:afxdialogex.h
  AfxControlBars.h:afxcontrolbars.h AtlImage.h:atlimage.h atlImage.h:atlimage.h Direct.h:direct.h)

set(MOX_HEADER_SPELLINGS_DIR ${CMAKE_CURRENT_BINARY_DIR}/platform-include-spellings)
set(MOX_HEADER_SPELLING_FILES "")
foreach(entry ${MOX_HEADER_SPELLINGS})
  string(REPLACE ":" ";" pair "${entry}")
  list(GET pair 0 spelling)
  list(GET pair 1 target)
  # Written only when the content changes, so a new configure rebuilds nothing.
  file(CONFIGURE OUTPUT ${MOX_HEADER_SPELLINGS_DIR}/${spelling}
       CONTENT "// ${spelling} as programs spell it: the SDK header ${target}.\n#include <${target}>\n")
  list(APPEND MOX_HEADER_SPELLING_FILES ${MOX_HEADER_SPELLINGS_DIR}/${spelling})
endforeach()
