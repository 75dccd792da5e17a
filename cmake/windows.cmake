# What the Windows build takes from the cross toolchain: zlib as zlib.dll
# beside the programs, and GoogleTest built from its sources.

# The test programs that build and run on Windows (README, "Windows build").
set(ORVIK_WINDOWS_TESTS platform_win32_test zlib_dll_test text_test resources_test procdir_share_test ui_gui_test
  procdir_lock_test procdir_tool_test ov_clean_test datenum_program_test ui_test procdir_crash_test
  catalogue_test transfer_list_test selection_test registration_test procdir_record_test
  procdir_image_test datenum_format_test platform_profile_test
  bootstrap_test wizard_flow_test selection_flow_test transfer_flow_test e2e_test mkmedia_test mkmedia_program_test
  procdir_ops_test procdir_damage_test transfer_copy_order_test transfer_worker_test datenum_file_test datenum_run_test procdir_open_test transfer_copier_test
  platform_files_test platform_hfile_test platform_flush_test platform_process_test remove_tree_test catalogue_memory_test datenum_convert_test
  transfer_install_test)
# Those whose sandboxes write to the machine's drive C: (there is no prefix
# on Windows): CTest runs their tests one at a time.
set(ORVIK_WINDOWS_DRIVE_C_TESTS catalogue_test transfer_list_test selection_test registration_test
  procdir_lock_test procdir_tool_test ov_clean_test datenum_program_test ui_test procdir_crash_test
  procdir_record_test procdir_image_test platform_profile_test
  bootstrap_test wizard_flow_test selection_flow_test transfer_flow_test e2e_test mkmedia_program_test
  procdir_ops_test procdir_damage_test transfer_copy_order_test transfer_worker_test datenum_file_test datenum_run_test procdir_open_test transfer_copier_test
  platform_files_test platform_hfile_test platform_flush_test platform_process_test remove_tree_test catalogue_memory_test
  transfer_install_test)

# The test programs that only make sense on a POSIX host, with the reason:
# CTest lists each as skipped, so none is left out silently.
set(ORVIK_POSIX_ONLY_TESTS
  "platform_path_test=the POSIX prefix's own path mapping (drive links, case-blind look-ups)"
  "platform_mount_test=mounts a read-only file system"
  "orvik_run_test=orvik_run runs programs in a POSIX prefix, a tool the Windows build does not have"
  "screen_fit_test=the full-screen frontend needs a terminal and is not in the Windows build"
  "screen_frontend_test=the full-screen frontend needs a terminal and is not in the Windows build"
  "unattended_test=orvik_run runs programs in a POSIX prefix, a tool the Windows build does not have"
  "fault_injection_test=it forks the test to run the installer in-process with a fault injector"
  "shared_folder_test=eight workstations, each with a drive C: of its own, driven through terminals")

# The whole-program tests that run a second time with the answers driving
# the real windows (ORVIK_TEST_UI=gui), as "gui." tests.
set(ORVIK_WINDOWS_GUI_TESTS bootstrap_test wizard_flow_test selection_flow_test transfer_flow_test e2e_test)

# zlib. Debian's MinGW zlib is the DLL zlib1.dll with an import library that
# names it; the programs load it as zlib.dll. So the DLL is copied to
# bin/zlib.dll and the programs link through an import library made here
# from its export table, naming zlib.dll.
set(ORVIK_MINGW_LIB /usr/${ORVIK_MINGW_TRIPLE}/lib)
find_file(ORVIK_ZLIB_DLL zlib1.dll PATHS ${ORVIK_MINGW_LIB} NO_CMAKE_FIND_ROOT_PATH REQUIRED)
find_path(ORVIK_ZLIB_INCLUDE zlib.h REQUIRED)
find_program(ORVIK_OBJDUMP ${ORVIK_MINGW_TRIPLE}-objdump REQUIRED)
find_program(ORVIK_DLLTOOL ${ORVIK_MINGW_TRIPLE}-dlltool REQUIRED)
include(${CMAKE_CURRENT_LIST_DIR}/strip_windows_programs.cmake)

execute_process(COMMAND ${ORVIK_OBJDUMP} -p ${ORVIK_ZLIB_DLL}
                OUTPUT_VARIABLE zlib_headers RESULT_VARIABLE zlib_status)
if(NOT zlib_status EQUAL 0)
  message(FATAL_ERROR "cannot read the export table of ${ORVIK_ZLIB_DLL}")
endif()
string(REGEX MATCH "\\[Ordinal/Name Pointer\\] Table\n([^\n]+\n)+" zlib_table "${zlib_headers}")
# One line per export ("\t[  12] gzopen"); no CMake lists, which the
# brackets would upset.
string(FIND "${zlib_table}" "\n" header_end)
math(EXPR header_end "${header_end} + 1")
string(SUBSTRING "${zlib_table}" ${header_end} -1 zlib_table)
string(REGEX REPLACE "[^\n]*\\] ([A-Za-z_][A-Za-z0-9_]*)\n" "  \\1\n" zlib_exports "${zlib_table}")
set(zlib_def "LIBRARY zlib.dll\nEXPORTS\n${zlib_exports}")
if(NOT zlib_def MATCHES "\n  gzopen\n")
  message(FATAL_ERROR "no gzopen in the export table of ${ORVIK_ZLIB_DLL}")
endif()
# Written only when it changes, so a new configure rebuilds nothing.
file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/zlib/zlib.def CONTENT "${zlib_def}" @ONLY)

set(ORVIK_ZLIB_IMPORT ${CMAKE_BINARY_DIR}/zlib/libzlib.dll.a)
add_custom_command(OUTPUT ${ORVIK_ZLIB_IMPORT} ${ORVIK_BIN_DIR}/zlib.dll
  COMMAND ${ORVIK_DLLTOOL} --input-def ${CMAKE_BINARY_DIR}/zlib/zlib.def
          --dllname zlib.dll --output-lib ${ORVIK_ZLIB_IMPORT}
  COMMAND ${CMAKE_COMMAND} -E copy ${ORVIK_ZLIB_DLL} ${ORVIK_BIN_DIR}/zlib.dll
  DEPENDS ${CMAKE_BINARY_DIR}/zlib/zlib.def ${ORVIK_ZLIB_DLL}
  COMMENT "zlib.dll and its import library")
add_custom_target(zlib_dll ALL DEPENDS ${ORVIK_ZLIB_IMPORT} ${ORVIK_BIN_DIR}/zlib.dll)
add_library(orvik_zlib INTERFACE)
target_link_libraries(orvik_zlib INTERFACE ${ORVIK_ZLIB_IMPORT})
target_include_directories(orvik_zlib INTERFACE ${ORVIK_ZLIB_INCLUDE})
add_dependencies(orvik_zlib zlib_dll)
add_library(ZLIB::ZLIB ALIAS orvik_zlib)

# GoogleTest from Debian's sources (package googletest), with this compiler;
# its build names the targets GTest::gtest and GTest::gtest_main itself.
set(ORVIK_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources")
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${ORVIK_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
foreach(t gtest gtest_main)
  target_compile_options(${t} PRIVATE -w)
endforeach()

# What lands in bin/ and tests/ must run on a Windows machine with nothing
# else installed: it may import only the system's DLLs, text.dll and zlib.dll.
add_test(NAME windows_imports
  COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${ORVIK_OBJDUMP} -DBUILD_DIR=${CMAKE_BINARY_DIR}
          -P ${CMAKE_SOURCE_DIR}/cmake/check_windows_imports.cmake)
