# proc.dir at its largest: ProcDirFind of a missing name and ProcDirAdd of a
# new entry against one plain read of the file.
add_executable(procdir_bench ${CMAKE_CURRENT_LIST_DIR}/procdir_bench.cpp)
target_link_libraries(procdir_bench PRIVATE procdir orvik_testing)
set_target_properties(procdir_bench PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
