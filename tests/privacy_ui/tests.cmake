tamsel_add_test(privacy_ui_tests privacy_ui LIBS tamsel_privacy)
# The library's dialogs and bitmaps.
target_sources(privacy_ui_tests PRIVATE ${CMAKE_SOURCE_DIR}/resources/Sweepkit.rc)
target_compile_definitions(privacy_ui_tests PRIVATE TAMSEL_SOURCE_ROOT="${CMAKE_SOURCE_DIR}")
# The real DLL for the exit-and-unload-mid-scan check.
add_dependencies(privacy_ui_tests Sweepkit)
