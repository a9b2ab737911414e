# Includes are written from the source root ("platform/system.h"), yet no
# target has the root itself among its include folders. A target carries an
# include folder of its own in the build tree that holds only links to its
# source folder (or to single headers), so a folder's headers are found only
# by the target that carries them and by what links it: the link lines are
# the arrows between the folders, and an include against them does not
# compile.
#
# Usage: carry_headers(TARGET PATH...), each PATH a folder or a header from
# the source root. A library passes them on to what links it (PUBLIC, or
# INTERFACE for a library of headers alone); a program keeps them.
function(carry_headers target)
    set(root ${CMAKE_BINARY_DIR}/include/${target})
    foreach(path ${ARGN})
        if(NOT EXISTS ${PROJECT_SOURCE_DIR}/${path})
            message(FATAL_ERROR "carry_headers(${target}): no ${path} in the source tree")
        endif()
        get_filename_component(parent ${root}/${path} DIRECTORY)
        file(MAKE_DIRECTORY ${parent})
        file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${path} ${root}/${path} SYMBOLIC)
    endforeach()
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "INTERFACE_LIBRARY")
        target_include_directories(${target} INTERFACE ${root})
    elseif(type STREQUAL "EXECUTABLE")
        target_include_directories(${target} PRIVATE ${root})
    else()
        target_include_directories(${target} PUBLIC ${root})
    endif()
endfunction()
