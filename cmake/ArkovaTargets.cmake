# Compile settings for the project's own targets: strict warnings as errors, optional sanitizers.

if(ARKOVA_SANITIZE)
    add_compile_options(-fsanitize=${ARKOVA_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
    add_link_options(-fsanitize=${ARKOVA_SANITIZE})
endif()

if(WIN32)
    # A static runtime: the programs must start under Wine and on Windows without MinGW DLLs beside them.
    add_link_options(-static)
    add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0A00)
endif()

function(arkova_strict target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion
                                             -Werror)
endfunction()

# arkova_library(name SOURCES...) : a static library of our own code, headers found from src/.
function(arkova_library name)
    add_library(${name} STATIC ${ARGN})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    arkova_strict(${name})
endfunction()

# Programs whose entry point is wmain (wide arguments on Windows).
function(arkova_wide_entry target)
    if(WIN32)
        target_link_options(${target} PRIVATE -municode)
    endif()
endfunction()
