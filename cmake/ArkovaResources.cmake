# The resource script (res/arkova.rc: dialogs, manifest) as an OBJECT library: programs that link it get the
# compiled resources as an object file of their own, which the linker cannot drop the way it drops unreferenced
# members of a static library.
enable_language(RC)
include(${CMAKE_CURRENT_LIST_DIR}/ArkovaImages.cmake)

file(GLOB ARKOVA_RESOURCE_INPUTS CONFIGURE_DEPENDS
     ${PROJECT_SOURCE_DIR}/res/*.h ${PROJECT_SOURCE_DIR}/res/*.rc ${PROJECT_SOURCE_DIR}/res/*.manifest
     ${PROJECT_SOURCE_DIR}/res/dialogs/*.rc)

add_library(arkova_resources OBJECT ${PROJECT_SOURCE_DIR}/res/arkova.rc)
# UTF-8 script; windres knows no dependency scanning, so every included file is listed.
target_compile_options(arkova_resources PRIVATE $<$<COMPILE_LANGUAGE:RC>:-c65001>)
target_include_directories(arkova_resources PUBLIC ${PROJECT_SOURCE_DIR}/res)
# The program icon is made at build time (ArkovaImages.cmake).
target_include_directories(arkova_resources PRIVATE ${ARKOVA_GENERATED_RES})
add_dependencies(arkova_resources arkova_icon arkova_images)
set_source_files_properties(${PROJECT_SOURCE_DIR}/res/arkova.rc PROPERTIES OBJECT_DEPENDS
                            "${ARKOVA_RESOURCE_INPUTS};${ARKOVA_ICON}")
