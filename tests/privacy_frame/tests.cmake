tamsel_add_test(privacy_frame_tests privacy_frame LIBS tamsel_privacy)
# The views' templates; the real DLL for the load-and-free check.
target_sources(privacy_frame_tests PRIVATE ${CMAKE_SOURCE_DIR}/resources/Sweepkit.rc)
add_dependencies(privacy_frame_tests Sweepkit)
target_compile_definitions(privacy_frame_tests PRIVATE TAMSEL_SOURCE_ROOT="${CMAKE_SOURCE_DIR}")
