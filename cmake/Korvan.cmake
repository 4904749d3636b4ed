# korvan_library(NAME dir
#   SOURCES a.cpp b.cpp | GLOB      (GLOB: every .cpp of the directory)
#   DEPS other libraries this one builds on
#   INCLUDES extra include roots ("rtl", "foundation", or one header "foundation/cxClasses.h")
#   LIBS external libraries)
#
# Headers are included as "rtl/System.h" (platform/ is an include root) or
# "foundation/cxGraphics.h" (the top directory is one). Each library may include the roots of
# its own name and of the libraries it builds on (transitively), nothing else.
set(KORVAN_ROOT ${CMAKE_SOURCE_DIR})

function(korvan_library NAME DIR)
  cmake_parse_arguments(K "GLOB" "" "SOURCES;EXCLUDE;DEPS;ROOTS;LIBS" ${ARGN})
  if(K_GLOB)
    file(GLOB srcs CONFIGURE_DEPENDS ${DIR}/*.cpp)
    foreach(x ${K_EXCLUDE})
      get_filename_component(xa ${DIR}/${x} ABSOLUTE)
      list(REMOVE_ITEM srcs ${xa})
    endforeach()
  else()
    set(srcs)
    foreach(s ${K_SOURCES})
      # A glob so that a unit that appears later is picked up without editing this file.
      file(GLOB found CONFIGURE_DEPENDS ${DIR}/${s})
      list(APPEND srcs ${found})
    endforeach()
  endif()
  if(NOT srcs)
    # A library whose units are still to come: keep the target so that others can link it.
    set(empty ${CMAKE_CURRENT_BINARY_DIR}/${NAME}_empty.cpp)
    if(NOT EXISTS ${empty})
      file(WRITE ${empty} "// no units yet\n")
    endif()
    set(lib_srcs ${empty})
  else()
    set(lib_srcs ${srcs})
  endif()
  add_library(${NAME} STATIC ${lib_srcs})
  target_include_directories(${NAME} PUBLIC ${KORVAN_ROOT} ${KORVAN_ROOT}/platform)
  target_link_libraries(${NAME} PUBLIC ${K_DEPS} ${K_LIBS})

  # Allowed include roots: own ROOTS plus those of every dependency.
  set(allowed ${K_ROOTS})
  foreach(d ${K_DEPS})
    if(TARGET ${d})
      get_target_property(droots ${d} KORVAN_ROOTS)
      if(droots)
        list(APPEND allowed ${droots})
      endif()
    endif()
  endforeach()
  list(REMOVE_DUPLICATES allowed)
  set_target_properties(${NAME} PROPERTIES KORVAN_ROOTS "${allowed}")

  if(K_GLOB)
    file(GLOB hdrs CONFIGURE_DEPENDS ${DIR}/*.h)
    # The header of an excluded unit belongs to whichever library builds that unit.
    foreach(x ${K_EXCLUDE})
      string(REGEX REPLACE "\\.cpp$" ".h" xh ${x})
      get_filename_component(xha ${DIR}/${xh} ABSOLUTE)
      list(REMOVE_ITEM hdrs ${xha})
    endforeach()
  else()
    set(hdrs)
    foreach(s ${srcs})
      string(REGEX REPLACE "\\.cpp$" ".h" h ${s})
      if(EXISTS ${h})
        list(APPEND hdrs ${h})
      endif()
    endforeach()
  endif()
  set(stamp ${CMAKE_CURRENT_BINARY_DIR}/${NAME}.layering.stamp)
  string(REPLACE ";" "," allowed_csv "${allowed}")
  add_custom_command(OUTPUT ${stamp}
    COMMAND ${CMAKE_COMMAND} -DFILES="${srcs};${hdrs}" -DALLOWED="${allowed_csv}"
            -DLIB=${NAME} -DSTAMP=${stamp} -P ${KORVAN_ROOT}/cmake/CheckIncludes.cmake
    DEPENDS ${srcs} ${hdrs} ${KORVAN_ROOT}/cmake/CheckIncludes.cmake
    COMMENT "Checking the include graph of ${NAME}")
  add_custom_target(${NAME}_layering DEPENDS ${stamp})
  add_dependencies(${NAME} ${NAME}_layering)
endfunction()

# korvan_test(NAME dir DEPS libs...): one GoogleTest executable for every .cpp of tests/<dir>,
# run by CTest from the build directory (PNG sheets land in <build>/sheets).
function(korvan_test NAME DIR)
  cmake_parse_arguments(K "" "" "DEPS" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${DIR}/*.cpp)
  if(NOT srcs)
    return()
  endif()
  add_executable(${NAME} ${srcs})
  korvan_unity(${NAME})
  target_link_libraries(${NAME} PRIVATE ${K_DEPS} GTest::gtest GTest::gmock Threads::Threads)
  add_test(NAME ${NAME} COMMAND ${NAME} --gtest_brief=1 WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
  set_tests_properties(${NAME} PROPERTIES TIMEOUT 900 ENVIRONMENT "SDL_VIDEODRIVER=dummy")
endfunction()
