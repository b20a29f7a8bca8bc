tamsel_add_test(main_window_tests main_window LIBS tamsel_app)
# The program's own resources: templates, skin, language file, version.
target_sources(main_window_tests PRIVATE ${CMAKE_SOURCE_DIR}/resources/Tamsel.rc)
# The tests load the two libraries from beside the test executable.
add_dependencies(main_window_tests Tunekit Sweepkit)
# Stand-ins for the separate updater program, versions 1.0.0.0 and 2.0.0.0.
foreach(major 1 2)
  add_executable(update_stub_v${major} ${CMAKE_SOURCE_DIR}/tests/main_window/data/stub/UpdateStub.cpp
                 ${CMAKE_SOURCE_DIR}/tests/main_window/data/stub/UpdateStub.rc)
  target_compile_definitions(update_stub_v${major} PRIVATE STUB_MAJOR=${major})
  target_link_options(update_stub_v${major} PRIVATE -municode -mwindows)
  add_dependencies(main_window_tests update_stub_v${major})
endforeach()
# Pictures of the main window for a person to look at: main_window_shots.exe.
tamsel_add_shots(main_window_shots LIBS tamsel_app
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/shots/MainWindowShots.cpp ${CMAKE_CURRENT_LIST_DIR}/MainWindowFixture.cpp
          ${CMAKE_SOURCE_DIR}/resources/Tamsel.rc)
add_dependencies(main_window_shots Tunekit Sweepkit)
