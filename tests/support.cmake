# Support for whole-program tests.
add_library(program_runner STATIC ${CMAKE_CURRENT_LIST_DIR}/support/program_runner.cpp)
target_include_directories(program_runner PUBLIC ${CMAKE_SOURCE_DIR})
target_compile_definitions(program_runner PUBLIC
  ORVIK_BIN_DIR="${ORVIK_BIN_DIR}" ORVIK_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
