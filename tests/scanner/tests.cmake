tamsel_add_test(scanner_tests scanner LIBS tamsel_app)
# The program's own resources: the page templates, their pictures and the language file.
target_sources(scanner_tests PRIVATE ${CMAKE_SOURCE_DIR}/resources/Tamsel.rc)
target_link_libraries(scanner_tests PRIVATE ole32)

# Category 1 on a prefix of its own, where nothing else was ever written.
add_test(NAME scanner_fresh_prefix
         COMMAND ${CMAKE_CURRENT_LIST_DIR}/fresh-prefix.sh ${CMAKE_BINARY_DIR}/scanner-fresh-prefix $<TARGET_FILE:scanner_tests>
                 ${TAMSEL_WINE_LOADER})
set_tests_properties(scanner_fresh_prefix PROPERTIES TIMEOUT ${TAMSEL_TEST_TIMEOUT})

# Pictures of the scan pages: scanner_shots.exe.
tamsel_add_shots(scanner_shots LIBS tamsel_app ole32
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/shots/ScanPageShots.cpp ${CMAKE_CURRENT_LIST_DIR}/ScanPageFixture.cpp
          ${CMAKE_CURRENT_LIST_DIR}/ScanTestSupport.cpp ${CMAKE_SOURCE_DIR}/resources/Tamsel.rc)
