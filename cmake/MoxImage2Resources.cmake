# moximage2_add_resources(<target> <script.rc> [INCLUDE_DIRECTORIES dir...] [DEFINES name[=value]...])
#
# Compiles a Windows resource script into <target>: its bitmaps, icons, cursors, strings,
# accelerators, menus, dialogs, version information and raw data become loadable with
# FindResource, LoadString, LoadAccelerators, LoadBitmap and the rest. Beside the stand-in the
# script goes through moximage2-rc into a C++ source compiled with the target; on Windows it goes
# through the toolchain's resource compiler (MinGW's windres), so one script serves both builds.
# The script's folder is searched first for what it includes and names.
function(moximage2_add_resources target script)
  cmake_parse_arguments(PARSE_ARGV 2 MOXRC "" "" "INCLUDE_DIRECTORIES;DEFINES")
  get_filename_component(script_path "${script}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_SOURCE_DIR}")
  get_filename_component(script_name "${script}" NAME_WE)
  get_filename_component(script_dir "${script_path}" DIRECTORY)
  set(out_dir "${CMAKE_CURRENT_BINARY_DIR}/moximage2-rc/${target}")
  set(include_args "")
  foreach(dir ${MOXRC_INCLUDE_DIRECTORIES})
    get_filename_component(dir "${dir}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_SOURCE_DIR}")
    list(APPEND include_args "-I${dir}")
  endforeach()
  set(define_args "")
  foreach(def ${MOXRC_DEFINES})
    list(APPEND define_args "-D${def}")
  endforeach()

  if(WIN32)
    if(CMAKE_RC_COMPILER)
      set(windres "${CMAKE_RC_COMPILER}")
    else()
      find_program(MOXIMAGE2_WINDRES NAMES windres x86_64-w64-mingw32-windres REQUIRED)
      set(windres "${MOXIMAGE2_WINDRES}")
    endif()
    set(out "${out_dir}/${script_name}.res.o")
    set(windres_input "${script_path}")
    if(NOT CMAKE_HOST_WIN32)
      # Cross-building: windres opens the files a script names as written, and the host's file
      # names do not take '\' as a separator, so it reads a copy with '/' in their place.
      file(READ "${script_path}" script_mark LIMIT 2 HEX)
      if(script_mark STREQUAL "fffe")
        # windres reads no UTF-16, as resource editors save scripts: UTF-8 with its code page.
        find_program(MOXIMAGE2_ICONV iconv REQUIRED)
        execute_process(COMMAND "${MOXIMAGE2_ICONV}" -f UTF-16 -t UTF-8 INPUT_FILE "${script_path}"
                        OUTPUT_VARIABLE script_text RESULT_VARIABLE converted)
        if(NOT converted EQUAL 0)
          message(FATAL_ERROR "moximage2_add_resources: cannot convert ${script_path} from UTF-16")
        endif()
        string(REGEX REPLACE "#pragma[ \t]+code_page[ \t]*\\([^)]*\\)" "" script_text "${script_text}")
        set(script_text "#pragma code_page(65001)\n#line 1 \"${script_path}\"\n${script_text}")
      else()
        file(READ "${script_path}" script_text)
      endif()
      string(REPLACE "\\\\" "/" script_text "${script_text}")
      set(windres_input "${out_dir}/${script_name}.rc")
      file(WRITE "${windres_input}.tmp" "${script_text}")
      file(COPY_FILE "${windres_input}.tmp" "${windres_input}" ONLY_IF_DIFFERENT)
      set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${script_path}")
    endif()
    add_custom_command(OUTPUT "${out}"
      COMMAND ${CMAKE_COMMAND} -E make_directory "${out_dir}"
      COMMAND "${windres}" -O coff -I "${script_dir}" ${include_args} ${define_args} -i "${windres_input}" -o "${out}"
      DEPENDS "${script_path}"
      WORKING_DIRECTORY "${script_dir}"
      COMMENT "Compiling resources ${script_name}.rc"
      VERBATIM)
    target_sources(${target} PRIVATE "${out}")
    set_source_files_properties("${out}" PROPERTIES EXTERNAL_OBJECT TRUE GENERATED TRUE)
    return()
  endif()

  if(TARGET moximage2-rc)
    set(tool moximage2-rc)
  else()
    set(tool MoxImage2::moximage2-rc)
  endif()
  if(CMAKE_CXX_COMPILER)
    set(preprocessor "${CMAKE_CXX_COMPILER} -E")
  else()
    set(preprocessor "${CMAKE_C_COMPILER} -E")
  endif()
  set(out "${out_dir}/${script_name}_rc.cpp")
  add_custom_command(OUTPUT "${out}"
    COMMAND ${CMAKE_COMMAND} -E make_directory "${out_dir}"
    COMMAND ${tool} --cpp "${preprocessor}" ${include_args} ${define_args} --depfile "${out}.d" -o "${out}" "${script_path}"
    DEPENDS "${script_path}" ${tool}
    DEPFILE "${out}.d"
    COMMENT "Compiling resources ${script_name}.rc"
    VERBATIM)
  target_sources(${target} PRIVATE "${out}")
endfunction()
