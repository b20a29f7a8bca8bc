tamsel_add_test(main_window_tests main_window LIBS tamsel_app)
# The program's own resources: templates, skin, language file, version.
target_sources(main_window_tests PRIVATE ${CMAKE_SOURCE_DIR}/resources/Tamsel.rc)
# The tests load the two libraries from beside the test executable.
add_dependencies(main_window_tests Tunekit Sweepkit)
