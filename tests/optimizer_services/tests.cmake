# The service optimizer against the prefix's service manager, in a process of its
# own: the wizard's tests redirect this process's registry roots.
tamsel_add_test(optimizer_service_tests optimizer_services LIBS tamsel_optimizer)
target_sources(optimizer_service_tests PRIVATE ${CMAKE_SOURCE_DIR}/resources/Tunekit.rc
               ${CMAKE_SOURCE_DIR}/tests/optimizer/OptimizerTestSupport.cpp)
target_compile_definitions(optimizer_service_tests PRIVATE TAMSEL_SOURCE_ROOT="${CMAKE_SOURCE_DIR}")
