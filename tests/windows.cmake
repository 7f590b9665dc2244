# The test suite as Windows programs (MinGW-w64), run under Wine by CTest through the toolchain's
# CMAKE_CROSSCOMPILING_EMULATOR. Included by CMakeLists.txt here in place of the native set-up.
#
# GoogleTest is built from source with the cross compiler (Debian's libgtest-dev ships it).
set(MOX_GOOGLETEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources to build for Windows")
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${MOX_GOOGLETEST_SOURCE_DIR} ${CMAKE_CURRENT_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# The helpers, with the image writers that use gdk-pixbuf elsewhere written through GDI+.
file(GLOB MOX_TEST_SUPPORT_SOURCES CONFIGURE_DEPENDS support/*.cpp support/win32/*.cpp)
list(FILTER MOX_TEST_SUPPORT_SOURCES EXCLUDE REGEX "/support/gdiplus_image_files\\.cpp$")
add_library(mox_test_support STATIC ${MOX_TEST_SUPPORT_SOURCES})
target_include_directories(mox_test_support PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/support)
target_link_libraries(mox_test_support PUBLIC MoxImage2 GTest::gtest)
target_compile_options(mox_test_support PRIVATE ${MOX_WARNINGS})

# Every test file but the demo's (scripts/test-windows.sh runs demo.exe itself). One CTest test
# per program: starting a Windows program under Wine costs far more than a test case does.
file(GLOB MOX_TEST_SOURCES CONFIGURE_DEPENDS *_test.cpp)
list(FILTER MOX_TEST_SOURCES EXCLUDE REGEX "/demo_test\\.cpp$")
# The translucent fill test checks the stand-in's fills against pixman, which Windows has neither of.
list(FILTER MOX_TEST_SOURCES EXCLUDE REGEX "/platform_fill_test\\.cpp$")
# Tests of the Linux platform layer's own safeguards: its image-file header checks and pixel
# limit, the silenced decoder and text-layout logs, and the text stack's bounded font caches.
list(FILTER MOX_TEST_SOURCES EXCLUDE REGEX "/(image_limits|library_messages|font_memory)_test\\.cpp$")
# The cost of hostile image files is measured through /proc; the TIFF layouts test exercises the
# stand-in's own reader paths with hand-written files.
list(FILTER MOX_TEST_SOURCES EXCLUDE REGEX "/(hostile_image_files|platform_tiff)_test\\.cpp$")
# The diagnostics test starts itself again as a child process with posix_spawn.
list(FILTER MOX_TEST_SOURCES EXCLUDE REGEX "/diagnostics_test\\.cpp$")
# The Windows path rules are this platform's; Windows' file system has them itself.
list(FILTER MOX_TEST_SOURCES EXCLUDE REGEX "/windows_path_test\\.cpp$")
# 32-bit callback signatures are what a 64-bit Windows build refuses; the overloads are ours.
list(FILTER MOX_TEST_SOURCES EXCLUDE REGEX "/win32_callbacks_test\\.cpp$")
# present_test records BitBlt by interposing an ELF symbol, which a DLL's imports do not allow.
list(FILTER MOX_TEST_SOURCES EXCLUDE REGEX "/present_test\\.cpp$")
# The resource compiler's own tests: Windows builds use windres instead.
list(FILTER MOX_TEST_SOURCES EXCLUDE REGEX "/resource_compiler_test\\.cpp$")
# The sound test sends its audio to SDL2's silent driver; under Wine the answers would depend on
# Wine's own audio set-up.
list(FILTER MOX_TEST_SOURCES EXCLUDE REGEX "/sound_test\\.cpp$")
# The MCI test runs without an audio output (SDL's driver named "none"); under Wine the wave
# device's answers would depend on Wine's own audio set-up.
list(FILTER MOX_TEST_SOURCES EXCLUDE REGEX "/mci_test\\.cpp$")
# conio.h reads the console on Windows; the test reads keys from a file as standard input.
list(FILTER MOX_TEST_SOURCES EXCLUDE REGEX "/conio_test\\.cpp$")
# The stand-in's own GDI row kernels, tested directly.
list(FILTER MOX_TEST_SOURCES EXCLUDE REGEX "/gdi_kernels_test\\.cpp$")
# The headless capture and quit-after variables are the stand-in's own.
list(FILTER MOX_TEST_SOURCES EXCLUDE REGEX "/user_capture_test\\.cpp$")
list(FILTER MOX_TEST_SOURCES EXCLUDE REGEX "/win32_example_test\\.cpp$")
list(FILTER MOX_TEST_SOURCES EXCLUDE REGEX "/mfc_dialog_example_test\\.cpp$")
# Windows refuses a dialog naming a class it does not have; the stand-in shows an empty window.
list(FILTER MOX_TEST_SOURCES EXCLUDE REGEX "/dialog_missing_class_test\\.cpp$")
# The stand-in's own drawing of menus, read back pixel by pixel.
list(FILTER MOX_TEST_SOURCES EXCLUDE REGEX "/menu_pixels_test\\.cpp$")
foreach(source ${MOX_TEST_SOURCES})
  get_filename_component(name ${source} NAME_WE)
  add_executable(${name} ${source})
  target_link_libraries(${name} PRIVATE mox_test_support MoxImage2 GTest::gtest_main)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  target_compile_options(${name} PRIVATE ${MOX_WARNINGS})
  add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
endforeach()

# The resource script of the load test, through windres.
moximage2_add_resources(resource_load_test resources/game.rc)
moximage2_add_resources(menu_resource_test resources/game.rc)
moximage2_add_resources(icon_test resources/game.rc)
moximage2_add_resources(version_info_test resources/game.rc)
moximage2_add_resources(mfc_bars_test resources/bars.rc)
moximage2_add_resources(mfc_resources_test resources/frame.rc)
target_link_libraries(version_info_test PRIVATE version) # GetFileVersionInfo lives in version.dll
target_link_libraries(image_list_test PRIVATE comctl32) # image lists live in comctl32.dll
target_link_libraries(scroll_progress_test PRIVATE comctl32) # the progress bar lives in comctl32.dll

# The blit kernel test calls every instruction-set level directly, so it carries its own copy
# of the kernels (the library keeps them hidden).
target_sources(blit_kernels_test PRIVATE $<TARGET_OBJECTS:MoxBlitKernels>)

# A host written as an MFC program, with no main of its own, receives a button's click through
# its message map (exit code 0).
add_executable(mfc_host mfc_host/host.cpp)
target_link_libraries(mfc_host PRIVATE MoxImage2 MoxPlatformMain)
target_compile_options(mfc_host PRIVATE ${MOX_WARNINGS})
add_test(NAME mfc_host COMMAND mfc_host)
set_tests_properties(mfc_host PROPERTIES TIMEOUT 60)

# The programs find the library's DLLs beside them.
foreach(dll MoxImage2 MoxPlatform)
  add_custom_target(copy_${dll}_for_tests ALL
    COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:${dll}> ${CMAKE_CURRENT_BINARY_DIR}
    DEPENDS ${dll})
endforeach()

# Cases that cannot pass under Wine, each with its reason (wine-known-failures.txt), are left
# out through a negative GoogleTest filter; scripts/test-windows.sh lists them in its summary.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/wine-known-failures.txt)
file(STRINGS ${CMAKE_CURRENT_SOURCE_DIR}/wine-known-failures.txt MOX_WINE_KNOWN_FAILURES REGEX "^[a-z_]+ ")
foreach(line ${MOX_WINE_KNOWN_FAILURES})
  string(REGEX MATCH "^([a-z_]+) +([^ |]+)" matched "${line}")
  list(APPEND MOX_WINE_EXCLUDED_${CMAKE_MATCH_1} ${CMAKE_MATCH_2})
endforeach()
foreach(source ${MOX_TEST_SOURCES})
  get_filename_component(name ${source} NAME_WE)
  if(MOX_WINE_EXCLUDED_${name})
    list(JOIN MOX_WINE_EXCLUDED_${name} ":" patterns)
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "GTEST_FILTER=-${patterns}")
  endif()
endforeach()

# The dialog-based MFC example too; the button face is Wine's own colour.
if(TARGET mfc_dialog_game)
  add_test(NAME mfc_dialog_game_example COMMAND mfc_dialog_game /frames:30)
  set_tests_properties(mfc_dialog_game_example PROPERTIES TIMEOUT 60
    PASS_REGULAR_EXPRESSION "ticks=30 score=[0-9]+ ball=28C8FA button=[0-9A-F]+ player=Player")
endif()
# The MFC-style example, run the same way under Wine.
if(TARGET mfc_frame_view)
  add_test(NAME mfc_frame_view_example COMMAND mfc_frame_view /frames:30)
  set_tests_properties(mfc_frame_view_example PROPERTIES TIMEOUT 60
    PASS_REGULAR_EXPRESSION "ticks=30 bounces=[0-9]+ ball=28C8FA paddle=F0E6E6 pause=[0-9A-F]+ status=Ready bars=shown")
endif()
moximage2_add_resources(mfc_frame_ex_test resources/frame_ex.rc)
