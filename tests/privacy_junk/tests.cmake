if(TARGET tamsel_privacy)
  tamsel_add_test(privacy_junk_tests privacy_junk LIBS tamsel_privacy)
else()
  # Until the library target exists: the window-free sources themselves.
  tamsel_add_test(privacy_junk_tests privacy_junk LIBS tamsel_framework)
  target_sources(privacy_junk_tests PRIVATE
    ${CMAKE_SOURCE_DIR}/privacy/JunkMaskRules.cpp ${CMAKE_SOURCE_DIR}/privacy/JunkWalk.cpp
    ${CMAKE_SOURCE_DIR}/privacy/ShredIo.cpp ${CMAKE_SOURCE_DIR}/privacy/ShredPlan.cpp
    ${CMAKE_SOURCE_DIR}/privacy/ShredPath.cpp)
endif()
