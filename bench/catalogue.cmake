# Catalogue: loading a 20,000-record kelmar.lst and building the transfer
# lists for a selection of every offered name.
add_executable(catalogue_bench ${CMAKE_CURRENT_LIST_DIR}/catalogue_bench.cpp)
target_link_libraries(catalogue_bench PRIVATE catalogue orvik_testing)
set_target_properties(catalogue_bench PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
