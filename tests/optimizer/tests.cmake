tamsel_add_test(optimizer_tests optimizer LIBS tamsel_optimizer)
# The library's own dialogs and bitmaps; the real DLL for the export contract.
target_sources(optimizer_tests PRIVATE ${CMAKE_SOURCE_DIR}/resources/Tunekit.rc)
add_dependencies(optimizer_tests Tunekit)
target_compile_definitions(optimizer_tests PRIVATE TAMSEL_SOURCE_ROOT="${CMAKE_SOURCE_DIR}")
# The view geometry check shared with the privacy views.
target_sources(optimizer_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests/privacy_ui/ViewGeometry.cpp)
# Pictures of the wizard's steps and the one-click settings: optimizer_shots.exe.
tamsel_add_shots(optimizer_shots LIBS tamsel_optimizer
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/shots/WizardShots.cpp ${CMAKE_CURRENT_LIST_DIR}/WizardFixture.cpp
          ${CMAKE_CURRENT_LIST_DIR}/OptimizerTestSupport.cpp ${CMAKE_SOURCE_DIR}/resources/Tunekit.rc)
target_compile_definitions(optimizer_shots PRIVATE TAMSEL_SOURCE_ROOT="${CMAKE_SOURCE_DIR}")
