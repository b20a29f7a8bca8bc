tamsel_add_test(tools_tests tools LIBS tamsel_app)
# The program's templates, bitmaps and icon.
target_sources(tools_tests PRIVATE ${CMAKE_SOURCE_DIR}/resources/Tamsel.rc)
# A program the pages start: it writes its command line to a file.
add_executable(tools_marker WIN32 ${CMAKE_CURRENT_LIST_DIR}/data/ToolMarker.cpp)
target_link_options(tools_marker PRIVATE -municode)
add_dependencies(tools_tests tools_marker)
# The test data folder as the host sees it, for scripts run there.
target_compile_definitions(tools_tests PRIVATE TAMSEL_TEST_DATA_A="${CMAKE_SOURCE_DIR}/tests/tools/data")
# Pictures of the startup, helper object and uninstall pages: tool_pages_shots.exe.
tamsel_add_shots(tool_pages_shots LIBS tamsel_app
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/shots/ToolPagesShots.cpp ${CMAKE_CURRENT_LIST_DIR}/ToolTestSupport.cpp
          ${CMAKE_SOURCE_DIR}/resources/Tamsel.rc)
