# The images the windows load: drawn as SVG in res/images/, rendered at build time (rsvg-convert) into the folder
# "res" beside the programs, and the program icon made from several renderings (icotool) for the resource script.
find_program(ARKOVA_RSVG_CONVERT rsvg-convert REQUIRED)
find_program(ARKOVA_ICOTOOL icotool REQUIRED)

set(ARKOVA_IMAGE_DIR ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/res)
set(ARKOVA_GENERATED_RES ${CMAKE_BINARY_DIR}/generated-res)
set(ARKOVA_IMAGE_OUTPUTS)

# arkova_image(svg png size): one PNG of size × size pixels. Drawing code scales it down to what a window needs,
# so each image is rendered once, large enough for 192 DPI.
function(arkova_image svg png size)
    set(output ${ARKOVA_IMAGE_DIR}/${png})
    add_custom_command(OUTPUT ${output}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${ARKOVA_IMAGE_DIR}
        COMMAND ${ARKOVA_RSVG_CONVERT} -w ${size} -h ${size} -o ${output} ${PROJECT_SOURCE_DIR}/res/images/${svg}
        DEPENDS ${PROJECT_SOURCE_DIR}/res/images/${svg} VERBATIM)
    set(ARKOVA_IMAGE_OUTPUTS ${ARKOVA_IMAGE_OUTPUTS} ${output} PARENT_SCOPE)
endfunction()

arkova_image(btn_open.svg btn_open.png 128)
arkova_image(btn_extract.svg btn_extract.png 128)
arkova_image(btn_compress.svg btn_compress.png 128)
arkova_image(btn_viewtype.svg btn_viewtype.png 128)
arkova_image(btn_codepage.svg btn_codepage.png 128)
arkova_image(btn_open.svg btn_welcome_open.png 128)
arkova_image(btn_compress.svg btn_welcome_compress.png 128)
arkova_image(btn_status_open_file_on_folder.svg btn_status_open_file_on_folder.png 64)
add_custom_target(arkova_images ALL DEPENDS ${ARKOVA_IMAGE_OUTPUTS})

set(ARKOVA_ICON ${ARKOVA_GENERATED_RES}/arkova.ico)
set(icon_pngs)
foreach(size 16 20 24 32 40 48 64)
    set(png ${ARKOVA_GENERATED_RES}/arkova-${size}.png)
    add_custom_command(OUTPUT ${png}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${ARKOVA_GENERATED_RES}
        COMMAND ${ARKOVA_RSVG_CONVERT} -w ${size} -h ${size} -o ${png} ${PROJECT_SOURCE_DIR}/res/images/arkova.svg
        DEPENDS ${PROJECT_SOURCE_DIR}/res/images/arkova.svg VERBATIM)
    list(APPEND icon_pngs ${png})
endforeach()
# The 256-pixel image stays PNG-compressed inside the icon (-r); the small ones are stored as bitmaps.
set(big_png ${ARKOVA_GENERATED_RES}/arkova-256.png)
add_custom_command(OUTPUT ${big_png}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${ARKOVA_GENERATED_RES}
    COMMAND ${ARKOVA_RSVG_CONVERT} -w 256 -h 256 -o ${big_png} ${PROJECT_SOURCE_DIR}/res/images/arkova.svg
    DEPENDS ${PROJECT_SOURCE_DIR}/res/images/arkova.svg VERBATIM)
add_custom_command(OUTPUT ${ARKOVA_ICON}
    COMMAND ${ARKOVA_ICOTOOL} -c -o ${ARKOVA_ICON} ${icon_pngs} -r ${big_png}
    DEPENDS ${icon_pngs} ${big_png} VERBATIM)
add_custom_target(arkova_icon DEPENDS ${ARKOVA_ICON})
