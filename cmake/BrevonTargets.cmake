# Warnings every target of ours compiles with.
add_library(brevon_warnings INTERFACE)
target_compile_options(brevon_warnings INTERFACE -Wall -Wextra)

# brevon_library(<name> SOURCES ... LIBS ...): one static library per source folder.
function(brevon_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    target_include_directories(${name} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/..)
    target_link_libraries(${name} PUBLIC ${ARG_LIBS} PRIVATE brevon_warnings)
endfunction()

# brevon_test(<name> SOURCES ... LIBS ...): one Qt Test executable, run by CTest on the
# offscreen platform so that widget tests need no display.
function(brevon_test name)
    cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} Qt6::Test brevon_test_support brevon_warnings)
    add_test(NAME ${name} COMMAND ${name})
    if(NOT ARG_TIMEOUT)
        set(ARG_TIMEOUT 300)
    endif()
    set_tests_properties(${name} PROPERTIES
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;BREVON_CORPUS_DIR=${PROJECT_SOURCE_DIR}/../shared/rtf-corpus"
        TIMEOUT ${ARG_TIMEOUT})
endfunction()

# Helpers that several test programs share (header only).
add_library(brevon_test_support INTERFACE)
target_include_directories(brevon_test_support INTERFACE ${PROJECT_SOURCE_DIR}/tests)
