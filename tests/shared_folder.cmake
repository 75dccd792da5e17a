# Many installers at once on one shared procedure folder: real processes.
orvik_test(shared_folder_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/shared_folder_test.cpp LIBS e2e_support)
add_dependencies(shared_folder_test mkmedia kelmar kelmar_setup ov_clean text procdir_cli)
