# Third-party libraries. Natively they come from Debian's -dev packages; for Windows the setup script builds them
# from Debian's source packages and the toolchain file points at its cache (deps.cmake).

find_package(Threads REQUIRED)

if(WIN32)
    set(ZLIB_USE_STATIC_LIBS ON)
endif()
find_package(ZLIB REQUIRED)

if(WIN32)
    add_library(arkova_libdeflate STATIC IMPORTED)
    set_target_properties(arkova_libdeflate PROPERTIES
        IMPORTED_LOCATION ${ARKOVA_WIN_LIBDEFLATE_LIB}
        INTERFACE_INCLUDE_DIRECTORIES ${ARKOVA_WIN_LIBDEFLATE_INCLUDE})
else()
    find_library(LIBDEFLATE_LIBRARY NAMES deflate REQUIRED)
    find_path(LIBDEFLATE_INCLUDE_DIR libdeflate.h REQUIRED)
    add_library(arkova_libdeflate UNKNOWN IMPORTED)
    set_target_properties(arkova_libdeflate PROPERTIES
        IMPORTED_LOCATION ${LIBDEFLATE_LIBRARY}
        INTERFACE_INCLUDE_DIRECTORIES ${LIBDEFLATE_INCLUDE_DIR})

    find_library(UTF8PROC_LIBRARY NAMES utf8proc REQUIRED)
    find_path(UTF8PROC_INCLUDE_DIR utf8proc.h REQUIRED)
    add_library(arkova_utf8proc UNKNOWN IMPORTED)
    set_target_properties(arkova_utf8proc PROPERTIES
        IMPORTED_LOCATION ${UTF8PROC_LIBRARY}
        INTERFACE_INCLUDE_DIRECTORIES ${UTF8PROC_INCLUDE_DIR})

    # The registry store off Windows.
    find_package(SQLite3 REQUIRED)
endif()

# The UnRAR library (static), one version on both targets: Debian's libunrar-dev natively, the same source package
# built by the setup script for Windows. The decoder uses the library's classes, so it needs all of its headers
# (libunrar-headers natively).
add_library(arkova_unrar STATIC IMPORTED)
if(WIN32)
    if(NOT ARKOVA_WIN_UNRAR_LIB)
        message(FATAL_ERROR "ARKOVA_WIN_UNRAR_LIB is not set: run scripts/setup.sh")
    endif()
    set_target_properties(arkova_unrar PROPERTIES
        IMPORTED_LOCATION ${ARKOVA_WIN_UNRAR_LIB}
        INTERFACE_INCLUDE_DIRECTORIES ${ARKOVA_WIN_UNRAR_INCLUDE}
        INTERFACE_LINK_LIBRARIES "powrprof;shlwapi;wbemuuid;ole32;oleaut32;uuid;Threads::Threads")
else()
    find_library(UNRAR_LIBRARY NAMES libunrar.a REQUIRED)
    find_path(UNRAR_INCLUDE_DIR rar.hpp PATH_SUFFIXES unrar REQUIRED)
    set_target_properties(arkova_unrar PROPERTIES
        IMPORTED_LOCATION ${UNRAR_LIBRARY}
        INTERFACE_INCLUDE_DIRECTORIES ${UNRAR_INCLUDE_DIR}
        INTERFACE_LINK_LIBRARIES Threads::Threads)
endif()

# libjpeg-turbo: the preview decoder, and the tests' JPEG compressor.
if(WIN32)
    add_library(arkova_jpeg STATIC IMPORTED)
    set_target_properties(arkova_jpeg PROPERTIES
        IMPORTED_LOCATION ${ARKOVA_WIN_JPEG_LIB}
        INTERFACE_INCLUDE_DIRECTORIES ${ARKOVA_WIN_JPEG_INCLUDE})
else()
    find_package(JPEG REQUIRED)
    add_library(arkova_jpeg INTERFACE)
    target_link_libraries(arkova_jpeg INTERFACE JPEG::JPEG)
endif()

# The EGG and ALZ readers' bzip2, LZMA and ciphers.
function(arkova_import_library target library include)
    add_library(${target} UNKNOWN IMPORTED)
    set_target_properties(${target} PROPERTIES IMPORTED_LOCATION ${library} INTERFACE_INCLUDE_DIRECTORIES ${include})
endfunction()
if(WIN32)
    arkova_import_library(arkova_bzip2 ${ARKOVA_WIN_BZIP2_LIB} ${ARKOVA_WIN_BZIP2_INCLUDE})
    arkova_import_library(arkova_lzma ${ARKOVA_WIN_LZMA_LIB} ${ARKOVA_WIN_LZMA_INCLUDE})
    set_target_properties(arkova_lzma PROPERTIES INTERFACE_COMPILE_DEFINITIONS LZMA_API_STATIC)
    arkova_import_library(arkova_cryptopp ${ARKOVA_WIN_CRYPTOPP_LIB} ${ARKOVA_WIN_CRYPTOPP_INCLUDE})
else()
    find_library(BZIP2_LIBRARY NAMES bz2 REQUIRED)
    find_path(BZIP2_INCLUDE_DIR bzlib.h REQUIRED)
    arkova_import_library(arkova_bzip2 ${BZIP2_LIBRARY} ${BZIP2_INCLUDE_DIR})
    find_library(LZMA_LIBRARY NAMES lzma REQUIRED)
    find_path(LZMA_INCLUDE_DIR lzma.h REQUIRED)
    arkova_import_library(arkova_lzma ${LZMA_LIBRARY} ${LZMA_INCLUDE_DIR})
    find_library(CRYPTOPP_LIBRARY NAMES crypto++ cryptopp REQUIRED)
    find_path(CRYPTOPP_INCLUDE_DIR crypto++/aes.h REQUIRED)
    arkova_import_library(arkova_cryptopp ${CRYPTOPP_LIBRARY} ${CRYPTOPP_INCLUDE_DIR})
endif()

if(ARKOVA_BUILD_TESTS)
    find_package(GTest CONFIG REQUIRED)
endif()
