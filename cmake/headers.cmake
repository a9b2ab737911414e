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
#
# carry_headers(TARGET PATH... PRIVATE PATH...) keeps the paths after PRIVATE
# to the target's own sources: headers its parts share and nothing else may
# include.
function(carry_headers target)
    set(public ${ARGN})
    set(private)
    list(FIND public PRIVATE at)
    if(at GREATER -1)
        list(SUBLIST public ${at} -1 private)
        list(SUBLIST public 0 ${at} public)
        list(REMOVE_AT private 0)
        link_headers(${CMAKE_BINARY_DIR}/include/${target}.private ${private})
        target_include_directories(${target} PRIVATE ${CMAKE_BINARY_DIR}/include/${target}.private)
    endif()
    set(root ${CMAKE_BINARY_DIR}/include/${target})
    link_headers(${root} ${public})
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "INTERFACE_LIBRARY")
        target_include_directories(${target} INTERFACE ${root})
    elseif(type STREQUAL "EXECUTABLE")
        target_include_directories(${target} PRIVATE ${root})
    else()
        target_include_directories(${target} PUBLIC ${root})
    endif()
endfunction()

# Links PATH... (from the source root) below the folder ROOT.
function(link_headers root)
    foreach(path ${ARGN})
        if(NOT EXISTS ${PROJECT_SOURCE_DIR}/${path})
            message(FATAL_ERROR "carry_headers: no ${path} in the source tree")
        endif()
        get_filename_component(parent ${root}/${path} DIRECTORY)
        # What an earlier configure may have left: a link to a whole folder
        # above a header that is now carried alone (writing through it would
        # replace the source), or a folder of links where the whole folder
        # now goes.
        set(above ${parent})
        while(NOT above STREQUAL root)
            if(IS_SYMLINK ${above})
                file(REMOVE ${above})
            endif()
            get_filename_component(above ${above} DIRECTORY)
        endwhile()
        if(IS_DIRECTORY ${root}/${path} AND NOT IS_SYMLINK ${root}/${path})
            file(REMOVE_RECURSE ${root}/${path})
        endif()
        file(MAKE_DIRECTORY ${parent})
        file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${path} ${root}/${path} SYMBOLIC)
    endforeach()
endfunction()
