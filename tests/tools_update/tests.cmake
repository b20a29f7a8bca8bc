tamsel_add_test(tools_update_tests tools_update LIBS tamsel_app)
# The program's templates, bitmaps and icon.
target_sources(tools_update_tests PRIVATE ${CMAKE_SOURCE_DIR}/resources/Tamsel.rc)
