# kelmar_setup staging the installer from a medium, as a program: the staged
# files, its boxes and "-d" (stand-in installer), and its progress bar seen
# through a probe built from the same dialog class.
add_executable(bootstrap_bar_probe ${CMAKE_CURRENT_LIST_DIR}/bootstrap_bar_probe.cpp)
target_link_libraries(bootstrap_bar_probe PRIVATE bootstrap)
set_target_properties(bootstrap_bar_probe PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)

# The installer and clean-up program on the test media: they only note how
# they were started.
add_executable(stand_in_program ${CMAKE_CURRENT_LIST_DIR}/stand_in_program.cpp)
target_link_libraries(stand_in_program PRIVATE platform)
set_target_properties(stand_in_program PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)

add_library(bootstrap_support STATIC ${CMAKE_CURRENT_LIST_DIR}/bootstrap_support.cpp)
target_link_libraries(bootstrap_support PUBLIC orvik_testing)
target_compile_definitions(bootstrap_support PRIVATE STAND_IN_PATH="$<TARGET_FILE:stand_in_program>")
add_dependencies(bootstrap_support stand_in_program)

orvik_test(bootstrap_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/bootstrap_staging_test.cpp ${CMAKE_CURRENT_LIST_DIR}/bootstrap_bar_test.cpp
  LIBS bootstrap_support)
target_compile_definitions(bootstrap_test PRIVATE BAR_PROBE_PATH="$<TARGET_FILE:bootstrap_bar_probe>")
add_dependencies(bootstrap_test kelmar_setup bootstrap_bar_probe)
