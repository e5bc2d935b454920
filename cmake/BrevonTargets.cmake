# Warnings every target of ours compiles with, those the libraries we measure ourselves
# against build with. CI turns them into errors; elsewhere a newer compiler's new warning
# must not stop a build.
option(BREVON_WARNINGS_AS_ERRORS "Treat compiler warnings as errors" OFF)
add_library(brevon_warnings INTERFACE)
target_compile_options(brevon_warnings INTERFACE -Wall -Wextra -Wpedantic -Wnon-virtual-dtor
                       -Woverloaded-virtual -Wcast-qual -Wimplicit-fallthrough
                       $<$<BOOL:${BREVON_WARNINGS_AS_ERRORS}>:-Werror>)

# brevon_library(<name> SOURCES ... LIBS ... [PRIVATE_LIBS ...]): one static library per
# source folder. LIBS are the libraries its headers need, PRIVATE_LIBS those only its sources
# need. Its include root holds its own folder alone (as a link), so a library sees another's
# headers only by linking it: an include against the layering fails to build.
function(brevon_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;PRIVATE_LIBS" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    get_filename_component(folder ${CMAKE_CURRENT_SOURCE_DIR} NAME)
    set(root ${PROJECT_BINARY_DIR}/include/${name})
    file(MAKE_DIRECTORY ${root})
    file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR} ${root}/${folder} SYMBOLIC)
    target_include_directories(${name} PUBLIC ${root})
    target_link_libraries(${name} PUBLIC ${ARG_LIBS} PRIVATE ${ARG_PRIVATE_LIBS} brevon_warnings)
endfunction()

# brevon_test(<name> SOURCES ... LIBS ... [TIMEOUT seconds] [LABELS ...] [ENVIRONMENT ...]):
# one Qt Test executable, run by CTest on the offscreen platform so that widget tests need no
# display.
function(brevon_test name)
    cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;LIBS;LABELS;ENVIRONMENT" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} Qt6::Test brevon_test_support brevon_warnings)
    brevon_test_run(${name} ${name} TIMEOUT ${ARG_TIMEOUT} LABELS ${ARG_LABELS}
                    ENVIRONMENT ${ARG_ENVIRONMENT})
endfunction()

# The offscreen platform with one 1600 x 1000 screen, the size the window designs were drawn
# for; the default offscreen screen (800 x 600) is smaller than the main window.
set(BREVON_DESIGN_SCREEN
    QT_QPA_PLATFORM=offscreen:configfile=${PROJECT_SOURCE_DIR}/tests/support/screen-1600x1000.json)

# brevon_test_run(<test> <program> [TIMEOUT seconds] [LABELS ...] [ENVIRONMENT ...]
#                 [CONFIGURATIONS ...]): a CTest entry for a test program, so that one program
# can also run with other settings. An entry with CONFIGURATIONS runs only when asked for with
# ctest -C, which keeps long runs out of a plain ctest.
function(brevon_test_run test program)
    cmake_parse_arguments(ARG "" "TIMEOUT" "LABELS;ENVIRONMENT;CONFIGURATIONS" ${ARGN})
    if(ARG_CONFIGURATIONS)
        add_test(NAME ${test} COMMAND ${program} CONFIGURATIONS ${ARG_CONFIGURATIONS})
    else()
        add_test(NAME ${test} COMMAND ${program})
    endif()
    if(NOT ARG_TIMEOUT)
        set(ARG_TIMEOUT 300)
    endif()
    set(environment QT_QPA_PLATFORM=offscreen BREVON_CORPUS_DIR=${PROJECT_SOURCE_DIR}/../shared/rtf-corpus
        ${ARG_ENVIRONMENT})
    set_tests_properties(${test} PROPERTIES ENVIRONMENT "${environment}" TIMEOUT ${ARG_TIMEOUT})
    if(ARG_LABELS)
        set_tests_properties(${test} PROPERTIES LABELS "${ARG_LABELS}")
    endif()
endfunction()

# Helpers that several test programs share (header only).
add_library(brevon_test_support INTERFACE)
target_include_directories(brevon_test_support INTERFACE ${PROJECT_SOURCE_DIR}/tests)
