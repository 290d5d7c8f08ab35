# Checks the plug-in library's interface to the system: it exports exactly "main", and a
# Windows DLL imports nothing but DLLs every Windows system has (no compiler runtime DLLs).
cmake_policy(VERSION 3.25)

# Run as: cmake -DLIBRARY=... -DOBJDUMP=... -DIS_WINDOWS=0|1 -P CheckExports.cmake

if(IS_WINDOWS)
    execute_process(COMMAND ${OBJDUMP} -p ${LIBRARY} OUTPUT_VARIABLE dump RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "${OBJDUMP} failed on ${LIBRARY}")
    endif()

    # Exported names follow the "[Ordinal/Name Pointer] Table" heading, one "[ n] name" a line.
    string(REGEX MATCH "\\[Ordinal/Name Pointer\\] Table[^\n]*\n((\t\\[[ 0-9]+\\] [^\n]*\n)*)" table "${dump}")
    string(REGEX MATCHALL "\\] [^\n]+" exports "${CMAKE_MATCH_1}")
    list(TRANSFORM exports REPLACE "^\\] " "")
    if(NOT exports STREQUAL "main")
        message(FATAL_ERROR "expected exactly one export, main; found: ${exports}")
    endif()

    string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${dump}")
    list(TRANSFORM imports REPLACE "DLL Name: " "")
    set(system_dlls kernel32.dll user32.dll gdi32.dll ole32.dll shell32.dll msvcrt.dll advapi32.dll
                    comdlg32.dll oleaut32.dll uuid.dll msimg32.dll)
    foreach(dll IN LISTS imports)
        string(TOLOWER "${dll}" lower)
        if(NOT lower IN_LIST system_dlls)
            message(FATAL_ERROR "the DLL imports ${dll}, which is not a system DLL")
        endif()
    endforeach()
    message(STATUS "exports: ${exports}; imports: ${imports}")
else()
    execute_process(COMMAND nm -D --defined-only ${LIBRARY} OUTPUT_VARIABLE dump RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "nm failed on ${LIBRARY}")
    endif()
    string(REGEX MATCHALL "[^\n]+" lines "${dump}")
    set(exports "")
    foreach(line IN LISTS lines)
        string(REGEX REPLACE "^[0-9a-fA-F]* *[A-Za-z] " "" symbol "${line}")
        list(APPEND exports "${symbol}")
    endforeach()
    if(NOT exports STREQUAL "main")
        message(FATAL_ERROR "expected exactly one defined dynamic symbol, main; found: ${exports}")
    endif()
    message(STATUS "exports: ${exports}")
endif()
