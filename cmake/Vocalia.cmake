# vocalia_core_library(NAME SOURCES... [LINKS libs...])
# A static library of formats and algorithms (nothing above Qt Core). It is added to the
# global list VOCALIA_CORE_LIBS, which the command-line tool's media program links whole.
function(vocalia_core_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LINKS" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${ARG_LINKS})
    set_property(GLOBAL APPEND PROPERTY VOCALIA_CORE_LIBS ${name})
endfunction()

# vocalia_add_subdirectories(): adds every child folder that has a CMakeLists.txt.
function(vocalia_add_subdirectories)
    file(GLOB children LIST_DIRECTORIES true ${CMAKE_CURRENT_SOURCE_DIR}/*)
    foreach(child ${children})
        if(IS_DIRECTORY ${child} AND EXISTS ${child}/CMakeLists.txt)
            add_subdirectory(${child})
        endif()
    endforeach()
endfunction()
