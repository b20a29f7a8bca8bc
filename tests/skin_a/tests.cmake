tamsel_add_test(skin_a_tests skin_a LIBS tamsel_skin)
target_sources(skin_a_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests/skin_a/data/SkinATests.rc)
