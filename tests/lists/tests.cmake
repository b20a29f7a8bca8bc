tamsel_add_test(lists_tests lists LIBS tamsel_lists)
# Stand-ins for the visual-styles library: all eight functions (counting
# calls), and one without DrawThemeText.
foreach(stub xlist_stub_theme xlist_stub_theme7)
  add_library(${stub} SHARED ${CMAKE_SOURCE_DIR}/tests/lists/data/StubTheme.cpp)
  set_target_properties(${stub} PROPERTIES PREFIX "")
  # Export the plain names, as the real library does: a 32-bit stdcall export
  # would otherwise be decorated (CloseThemeData@4) and GetProcAddress misses it.
  target_link_options(${stub} PRIVATE -Wl,--kill-at)
  add_dependencies(lists_tests ${stub})
endforeach()
target_compile_definitions(xlist_stub_theme7 PRIVATE STUB_WITHOUT_DRAWTHEMETEXT)
target_sources(lists_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests/lists/data/TreeListTests.rc)
