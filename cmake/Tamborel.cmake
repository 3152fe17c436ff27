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

# tamborel_core_library(<name> <sources>...): a part's core half, Qt Core only. Each
# part links the libraries it uses itself, and nothing else, so that a test linking
# one library fails to link when that library reaches into a part it did not declare.
function(tamborel_core_library name)
    add_library(${name} STATIC ${ARGN})
    target_link_libraries(${name} PUBLIC Qt6::Core)
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    tamborel_set_warnings(${name})
endfunction()

# tamborel_ui_library(<name> <sources>...): a part's widgets half.
function(tamborel_ui_library name)
    add_library(${name} STATIC ${ARGN})
    target_link_libraries(${name} PUBLIC Qt6::Widgets)
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    tamborel_set_warnings(${name})
endfunction()

# tamborel_test(<name> LIBS <libs>... SOURCES <sources>...): one Qt Test executable
# under CTest, always on the offscreen platform so no display is needed.
function(tamborel_test name)
    cmake_parse_arguments(T "" "" "LIBS;SOURCES" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE ${T_LIBS} tamborel_test_paths Qt6::Test)
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
    tamborel_set_warnings(${name})
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 600)
endfunction()
