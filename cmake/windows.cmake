# The Windows build (MinGW-w64): the real Windows SDK and GDI+ take the stand-in's place, and
# MoxPlatform is the MFC part, written over Win32: the same files the Linux build compiles over
# the stand-in. Included from the top-level CMakeLists.txt instead of the stand-in.

add_library(MoxPlatform SHARED platform/mfc/dc.cpp platform/mfc/wnd.cpp
  platform/mfc/msgmap.cpp platform/mfc/wnd_messages.cpp platform/mfc/app.cpp
  # The one log, the numeric settings and the image pixel limit, shared with the library.
  platform/core/diagnostics.cpp platform/core/image_limits.cpp
  # MFC's core classes over the C runtime and Win32.
  platform/mfc/string_format.cpp platform/mfc/object.cpp platform/mfc/runtime_classes.cpp
  platform/mfc/app_settings.cpp platform/mfc/docview.cpp
  # CBitmap and CDC's blits: calls of GDI and msimg32 alone.
  platform/mfc/bitmap.cpp
  # CMenu and CCmdUI.
  platform/mfc/menu.cpp
  # Dialogs, control classes and dialog data exchange over USER's dialog manager.
  platform/mfc/dialog.cpp platform/mfc/ddx.cpp
  # Exceptions, CFile and CArchive over the C runtime; the collections' run-time classes.
  platform/mfc/file.cpp platform/mfc/archive.cpp platform/mfc/collections.cpp
  # Tool bars, status bars and the frame's layout of them.
  platform/mfc/bars.cpp
  # The view's printing members, with no printer.
  platform/mfc/print.cpp
  # The recent-file list and the visual managers.
  platform/mfc/recent_files.cpp)
target_include_directories(MoxPlatform PUBLIC
  $<BUILD_INTERFACE:${CMAKE_CURRENT_SOURCE_DIR}/platform/win32>
  $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}/MoxImage2/platform/win32>)
target_compile_definitions(MoxPlatform PRIVATE MOXPLAT_BUILD=1)
# The SDK's min and max macros would break std::min and std::max wherever <windows.h> comes first.
target_compile_definitions(MoxPlatform PUBLIC NOMINMAX)
# GDI+, GDI and USER from the SDK's import libraries; hosts call them as well.
target_link_libraries(MoxPlatform PUBLIC gdiplus gdi32 user32)
target_link_libraries(MoxPlatform PUBLIC msimg32) # TransparentBlt, AlphaBlend
target_compile_options(MoxPlatform PRIVATE ${MOX_WARNINGS})
# Message-map entries naming handlers the older way (ON_COMMAND(ID_X, OnX)), as on Linux.
target_compile_options(MoxPlatform PUBLIC $<$<CXX_COMPILER_ID:GNU>:-fms-extensions>)
add_library(MoxImage2::MoxPlatform ALIAS MoxPlatform)
# The newer AppWizard frame's panes and managers, and CWinAppEx's settings.
target_sources(MoxPlatform PRIVATE platform/mfc/frame_ex.cpp platform/mfc/app_ex.cpp)

# MoxImage2.dll and MoxPlatform.dll, with import libraries libMoxImage2.dll.a and
# libMoxPlatform.dll.a (MinGW's own naming would add "lib" to the DLLs too).
set_target_properties(MoxPlatform PROPERTIES PREFIX "" IMPORT_PREFIX "lib")

# The MFC part's header declares the stand-in's classes (one declaration for both systems), so
# both files are installed, keeping their relative places.
install(FILES platform/win32/afxwin.h platform/win32/atltypes.h platform/win32/atlstr.h platform/win32/cstringt.h
  platform/win32/afx.h platform/win32/afxres.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/MoxImage2/platform/win32)
install(FILES platform/win32/afxdialogex.h platform/win32/afxpriv.h platform/win32/afxcmn.h
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/MoxImage2/platform/win32)
install(FILES platform/win32/afxext.h platform/win32/afxwinappex.h platform/win32/afxcontrolbars.h
  platform/win32/afxtempl.h platform/win32/afxcoll.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/MoxImage2/platform/win32)
install(FILES platform/include/afxext.h platform/include/afxwinappex.h platform/include/afxcontrolbars.h
  platform/include/mox_afxbars.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/MoxImage2/platform/include)
install(FILES platform/include/mox_afxfile.h platform/include/afxtempl.h platform/include/afxcoll.h
  platform/include/mox_afxscroll.h platform/include/mox_afxbarsex.h
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/MoxImage2/platform/include)
install(FILES platform/include/mox_afxdlg.h platform/include/afxdialogex.h platform/include/afxpriv.h platform/include/afxcmn.h
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/MoxImage2/platform/include)
install(FILES platform/include/afxwin.h platform/include/atltypes.h platform/include/atlstr.h
  platform/include/cstringt.h platform/include/afx.h
  platform/include/afxres.h platform/include/mox_widetext.h platform/include/mox_afxmenu.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/MoxImage2/platform/include)
# ATL's CImage: the same arrangement, one declaration for both systems.
install(FILES platform/win32/atlimage.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/MoxImage2/platform/win32)
install(FILES platform/include/atlimage.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/MoxImage2/platform/include)

# The benchmarks measure against pixman, which exists only beside the stand-in.
set(MOXIMAGE2_BUILD_BENCH OFF CACHE BOOL "Build the benchmarks" FORCE)
