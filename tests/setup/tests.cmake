# The set-up scripts' own checks: plain bash on the host, no Wine. Once per
# run, with the x86_64 suites.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  add_test(NAME setup_tests COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/apt-sources-test.sh)
endif()
