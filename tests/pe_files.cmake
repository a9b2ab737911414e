# Every program and library of a Windows build as Windows will load it, read
# with the MinGW objdump and no Wine: its machine, whether it is a program for
# the desktop, a console program or a library, that it imports Windows' own
# DLLs alone (the runtime is linked in), the manifest where one is embedded,
# and exactly the exports its callers look up, under their plain names.
#
# Usage: cmake -DOBJDUMP=objdump -DMACHINE=i386|x86-64
#              -DFILES="target=path|target=path..." -P pe_files.cmake
# A file of a target without a row fails, and so does a row without a file.

cmake_minimum_required(VERSION 3.20)

set(ROWS
    # target           kind     manifest  exports
    "wizard            gui      yes       -"
    "Online            dll      no        Download"
    "medium-check      console  no        -"
    "preview-walker    console  no        -"
    "preview_probe     dll      no        ProbeHook"
    "sample_setup      gui      no        -"
    "gen_codepages     console  no        -"
    "unit_tests        console  no        -"
    "menu_logic_tests  console  no        -"
    "menu_window_tests console  yes       -"
    "online_tests      console  no        -"
    "online_server     console  no        -"
    "add_root          console  no        -"
    "bench_download    console  no        -"
    "e2e_tests         console  no        -"
    "e2e_recorder      gui      no        -"
    "bare_dialog       gui      no        -"
    "bench_start       console  no        -"
    "scan_bench        console  no        -")

# Windows' own DLLs; msvcrt.dll is the C runtime every Windows carries.
set(WINDOWS_DLLS advapi32 comctl32 crypt32 gdi32 kernel32 msvcrt ole32 psapi shell32 user32
    wininet ws2_32)

set(faults 0)
function(fault what)
    message("${what}")
    math(EXPR n "${faults} + 1")
    set(faults ${n} PARENT_SCOPE)
endfunction()

string(REPLACE "|" ";" files "${FILES}")
set(seen)
foreach(entry ${files})
    string(REGEX MATCH "^([^=]+)=(.*)$" _ "${entry}")
    set(target ${CMAKE_MATCH_1})
    set(file ${CMAKE_MATCH_2})
    list(APPEND seen ${target})
    set(row)
    foreach(r ${ROWS})
        string(REGEX REPLACE " +" ";" r "${r}")
        list(GET r 0 name)
        if(name STREQUAL target)
            set(row ${r})
        endif()
    endforeach()
    if(NOT row)
        fault("${file}: no row says what ${target} is meant to be")
        continue()
    endif()
    list(GET row 1 kind)
    list(GET row 2 manifest)
    list(GET row 3 exports)
    execute_process(COMMAND ${OBJDUMP} -p ${file} RESULT_VARIABLE rc OUTPUT_VARIABLE out
                    ERROR_VARIABLE err)
    if(NOT rc EQUAL 0)
        fault("${file}: ${OBJDUMP} cannot read it: ${err}")
        continue()
    endif()

    string(REGEX MATCH "file format pei-([^\n]*)" _ "${out}")
    if(NOT "${CMAKE_MATCH_1}" STREQUAL "${MACHINE}")
        fault("${file}: machine ${CMAKE_MATCH_1}, meant ${MACHINE}")
    endif()

    # Characteristics flags are listed one per line, indented by a tab.
    string(REGEX MATCH "\n\tDLL\n" dll "${out}")
    string(REGEX MATCH "\nSubsystem\t+[0-9a-f]+\t\\(([^)]*)\\)" _ "${out}")
    set(subsystem "${CMAKE_MATCH_1}")
    if(kind STREQUAL "dll")
        # The loader ignores a library's subsystem.
        if(NOT dll)
            fault("${file}: a program (${subsystem}), meant a DLL")
        endif()
    elseif(dll)
        fault("${file}: a DLL, meant a ${kind} program")
    elseif(kind STREQUAL "gui" AND NOT subsystem STREQUAL "Windows GUI")
        fault("${file}: subsystem ${subsystem}, meant Windows GUI")
    elseif(kind STREQUAL "console" AND NOT subsystem STREQUAL "Windows CUI")
        fault("${file}: subsystem ${subsystem}, meant Windows CUI (console)")
    endif()

    string(REGEX MATCHALL "\tDLL Name: [^\n]+" imports "${out}")
    foreach(line ${imports})
        string(REGEX REPLACE "^\tDLL Name: " "" import "${line}")
        string(TOLOWER "${import}" base)
        string(REGEX REPLACE "\\.dll$" "" base "${base}")
        if(NOT base IN_LIST WINDOWS_DLLS)
            fault("${file}: imports ${import}, which is not one of Windows' own DLLs")
        endif()
    endforeach()

    # Resource type 24 (RT_MANIFEST) at the top of the resource directory.
    string(REGEX MATCH "\n[0-9a-f]+   Entry: ID: 0x000018," has_manifest "${out}")
    if(manifest STREQUAL "yes" AND NOT has_manifest)
        fault("${file}: no manifest, meant one")
    elseif(manifest STREQUAL "no" AND has_manifest)
        fault("${file}: a manifest, meant none")
    endif()

    set(names)
    string(REGEX MATCH "\n\\[Ordinal/Name Pointer\\] Table[^\n]*\n((\t\\[[^\n]*\n)*)" _ "${out}")
    string(REGEX MATCHALL "\t\\[ *[0-9]+\\] [^\n]+" lines "${CMAKE_MATCH_1}")
    foreach(line ${lines})
        string(REGEX REPLACE "^\t\\[ *[0-9]+\\] " "" name "${line}")
        list(APPEND names ${name})
    endforeach()
    list(SORT names)
    string(REPLACE "," ";" meant "${exports}")
    if(meant STREQUAL "-")
        set(meant)
    endif()
    list(SORT meant)
    if(NOT "${names}" STREQUAL "${meant}")
        string(REPLACE ";" ", " names "${names}")
        string(REPLACE ";" ", " meant "${meant}")
        if(NOT names)
            set(names "nothing")
        endif()
        if(NOT meant)
            set(meant "nothing")
        endif()
        fault("${file}: exports ${names}; its callers look up ${meant}")
    endif()
endforeach()

foreach(r ${ROWS})
    string(REGEX REPLACE " +" ";" r "${r}")
    list(GET r 0 name)
    if(NOT name IN_LIST seen)
        fault("${name}: a row, but the build makes no such program or library")
    endif()
endforeach()

list(LENGTH files count)
message("${count} files read as ${MACHINE}; faults: ${faults}")
if(faults OR count EQUAL 0)
    message(FATAL_ERROR "Windows files not as meant")
endif()
