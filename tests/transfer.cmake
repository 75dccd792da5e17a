# Installations through the installer with answer files: CD and floppy sets,
# the disk prompt, Cancel, the fatal layout error and a read-only target.
orvik_test(transfer_flow_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/transfer_flow_test.cpp
  LIBS ZLIB::ZLIB)
add_dependencies(transfer_flow_test kelmar text)
