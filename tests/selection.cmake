# The selection page, its conflict dialogs and the index update, driven
# through the installer with answer files.
orvik_test(selection_flow_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/selection_flow_test.cpp)
add_dependencies(selection_flow_test kelmar text)
