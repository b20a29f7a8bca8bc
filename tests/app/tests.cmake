tamsel_add_test(app_tests app LIBS tamsel_app)
# The built-in language file and the test dialogs; the sources for the key check.
target_sources(app_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR}/data/AppTests.rc)
set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/data/AppTests.rc PROPERTIES
  INCLUDE_DIRECTORIES ${CMAKE_SOURCE_DIR}/resources
  OBJECT_DEPENDS "${CMAKE_SOURCE_DIR}/resources/English.ini;${CMAKE_SOURCE_DIR}/resources/language.rc2")
target_compile_definitions(app_tests PRIVATE TAMSEL_SOURCE_ROOT="${CMAKE_SOURCE_DIR}")
add_dependencies(app_tests Tamsel)
# The first start creates the weekly job: the Task Scheduler service must run.
tamsel_test_uses_scheduler(app_tests)
