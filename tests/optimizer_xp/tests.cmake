# The service optimizer once more in a process that sees Windows 5.2 (Wine's
# per-program version): the older list layout with descriptions.
tamsel_add_test(optimizer_xp_tests optimizer_xp LIBS tamsel_optimizer)
target_sources(optimizer_xp_tests PRIVATE ${CMAKE_SOURCE_DIR}/resources/Tunekit.rc
               ${CMAKE_SOURCE_DIR}/tests/optimizer/OptimizerTestSupport.cpp
               ${CMAKE_SOURCE_DIR}/tests/optimizer_services/ServiceTestSupport.cpp)
target_compile_definitions(optimizer_xp_tests PRIVATE TAMSEL_SOURCE_ROOT="${CMAKE_SOURCE_DIR}")
set_property(TEST optimizer_xp_tests APPEND PROPERTY ENVIRONMENT TAMSEL_WINDOWS_VERSION=winxp64)
