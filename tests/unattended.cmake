# Unattended installs: the sample answer file through orvik_run on the CD
# and on a disk set, exit statuses of the chain, recorded console sessions.
orvik_test(unattended_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/unattended_test.cpp LIBS e2e_support)
add_dependencies(unattended_test mkmedia kelmar kelmar_setup ov_clean text orvik_run)
