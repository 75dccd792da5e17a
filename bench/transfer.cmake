# Transfer benchmark: installs a CD medium of 2,000 gzip files (200 MB
# compressed) and compares the copy phase with zcat of the same files.
# Run: build/bench/transfer_bench [work folder]
add_executable(transfer_bench ${CMAKE_CURRENT_LIST_DIR}/transfer_bench.cpp)
target_link_libraries(transfer_bench PRIVATE transfer resources orvik_testing)
set_target_properties(transfer_bench PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)

# Whole-installation benchmark: a CD of 20,000 small files (2,000 procedures
# of ten files, all selected) installed by answer file, against zcat.
# Run: build/bench/install_bench [work folder] [procedures]
add_executable(install_bench ${CMAKE_CURRENT_LIST_DIR}/install_bench.cpp)
target_link_libraries(install_bench PRIVATE orvik_testing)
set_target_properties(install_bench PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
add_dependencies(install_bench mkmedia kelmar kelmar_setup ov_clean text)
