# The plug-in library: thrummelgrinder.so on Linux, thrummelgrinder.dll on Windows. It
# exports exactly one symbol, main, and on Windows imports only system DLLs.
add_library(thrummelgrinder MODULE host/ExportedMain.cpp)
target_link_libraries(thrummelgrinder PRIVATE thr_core)
set_target_properties(thrummelgrinder PROPERTIES
    PREFIX ""
    CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON
    LIBRARY_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/plugin
    RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/plugin
)
if(WIN32)
    target_sources(thrummelgrinder PRIVATE host/thrummelgrinder.def)
    target_link_options(thrummelgrinder PRIVATE -Wl,--no-undefined -Wl,--enable-stdcall-fixup)
else()
    target_link_options(thrummelgrinder PRIVATE
        -Wl,--version-script=${PROJECT_SOURCE_DIR}/host/thrummelgrinder.map
        -Wl,--no-undefined
        -Wl,-z,defs)
    target_link_libraries(thrummelgrinder PRIVATE ${CMAKE_DL_LIBS})
endif()
