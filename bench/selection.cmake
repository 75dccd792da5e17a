# Selection benchmark: the selection page with 20,000 offered names (a click
# on an alias of a six-name procedure, Select All, Next) and UpdateProcDir of
# 1,000 procedures into a proc.dir of 60,000 records.
# Run: build/bench/selection_bench [runs] [offered names]
add_executable(selection_bench ${CMAKE_CURRENT_LIST_DIR}/selection_bench.cpp)
target_link_libraries(selection_bench PRIVATE selection registration resources orvik_testing)
set_target_properties(selection_bench PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
add_dependencies(selection_bench text)
