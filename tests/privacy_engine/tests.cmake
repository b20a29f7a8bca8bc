# The evidence engine without windows: cases, guard, listing and clean.
file(GLOB PRIVACY_ENGINE_SOURCES CONFIGURE_DEPENDS
  ${CMAKE_SOURCE_DIR}/privacy/Evidence*.cpp ${CMAKE_SOURCE_DIR}/privacy/FolderGuard.cpp
  ${CMAKE_SOURCE_DIR}/privacy/RegTrace*.cpp)
tamsel_add_test(privacy_engine_tests privacy_engine LIBS tamsel_framework)
target_sources(privacy_engine_tests PRIVATE ${PRIVACY_ENGINE_SOURCES})
