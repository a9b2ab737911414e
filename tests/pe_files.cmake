# Every program and library of a Windows build as Windows loads it, read with
# the MinGW objdump and no Wine: its machine, what it is (desktop or console
# program, or library), imports of Windows' own DLLs alone (the runtime is
# linked in), the manifest where we embed one, and exactly the exports its
# callers look up, under their plain names.
# Usage: cmake -DOBJDUMP=objdump -DMACHINE=i386|x86-64
#              -DFILES="target=path|target=path..." -P pe_files.cmake
cmake_minimum_required(VERSION 3.20)

# What each file is meant to be; a file without a row is meant to be a console
# program with no manifest and no exports.
set(ROWS
    # target           kind     manifest  exports (sorted, comma-separated)
    "wizard            gui      yes       -"
    "Online            dll      no        Download"
    "preview_probe     dll      no        ProbeHook"
    "menu_window_tests console  yes       -"
    "look_bench        console  yes       -"
    "sample_setup      gui      no        -"
    "e2e_recorder      gui      no        -"
    "bare_dialog       gui      no        -")
# msvcrt.dll is the C runtime every Windows carries.
set(WINDOWS_DLLS advapi32 comctl32 crypt32 gdi32 kernel32 msvcrt ole32 psapi shell32 user32
    wininet wintrust ws2_32)
set(SUBSYSTEM_gui "Windows GUI")
set(SUBSYSTEM_console "Windows CUI")

set(faults 0)
macro(fault what)
    message("${file}: ${what}")
    math(EXPR faults "${faults} + 1")
endmacro()

string(REPLACE "|" ";" files "${FILES}")
foreach(entry ${files})
    string(REGEX MATCH "^([^=]+)=(.*)$" _ "${entry}")
    set(file ${CMAKE_MATCH_2})
    set(row ${ROWS})
    list(FILTER row INCLUDE REGEX "^${CMAKE_MATCH_1} ")
    if(NOT row)
        set(row "${CMAKE_MATCH_1} console no -")
    endif()
    string(REGEX REPLACE " +" ";" row "${row}")
    list(GET row 1 kind)
    list(GET row 2 manifest)
    list(GET row 3 exports)
    execute_process(COMMAND ${OBJDUMP} -p ${file} RESULT_VARIABLE rc OUTPUT_VARIABLE out
                    ERROR_VARIABLE out)
    if(NOT rc EQUAL 0)
        fault("${OBJDUMP} cannot read it: ${out}")
        continue()
    endif()

    string(REGEX MATCH "file format pei-([^\n]*)" _ "${out}")
    if(NOT "${CMAKE_MATCH_1}" STREQUAL "${MACHINE}")
        fault("machine ${CMAKE_MATCH_1}, meant ${MACHINE}")
    endif()

    # A library's subsystem is not read by the loader; its DLL flag is.
    string(REGEX MATCH "\n\tDLL\n" dll "${out}")
    string(REGEX MATCH "\nSubsystem\t+[0-9a-f]+\t\\(([^)]*)\\)" _ "${out}")
    if(kind STREQUAL "dll" AND NOT dll)
        fault("a program, meant a DLL")
    elseif(NOT kind STREQUAL "dll" AND dll)
        fault("a DLL, meant a ${kind} program")
    elseif(NOT dll AND NOT "${CMAKE_MATCH_1}" STREQUAL "${SUBSYSTEM_${kind}}")
        fault("subsystem ${CMAKE_MATCH_1}, meant ${SUBSYSTEM_${kind}}")
    endif()

    string(REGEX MATCHALL "\tDLL Name: [^\n]+" imports "${out}")
    foreach(import ${imports})
        string(REGEX REPLACE "^\tDLL Name: " "" import "${import}")
        string(TOLOWER "${import}" base)
        string(REGEX REPLACE "\\.dll$" "" base "${base}")
        if(NOT base IN_LIST WINDOWS_DLLS)
            fault("imports ${import}, which is not one of Windows' own DLLs")
        endif()
    endforeach()

    # Resource type 24 (RT_MANIFEST) at the top of the resource directory.
    string(REGEX MATCH "\n[0-9a-f]+   Entry: ID: 0x000018," has "${out}")
    if(manifest STREQUAL "yes" AND NOT has)
        fault("no manifest, meant one")
    elseif(manifest STREQUAL "no" AND has)
        fault("a manifest, meant none")
    endif()

    string(REGEX MATCH "\n\\[Ordinal/Name Pointer\\] Table[^\n]*\n((\t\\[[^\n]*\n)*)" _ "${out}")
    # Brackets would upset the list: the names alone, one a line.
    string(REGEX REPLACE "\t\\[ *[0-9]+\\] " "" names "${CMAKE_MATCH_1}")
    string(REGEX MATCHALL "[^\n]+" names "${names}")
    list(SORT names)
    string(JOIN ", " names ${names})
    string(REPLACE "," ", " exports "${exports}")
    string(REGEX REPLACE "^-$" "" exports "${exports}")
    if(NOT "${names}" STREQUAL "${exports}")
        fault("exports \"${names}\"; its callers look up \"${exports}\"")
    endif()
endforeach()

list(LENGTH files count)
message("${count} files read as ${MACHINE}; faults: ${faults}")
if(faults OR count EQUAL 0)
    message(FATAL_ERROR "Windows files not as meant")
endif()
