# Warnings and sanitizers per target, never as global flags.
function(zorvan_target_options target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion)
  if(ZORVAN_SANITIZE)
    target_compile_options(${target} PRIVATE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    target_link_options(${target} PRIVATE -fsanitize=address,undefined)
  endif()
  if(ZORVAN_TSAN)
    target_compile_options(${target} PRIVATE -fsanitize=thread -fno-omit-frame-pointer)
    target_link_options(${target} PRIVATE -fsanitize=thread)
  endif()
endfunction()

# Core libraries never see Qt: they are plain C++ and link only other core libraries.
function(zorvan_core_library target)
  add_library(${target} STATIC ${ARGN})
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  zorvan_target_options(${target})
endfunction()

# SERIAL: tests that run on a fast protocol clock against a paced virtual panel run alone, so
# that a busy machine cannot stretch their real time-outs.
function(zorvan_gtest target)
  cmake_parse_arguments(TEST "SERIAL" "" "" ${ARGN})
  add_executable(${target} ${TEST_UNPARSED_ARGUMENTS})
  target_link_libraries(${target} PRIVATE GTest::gtest GTest::gtest_main)
  zorvan_target_options(${target})
  target_compile_definitions(${target} PRIVATE ZORVAN_DATA_DIR="${PROJECT_SOURCE_DIR}/data")
  if(TEST_SERIAL)
    gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60 PROPERTIES RUN_SERIAL TRUE)
  else()
    gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60)
  endif()
endfunction()

# A settings page's folder: its core library (model, operations), the virtual panel's commands
# of the page in a library of their own (PANEL), and, with the UI, its view library. The
# program, the command-line tool and the virtual panel pick them up through global lists, so a
# new page needs no other build line than its add_subdirectory. A page's core never links the
# simulator.
function(zorvan_page name)
  cmake_parse_arguments(PAGE "" "" "CORE;PANEL;VIEW" ${ARGN})
  zorvan_core_library(zorvan_page_${name} ${PAGE_CORE})
  target_link_libraries(zorvan_page_${name} PUBLIC zorvan_model zorvan_session)
  set_property(GLOBAL APPEND PROPERTY ZORVAN_PAGE_LIBRARIES zorvan_page_${name})
  if(PAGE_PANEL)
    zorvan_core_library(zorvan_page_${name}_panel ${PAGE_PANEL})
    target_link_libraries(zorvan_page_${name}_panel PUBLIC zorvan_model zorvan_sim_store)
    set_property(GLOBAL APPEND PROPERTY ZORVAN_PAGE_PANELS zorvan_page_${name}_panel)
  endif()
  if(ZORVAN_BUILD_UI AND PAGE_VIEW)
    add_library(zorvan_page_${name}_view STATIC ${PAGE_VIEW})
    set_target_properties(zorvan_page_${name}_view PROPERTIES AUTOUIC ON AUTOMOC ON)
    target_link_libraries(zorvan_page_${name}_view PUBLIC zorvan_page_${name} zorvan_widgets Qt6::Widgets)
    zorvan_target_options(zorvan_page_${name}_view)
    set_property(GLOBAL APPEND PROPERTY ZORVAN_PAGE_VIEWS zorvan_page_${name}_view)
  endif()
endfunction()
