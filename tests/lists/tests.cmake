tamsel_add_test(lists_tests lists LIBS tamsel_lists)
target_sources(lists_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests/lists/data/TreeListTests.rc)
