# A re-installation from the sample CD over an earlier one, run in-process
# with each host call failed in turn: nothing installed before is lost or
# left half-written and proc.dir stays sound.
orvik_test(fault_injection_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/fault_injection_test.cpp LIBS e2e_support wizard)
add_dependencies(fault_injection_test mkmedia text)
