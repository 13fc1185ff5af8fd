# The path of a build file as a Windows program sees it: native on Windows,
# through Wine's Z: drive when the tests run under Wine.
function(kanne_windows_path out path)
    if(CMAKE_HOST_WIN32)
        file(TO_NATIVE_PATH "${path}" native)
    else()
        string(REPLACE "/" "\\" native "Z:${path}")
    endif()
    set(${out} "${native}" PARENT_SCOPE)
endfunction()

# Test programs and tools are linked statically, so they run without any
# compiler runtime DLL beside them.
function(kanne_static_program target)
    target_link_options(${target} PRIVATE -static -static-libgcc -static-libstdc++)
    target_link_libraries(${target} PRIVATE kanne_warnings)
endfunction()
