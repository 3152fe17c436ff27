# Build rules shared by every target of the project.

if(TAMBOREL_SANITIZE AND NOT MSVC)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
endif()

function(tamborel_set_warnings target)
    if(MSVC)
        # The Chinese texts are UTF-8 literals.
        target_compile_options(${target} PRIVATE /W4 /utf-8 /permissive-)
        if(TAMBOREL_WERROR)
            target_compile_options(${target} PRIVATE /WX)
        endif()
    else()
        target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
        if(TAMBOREL_WERROR)
            target_compile_options(${target} PRIVATE -Werror)
        endif()
    endif()
    target_compile_definitions(${target} PRIVATE QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII)
endfunction()

# tamborel_export_headers(<target> <sources>...): makes the target's headers, and no
# others, reachable as "<folder>/<name>.h" from the target and whatever links it,
# <folder> being the header's folder in the repository ("merge/copy"). A
# folder of the build holds one forwarding header per header of the target, and
# that folder is all the target exports: the repository's root is on no include
# path, so a source that includes a header of a part its target does not link fails
# to compile, even where it uses nothing but inline code or types from it. The core
# and UI halves of one part share a source folder but not their headers.
#
# A header belongs to the target that lists it, or that builds a source of the same
# name (Foo.cpp, Foo_posix.cpp, Foo_linux.cpp or Foo_win.cpp for Foo.h); a header
# with no such source has to be listed among the target's sources.
#
# Forwarding headers rather than copies or links: a copy is only refreshed when CMake
# runs again, and the compiler and the debugger then point into the copy, where an
# edit is lost; a symbolic link needs a privilege on Windows. A forwarding header
# holds nothing but the real header's path, so it never goes stale, and every
# message names the real file.
function(tamborel_export_headers target)
    set(tree ${CMAKE_BINARY_DIR}/include/${target})
    set(forwarders)
    foreach(source IN LISTS ARGN)
        cmake_path(ABSOLUTE_PATH source BASE_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR} NORMALIZE)
        cmake_path(GET source PARENT_PATH folder)
        cmake_path(GET source STEM LAST_ONLY stem)
        string(REGEX REPLACE "_(posix|linux|win)$" "" platformless ${stem})
        foreach(name IN ITEMS ${stem} ${platformless})
            set(header ${folder}/${name}.h)
            if(NOT EXISTS ${header})
                continue()
            endif()
            # The folder's path in the repository says where the header lives:
            # "merge/copy/InputReader.h". Test helpers are reached as "support/...".
            cmake_path(RELATIVE_PATH folder BASE_DIRECTORY ${PROJECT_SOURCE_DIR} OUTPUT_VARIABLE part)
            string(REGEX REPLACE "^tests/" "" part ${part})
            set(forwarder ${tree}/${part}/${name}.h)
            if(forwarder IN_LIST forwarders)
                continue()
            endif()
            list(APPEND forwarders ${forwarder})
            tamborel_write_if_changed(${forwarder} "#pragma once\n#include \"${header}\"\n")
        endforeach()
    endforeach()
    # A header that moved to another target, or is gone, must not stay reachable here.
    file(GLOB_RECURSE stale LIST_DIRECTORIES false ${tree}/*)
    list(REMOVE_ITEM stale ${forwarders})
    if(stale)
        file(REMOVE ${stale})
    endif()
    target_include_directories(${target} PUBLIC ${tree})
endfunction()

# Rewriting an unchanged header would rebuild every source that includes it.
function(tamborel_write_if_changed file content)
    if(EXISTS ${file})
        file(READ ${file} old)
        if(old STREQUAL content)
            return()
        endif()
    endif()
    file(WRITE ${file} "${content}")
endfunction()

# tamborel_core_library(<name> <sources>...): a part's core half, Qt Core only. Each
# part links the libraries it uses itself, and nothing else, so that a test linking
# one library fails to link when that library reaches into a part it did not declare,
# and fails to compile when it includes a header of such a part.
function(tamborel_core_library name)
    add_library(${name} STATIC ${ARGN})
    target_link_libraries(${name} PUBLIC Qt6::Core)
    tamborel_export_headers(${name} ${ARGN})
    tamborel_set_warnings(${name})
endfunction()

# tamborel_ui_library(<name> <sources>...): a part's widgets half.
function(tamborel_ui_library name)
    add_library(${name} STATIC ${ARGN})
    target_link_libraries(${name} PUBLIC Qt6::Widgets)
    tamborel_export_headers(${name} ${ARGN})
    tamborel_set_warnings(${name})
endfunction()

# tamborel_test_library(<name> LIBS <libs>... SOURCES <sources>...): helpers shared
# by tests, whose headers are reached as "support/<name>.h" the same way.
function(tamborel_test_library name)
    cmake_parse_arguments(T "" "" "LIBS;SOURCES" ${ARGN})
    add_library(${name} STATIC ${T_SOURCES})
    target_link_libraries(${name} PUBLIC ${T_LIBS})
    tamborel_export_headers(${name} ${T_SOURCES})
    tamborel_set_warnings(${name})
endfunction()

# tamborel_test(<name> LIBS <libs>... SOURCES <sources>...): one Qt Test executable
# under CTest, always on the offscreen platform so no display is needed.
function(tamborel_test name)
    cmake_parse_arguments(T "" "" "LIBS;SOURCES" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE ${T_LIBS} tamborel_test_paths Qt6::Test)
    tamborel_set_warnings(${name})
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 600)
endfunction()
