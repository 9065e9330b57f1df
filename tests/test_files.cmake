# The builders of test files (JWW, JWC and JWK bytes made field by field, and what a conversion
# should make of a JWW workspace): shared by the unit tests, the fuzz targets and their seed
# corpora. They use the core and the reference model, no test framework.
if(NOT TARGET penmorph_test_files)
  add_library(penmorph_test_files STATIC
    ${CMAKE_CURRENT_LIST_DIR}/jw_test_bytes.cpp
    ${CMAKE_CURRENT_LIST_DIR}/jww_expectation.cpp
    ${CMAKE_CURRENT_LIST_DIR}/dos_test_files.cpp
    ${CMAKE_CURRENT_LIST_DIR}/preview_test_files.cpp
    ${CMAKE_CURRENT_LIST_DIR}/layer_test_files.cpp
  )
  target_link_libraries(penmorph_test_files PUBLIC penmorph_reference)
  target_include_directories(penmorph_test_files PUBLIC ${CMAKE_CURRENT_LIST_DIR})
endif()
