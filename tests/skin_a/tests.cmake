tamsel_add_test(skin_a_tests skin_a LIBS tamsel_skin)
target_sources(skin_a_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests/skin_a/data/SkinATests.rc)
# The button tests take the focus and move the cursor on the shared display;
# a window of another test running beside them steals either.
set_tests_properties(skin_a_tests PROPERTIES RUN_SERIAL TRUE)
