# The Windows build ships its programs and DLLs in bin/ without their debug
# information, as they go on a medium (a Windows workstation has no objcopy
# to strip them): after each link the debug information moves to
# debug/<name>.debug, which the stripped file names through its debug link
# for a debugger to find.
find_program(ORVIK_OBJCOPY ${ORVIK_MINGW_TRIPLE}-objcopy REQUIRED)
set(ORVIK_DEBUG_DIR ${CMAKE_BINARY_DIR}/debug)
file(MAKE_DIRECTORY ${ORVIK_DEBUG_DIR})

# Strips the program or DLL `target` after it is linked.
function(orvik_strip_windows_program target)
  set(file $<TARGET_FILE:${target}>)
  set(debug ${ORVIK_DEBUG_DIR}/$<TARGET_FILE_BASE_NAME:${target}>.debug)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${ORVIK_OBJCOPY} --only-keep-debug ${file} ${debug}
    COMMAND ${ORVIK_OBJCOPY} --strip-unneeded --add-gnu-debuglink=${debug} ${file}
    VERBATIM)
endfunction()
