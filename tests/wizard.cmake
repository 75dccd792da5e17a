# The installer's start-up and wizard pages, driven through answer files.
orvik_test(wizard_flow_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/wizard_flow_test.cpp)
add_dependencies(wizard_flow_test kelmar text ov_clean)
