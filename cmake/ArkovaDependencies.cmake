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

if(ARKOVA_BUILD_TESTS)
    find_package(GTest CONFIG REQUIRED)
endif()
