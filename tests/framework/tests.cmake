tamsel_add_test(framework_tests framework LIBS tamsel_framework)
# Dialog templates and strings of the window tests.
target_sources(framework_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR}/data/WindowTests.rc)
