tamsel_add_test(privacy_junk_tests privacy_junk LIBS tamsel_privacy)
# The library's templates and pictures.
target_sources(privacy_junk_tests PRIVATE ${CMAKE_SOURCE_DIR}/resources/Sweepkit.rc)
file(GLOB PRIVACY_JUNK_RC_PARTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/resources/privacy/*.rc2)
set_source_files_properties(${CMAKE_SOURCE_DIR}/resources/Sweepkit.rc PROPERTIES OBJECT_DEPENDS "${PRIVACY_JUNK_RC_PARTS}")
# The privacy suites' shared host window, modal script and screenshots.
target_sources(privacy_junk_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests/privacy_ui/PrivacyUiSupport.cpp)
target_compile_definitions(privacy_junk_tests PRIVATE TAMSEL_SOURCE_ROOT="${CMAKE_SOURCE_DIR}")
