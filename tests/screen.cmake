# The full-screen frontend driven through a pseudo-terminal, its screen read
# through libvterm.
if(TARGET orvik_testing_pty)
  orvik_test(screen_frontend_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/screen_frontend_test.cpp
             LIBS orvik_testing_pty e2e_support)
  target_compile_definitions(screen_frontend_test PRIVATE UI_SAMPLE_PATH="$<TARGET_FILE:ui_sample>")
  add_dependencies(screen_frontend_test ui_sample mkmedia kelmar kelmar_setup ov_clean orvik_run text)
else()
  message(STATUS "libvterm not found (Debian: libvterm-dev): screen_frontend_test is skipped")
  add_test(NAME screen_frontend_test_skipped
           COMMAND ${CMAKE_COMMAND} -E echo "screen_frontend_test skipped: libvterm-dev is not installed")
  set_tests_properties(screen_frontend_test_skipped PROPERTIES SKIP_REGULAR_EXPRESSION "skipped")
endif()
