# Which folders a target's sources can include: each row preprocesses a file
# holding one include with that target's include folders, and the include
# must be found, or refused for want of the file. A target that sees the
# whole tree again (a root include folder, a link that runs up) fails here.
#
# Usage: cmake -DCXX=compiler -DWORK=folder -DDIRS_<target>="dir|dir..."
#        -P include_arrows.cmake
# Rows whose target is not given (the other build's targets) are not run.

set(ROWS
    # target       header                          found
    "platform      platform/system.h               yes"
    "platform      resources/builtin_texts.h       yes"
    "platform      localisation/translator.h       no"
    "platform      catalog/command.h               no"
    "platform      menu/menu_logic.h               no"
    "platform      tools/medium_check/check.h      no"
    "platform      platform/tool_text.h            no"
    "localisation  localisation/translator.h       yes"
    "localisation  localisation/languages.h        yes"
    "localisation  resources/resource.h            no"
    "localisation  catalog/catalog_item.h          no"
    "catalog       catalog/catalog_item.h          yes"
    "catalog       menu/menu_logic.h               no"
    "menu_logic    menu/menu_logic.h               yes"
    "menu_logic    online/download_api.h           no"
    "menu_logic    tools/medium_check/check.h      no"
    "menu_logic    platform/folder_names.h         no"
    "medium_check  tools/medium_check/check.h      yes"
    "medium_check  tests/unit/test_support.h       no"
    "medium_check  platform/ini_layout.h           yes"
    "medium_common tools/medium_common/options.h   yes"
    "medium_common tools/medium_check/check.h      no"
    "medium_common tests/unit/test_support.h       no"
    "medium_pack   tests/unit/test_support.h       no"
    "medium_preview tests/unit/test_support.h      no"
    "wizard_driver tests/e2e/driver.h              no"
    "preview-walker tools/medium_preview/wizard_driver.h yes"
    "preview-walker tests/e2e/driver.h             no"
    "menu_ui       online/download_api.h           yes"
    "menu_ui       online/download_dlg.h           no"
    "menu_ui       tools/medium_check/check.h      no"
    "menu_ui       platform/ini_layout.h           no"
    "Online        online/download_dlg.h           yes"
    "Online        platform/system.h               no"
    "Online        resources/resource.h            no"
    "Online        menu/menu_dlg.h                 no")

set(passed 0)
set(failed 0)
file(MAKE_DIRECTORY ${WORK})
foreach(row ${ROWS})
    string(REGEX REPLACE " +" ";" row "${row}")
    list(GET row 0 target)
    list(GET row 1 header)
    list(GET row 2 expected)
    if(NOT DEFINED DIRS_${target})
        continue()
    endif()
    string(REPLACE "|" ";" dirs "${DIRS_${target}}")
    set(flags)
    foreach(dir ${dirs})
        list(APPEND flags -I${dir})
    endforeach()
    string(MAKE_C_IDENTIFIER "${target}_${header}" name)
    file(WRITE ${WORK}/${name}.cpp "#include \"${header}\"\n")
    execute_process(COMMAND ${CXX} -std=c++17 -E ${flags} ${WORK}/${name}.cpp -o ${WORK}/${name}.i
                    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
    # gcc: "x.h: No such file or directory"; clang: "'x.h' file not found".
    string(REGEX MATCH "${header}'?:? (No such file|file not found)" missing "${out}")
    if(expected STREQUAL "yes" AND rc EQUAL 0)
        math(EXPR passed "${passed} + 1")
    elseif(expected STREQUAL "no" AND NOT rc EQUAL 0 AND missing)
        math(EXPR passed "${passed} + 1")
    else()
        math(EXPR failed "${failed} + 1")
        if(rc EQUAL 0)
            set(out "found")
        endif()
        message("${target} including ${header}: expected found=${expected}, got: ${out}")
    endif()
endforeach()
message("${passed} passed, ${failed} failed")
if(failed OR passed EQUAL 0)
    message(FATAL_ERROR "include arrows broken")
endif()
