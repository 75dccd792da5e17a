# Case-blind DOS paths in folders of 20 and 20,000 entries, and repeated
# initialisation-file reads against one read of the file.
# Run: build/bench/host_paths_bench [runs]
add_executable(host_paths_bench ${CMAKE_CURRENT_LIST_DIR}/host_paths_bench.cpp)
target_link_libraries(host_paths_bench PRIVATE platform orvik_testing)
set_target_properties(host_paths_bench PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
