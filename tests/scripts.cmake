# The repository's scripts.
add_test(NAME test_command_installs_packages_first
  COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/test_command_test.sh ${CMAKE_SOURCE_DIR})
