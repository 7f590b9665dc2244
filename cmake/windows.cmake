# The Windows build (MinGW-w64): the real Windows SDK and GDI+ take the stand-in's place, and
# MoxPlatform is the MFC part, written over Win32: the same files the Linux build compiles over
# the stand-in. Included from the top-level CMakeLists.txt instead of the stand-in.

add_library(MoxPlatform SHARED platform/mfc/dc.cpp platform/mfc/wnd.cpp
  platform/mfc/msgmap.cpp platform/mfc/wnd_messages.cpp platform/mfc/app.cpp)
target_include_directories(MoxPlatform PUBLIC
  $<BUILD_INTERFACE:${CMAKE_CURRENT_SOURCE_DIR}/platform/win32>
  $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}/MoxImage2/platform/win32>)
target_compile_definitions(MoxPlatform PRIVATE MOXPLAT_BUILD=1)
# The SDK's min and max macros would break std::min and std::max wherever <windows.h> comes first.
target_compile_definitions(MoxPlatform PUBLIC NOMINMAX)
# GDI+, GDI and USER from the SDK's import libraries; hosts call them as well.
target_link_libraries(MoxPlatform PUBLIC gdiplus gdi32 user32)
target_compile_options(MoxPlatform PRIVATE ${MOX_WARNINGS})
add_library(MoxImage2::MoxPlatform ALIAS MoxPlatform)

# MoxImage2.dll and MoxPlatform.dll, with import libraries libMoxImage2.dll.a and
# libMoxPlatform.dll.a (MinGW's own naming would add "lib" to the DLLs too).
set_target_properties(MoxPlatform PROPERTIES PREFIX "" IMPORT_PREFIX "lib")

# The MFC part's header declares the stand-in's classes (one declaration for both systems), so
# both files are installed, keeping their relative places.
install(FILES platform/win32/afxwin.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/MoxImage2/platform/win32)
install(FILES platform/include/afxwin.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/MoxImage2/platform/include)

# The benchmarks measure against pixman, which exists only beside the stand-in.
set(MOXIMAGE2_BUILD_BENCH OFF CACHE BOOL "Build the benchmarks" FORCE)
