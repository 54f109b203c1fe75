# The default skin's images are drawn at build time by skingen from
# resources/skin.xml; the repository holds no skin images. The image names come
# from skin.xml itself, so an edited skin.xml re-runs CMake, redraws and
# re-embeds.

# Sets <outVar> to the full paths of the images that <skinXml> names, and adds
# the command that draws them into <folder>, lettered with the interface font
# the plug-in embeds (TARVELIN_DEJAVU_FOLDER).
function(tarvelin_draw_skin_images skinXml folder outVar)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${skinXml}")

    file(READ "${skinXml}" xml)
    string(REGEX REPLACE "<!--([^-]|-[^-])*-->" "" xml "${xml}")
    string(REGEX MATCHALL "(resource|firstDigit|secondDigit|thirdDigit|fourthDigit)=\"[^\"]+\"" references "${xml}")

    set(names)
    foreach(reference IN LISTS references)
        string(REGEX REPLACE "^[A-Za-z]+=\"([^\"]+)\"$" "\\1" name "${reference}")
        list(APPEND names "${name}")
    endforeach()
    list(REMOVE_DUPLICATES names)

    file(MAKE_DIRECTORY "${folder}")
    set(images)
    foreach(name IN LISTS names)
        set(image "${folder}/${name}")
        # juce_add_binary_data wants its inputs to exist when CMake runs;
        # skingen replaces these empty stand-ins before they are embedded.
        if(NOT EXISTS "${image}")
            file(WRITE "${image}" "")
        endif()
        list(APPEND images "${image}")
    endforeach()

    add_custom_command(
        OUTPUT ${images}
        COMMAND TarvelinSkinGen "${skinXml}" "${folder}" "${TARVELIN_DEJAVU_FOLDER}" ${names}
        DEPENDS TarvelinSkinGen "${skinXml}"
        COMMENT "Drawing the default skin's images"
        VERBATIM)

    set(${outVar} ${images} PARENT_SCOPE)
endfunction()
