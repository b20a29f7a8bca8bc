tamsel_add_test(skin_b_tests skin_b LIBS tamsel_skin)
target_sources(skin_b_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests/skin_b/data/SkinBTests.rc)
