tamsel_add_test(repair_tests repair LIBS tamsel_app)
tamsel_test_uses_scheduler(repair_tests)
target_sources(repair_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests/services_registry/RegTestUtil.cpp)
