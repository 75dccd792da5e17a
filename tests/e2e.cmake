# The whole system end to end: the sample medium made by mkmedia, setup.exe
# staging the installer, the wizard, the copy from CD or two disks, proc.dir,
# and the clean-up program. Real processes in a temporary prefix.
add_library(e2e_support STATIC ${CMAKE_CURRENT_LIST_DIR}/e2e_support.cpp)
target_link_libraries(e2e_support PUBLIC bootstrap_support orvik_testing)

orvik_test(e2e_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/e2e_cd_test.cpp ${CMAKE_CURRENT_LIST_DIR}/e2e_disks_test.cpp
  LIBS e2e_support)
add_dependencies(e2e_test mkmedia kelmar kelmar_setup ov_clean text)
